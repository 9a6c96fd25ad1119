// The frame's action list, menus, context menu and tool bar, built from tables in the order and
// with the texts of the form: captions with "&" accelerators, hints "short|long" (the short part
// as tool tip, the long part in status panel 0), keys and tool images.

#include "app/Application.h"
#include "app/Main.h"
#include "chrome/TabToolBar.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace {

enum TCheck : uint8_t { ckNone, ckUnchecked, ckChecked };

struct TActionDef {
    QAction* TMainForm::*Field;
    const char* Name;
    const char16_t* Category;
    const char16_t* Caption;
    const char16_t* Hint;
    const char* Key; // portable key text, or nullptr
    int Image;       // -1: none
    void (TMainForm::*Execute)();
    TCheck Check = ckNone;
};

using M = TMainForm;

const TActionDef Actions[] = {
    {&M::FileNew1, "FileNew1", u"ファイル", u"新規作成(&N)", u"新規|新規ファイルの作成", "Ctrl+N",
     6, &M::FileNew1Execute},
    {&M::FileOpen1, "FileOpen1", u"ファイル", u"開く(&O)...", u"開く|ファイルを開く", "Ctrl+O", 7,
     &M::FileOpen1Execute},
    {&M::FileClose1, "FileClose1", u"ファイル", u"閉じる(&C)",
     u"閉じる|現在のファイルを閉じる(変更確認あり)", nullptr, -1, &M::FileClose1Execute},
    {&M::FileSave1, "FileSave1", u"ファイル", u"上書き保存(&S)", u"保存|現在のファイルを保存",
     "Ctrl+S", 8, &M::FileSave1Execute},
    {&M::FileSaveAs1, "FileSaveAs1", u"ファイル", u"名前をつけて保存(&A)...",
     u"別名保存|ファイルに別の名前をつけて保存", nullptr, -1, &M::FileSaveAs1Execute},
    {&M::ReopenAction, "ReopenAction", u"ファイル", u"文字コードを指定して開き直す(&R)...",
     u"開き直す|現在のファイルを、文字コードを指定して開き直します", nullptr, -1,
     &M::ReopenActionExecute},
    {&M::AllCloseAction, "AllCloseAction", u"ファイル", u"すべて閉じる(&L)",
     u"全ての子ウィンドウを閉じます", nullptr, -1, &M::AllCloseActionExecute},
    {&M::AllSaveAction, "AllSaveAction", u"ファイル", u"すべて保存(&V)",
     u"子ウィンドウの内容を全て保存します", nullptr, -1, &M::AllSaveActionExecute},
    {&M::PrintAction, "PrintAction", u"ファイル", u"印刷(&P)", u"印刷|テキストの印刷", nullptr, 14,
     &M::PrintActionExecute},
    {&M::SetGoFolderAction, "SetGoFolderAction", u"ファイル", u"よく行くフォルダの設定(&F)",
     u"よく行くフォルダを追加", nullptr, -1, &M::SetGoFolderActionExecute},
    {&M::ResetGoFoldeAction, "ResetGoFoldeAction", u"ファイル", u"よく行くフォルダの全削除(&D)",
     u"よく行くフォルダの全削除", nullptr, -1, &M::ResetGoFoldeActionExecute},
    {&M::FileExit1, "FileExit1", u"ファイル", u"終了(&X)",
     u"終了|アプリケーションの終了(変更確認あり)", nullptr, -1, &M::FileExit1Execute},
    {&M::UndoAction, "UndoAction", u"編集", u"元に戻す(&U)", u"アンドゥ|アンドゥ", nullptr, 3,
     &M::UndoActionExecute},
    {&M::EditCut1, "EditCut1", u"編集", u"切り取り(&T)",
     u"切り取り|選択部分を削除しｋリップボードに送る", "Ctrl+X", 0, &M::EditCut1Execute},
    {&M::EditCopy1, "EditCopy1", u"編集", u"コピー(&C)...",
     u"コピー|選択部分をコピーしクリップボードに送る", "Ctrl+C", 1, &M::EditCopy1Execute},
    {&M::EditPaste1, "EditPaste1", u"編集", u"貼り付け(&P)", u"貼り付け|クリップボードの内容を挿入",
     "Ctrl+V", 2, &M::EditPaste1Execute},
    {&M::SelAllAction, "SelAllAction", u"編集", u"全て選択(&A)", u"", nullptr, -1,
     &M::SelAllActionExecute},
    {&M::ReadOnlyAction, "ReadOnlyAction", u"編集", u"ReadOnly(&R)", u"読み専用|ReadOnly", nullptr,
     -1, &M::ReadOnlyActionExecute, ckUnchecked},
    {&M::SearchAction, "SearchAction", u"検索", u"検索(&S)", u"検索|検索", "Ctrl+F", 12,
     &M::SearchActionExecute},
    {&M::NextSearchAction, "NextSearchAction", u"検索", u"次を検索", u"次を検索", "F3", -1,
     &M::NextSearchActionExecute},
    {&M::ReplaceAction, "ReplaceAction", u"検索", u"置換(&R)", u"置換|置換", "Ctrl+R", 13,
     &M::ReplaceActionExecute},
    {&M::ReplaceAtMarkedWordAction, "ReplaceAtMarkedWordAction", u"検索", u"マークされた単語を置換",
     u"マークされた単語を置換", "F4", -1, &M::ReplaceAtMarkedWordActionExecute},
    {&M::ReplaceAllAction, "ReplaceAllAction", u"検索", u"全て置換(&A)", u"全て置換", nullptr, -1,
     &M::ReplaceAllActionExecute},
    {&M::FileSearchAction, "FileSearchAction", u"検索", u"ファイルから検索(&G)...",
     u"ファイルから検索|フォルダのファイルから文字列を検索します", nullptr, -1,
     &M::FileSearchActionExecute},
    {&M::ViewOfIEAction, "ViewOfIEAction", u"表示", u"MSIE で確認(&M)", u"", nullptr, -1,
     &M::ViewOfIEActionExecute},
    {&M::ViewOfNNAction, "ViewOfNNAction", u"表示", u"Netscap で確認(&N)", u"", nullptr, -1,
     &M::ViewOfNNActionExecute},
    {&M::FTPAction, "FTPAction", u"表示", u"FTP(&F)", u"FTP の起動|FTP アプリケーションの起動",
     nullptr, -1, &M::FTPActionExecute},
    {&M::SetProwserFolderAction, "SetProwserFolderAction", u"表示", u"設定(&O)",
     u"プラウザのフォルダを設定", nullptr, -1, &M::SetProwserFolderActionExecute},
    {&M::SelShowOrHideAction, "SelShowOrHideAction", u"表示", u"セレクター(&L)",
     u"セレクターの表示/非表示", nullptr, -1, &M::SelShowOrHideActionExecute, ckChecked},
    {&M::SetShowOrHideAction, "SetShowOrHideAction", u"表示", u"セッティング(&S)",
     u"セッティングフォームの表示/非表示", nullptr, -1, &M::SetShowOrHideActionExecute, ckChecked},
    {&M::StbarShowOrHideAction, "StbarShowOrHideAction", u"表示", u"ステータスバー(&T)",
     u"ステータスバーの表示/非表示", nullptr, -1, &M::StbarShowOrHideActionExecute, ckChecked},
    {&M::ShowDockSiteAction, "ShowDockSiteAction", u"表示", u"ドッキング(&D)",
     u"ドッキング|やりたい事の選択フォームをドッキング可能にします", nullptr, -1,
     &M::ShowDockSiteActionExecute, ckUnchecked},
    {&M::WindowCascade1, "WindowCascade1", u"ウィンドウ", u"重ねて表示(&C)", u"並べて表示", nullptr,
     17, &M::WindowCascade1Execute},
    {&M::WindowTileHorizontal1, "WindowTileHorizontal1", u"ウィンドウ", u"水平に並べて表示(&H)",
     u"水平に並べて表示", nullptr, 15, &M::WindowTileHorizontal1Execute},
    {&M::WindowTileVertical1, "WindowTileVertical1", u"ウィンドウ", u"垂直に並べて表示(&V)",
     u"垂直に並べて表示", nullptr, 16, &M::WindowTileVertical1Execute},
    {&M::WindowMinimizeAll1, "WindowMinimizeAll1", u"ウィンドウ", u"すべてを最小化(&M)",
     u"すべてを最小化", nullptr, -1, &M::WindowMinimizeAll1Execute},
    {&M::WindowArrangeAll1, "WindowArrangeAll1", u"ウィンドウ", u"アイコンの整列(&A)",
     u"アイコンの整列", nullptr, -1, &M::WindowArrangeAll1Execute},
    {&M::HelpAction, "HelpAction", u"ヘルプ", u"ヘルプ", u"ヘルプ|ヘルプの表示", "F1", 18,
     &M::HelpActionExecute},
    {&M::GoMyWebAction, "GoMyWebAction", u"ヘルプ", u"作者のホームページ(&M)",
     u"作者のホームページへ行きます", nullptr, -1, &M::GoMyWebActionExecute},
    {&M::GoTalvoroWebAction, "GoTalvoroWebAction", u"ヘルプ", u"タルボロ社のホームページ(&G)",
     u"タルボロ社のホームページへ行きます", nullptr, -1, &M::GoTalvoroWebActionExecute},
    {&M::HelpAbout1, "HelpAbout1", u"ヘルプ", u"バージョン情報(&A)...",
     u"バージョン情報|バージョンなど固有情報を表示", nullptr, -1, &M::HelpAbout1Execute},
};

// A hint's parts: without a bar both are the whole hint.
QString ShortHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}
QString LongHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

using TItems = std::initializer_list<QAction * TMainForm::*>; // nullptr: a separator

struct TMenuDef {
    const char* Name;
    const char16_t* Caption;
    const char16_t* Hint;
    TItems Items;
};

} // namespace

// Qt's SVG icon engine draws these at whatever size is asked for, and the style greys the
// disabled ones as for any icon.
QString ToolImagePath(int image) {
    return QStringLiteral(":/icons/%1.svg").arg(image, 2, 10, QLatin1Char('0'));
}

void TMainForm::CreateActions() {
    for (const TActionDef& def : Actions) {
        auto* action = new QAction(QString::fromUtf16(def.Caption), this);
        this->*def.Field = action;
        action->setObjectName(QLatin1StringView(def.Name));
        action->setProperty("category", QString::fromUtf16(def.Category));
        const QString hint = QString::fromUtf16(def.Hint);
        action->setToolTip(ShortHint(hint).isEmpty() ? action->text().remove(u'&')
                                                     : ShortHint(hint));
        action->setStatusTip(LongHint(hint));
        if (def.Key)
            action->setShortcut(QKeySequence(QLatin1StringView(def.Key)));
        if (def.Image >= 0)
            action->setIcon(QIcon(ToolImagePath(def.Image)));
        const auto execute = def.Execute;
        if (def.Check == ckNone) {
            connect(action, &QAction::triggered, this,
                    [this, execute] { Guarded([&] { (this->*execute)(); }); });
        } else {
            action->setCheckable(true);
            action->setChecked(def.Check == ckChecked);
            // The handler decides the check mark; choosing the item does not toggle it.
            connect(action, &QAction::triggered, this, [this, action, execute](bool checked) {
                action->setChecked(!checked);
                Guarded([&] { (this->*execute)(); });
            });
        }
    }
    addActions(findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly));
}

void TMainForm::CreateMenus() {
    const TMenuDef menus[] = {
        {"FileMenu",
         u"ファイル(&F)",
         u"ファイル関連の機能",
         {&M::FileNew1, &M::FileOpen1, &M::ReopenAction, nullptr, &M::FileClose1,
          &M::AllCloseAction, nullptr, &M::FileSave1, &M::FileSaveAs1, &M::AllSaveAction, nullptr,
          &M::PrintAction, nullptr, &M::SetGoFolderAction, &M::ResetGoFoldeAction, nullptr,
          &M::FileExit1, nullptr}},
        {"EditMenu",
         u"編集(&E)",
         u"編集関連の機能",
         {&M::UndoAction, nullptr, &M::EditCut1, &M::EditCopy1, &M::EditPaste1, nullptr,
          &M::SelAllAction, nullptr, &M::ReadOnlyAction}},
        {"SearchMenu",
         u"検索(&S)",
         u"",
         {&M::SearchAction, &M::NextSearchAction, &M::ReplaceAction, &M::ReplaceAtMarkedWordAction,
          &M::ReplaceAllAction, nullptr, &M::FileSearchAction}},
        {"ViewMenu",
         u"表示(&V)",
         u"",
         {&M::ViewOfIEAction, &M::ViewOfNNAction, &M::FTPAction, nullptr, &M::SelShowOrHideAction,
          &M::SetShowOrHideAction, &M::StbarShowOrHideAction, nullptr, &M::ShowDockSiteAction,
          nullptr, &M::SetProwserFolderAction}},
        {"WindowMenu",
         u"ウィンドウ(&W)",
         u"ウィンドウ操作の機能",
         {&M::WindowCascade1, &M::WindowTileHorizontal1, &M::WindowTileVertical1,
          &M::WindowMinimizeAll1, &M::WindowArrangeAll1}},
        {"HelpMenu",
         u"ヘルプ(&H)",
         u"ヘルプトピック",
         {&M::HelpAction, nullptr, &M::GoMyWebAction, &M::GoTalvoroWebAction, nullptr,
          &M::HelpAbout1}},
    };
    for (const TMenuDef& def : menus) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf16(def.Caption));
        menu->setObjectName(QLatin1StringView(def.Name));
        menu->menuAction()->setStatusTip(QString::fromUtf16(def.Hint));
        for (QAction* TMainForm::*item : def.Items) {
            if (item)
                menu->addAction(this->*item);
            else
                menu->addSeparator();
        }
        connect(menu, &QMenu::aboutToShow, this, &TMainForm::UpdateActions);
        if (qstrcmp(def.Name, "WindowMenu") == 0)
            WindowMenu = menu;
    }
    QMenu* fileMenu = menuBar()->findChild<QMenu*>(QStringLiteral("FileMenu"));
    FileHistoryItem = fileMenu->addAction(QStringLiteral("履歴"));
    FileHistoryItem->setObjectName(QStringLiteral("FileHistoryItem"));
    connect(WindowMenu, &QMenu::aboutToShow, this, &TMainForm::WindowMenuAboutToShow);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (QAction* TMainForm::*item :
         TItems{&M::EditCut1, &M::EditCopy1, &M::EditPaste1, &M::UndoAction, nullptr,
                &M::ViewOfIEAction, &M::ViewOfNNAction}) {
        if (item)
            PopupMenu1->addAction(this->*item);
        else
            PopupMenu1->addSeparator();
    }
    connect(PopupMenu1, &QMenu::aboutToShow, this, &TMainForm::UpdateActions);
}

void TMainForm::CreateToolBar() {
    TabToolBar1 = new TTabToolBar(this);
    TabToolBar1->setObjectName(QStringLiteral("TabToolBar1"));
    TabToolBar1->setWindowTitle(QStringLiteral("ツールバー"));
    TabToolBar1->SetAutoSize(true);
    TabToolBar1->SetTabSizeMinimized(45);
    TabToolBar1->setIconSize(QSize(16, 16));
    TabToolBar1->toggleViewAction()->setVisible(false);
    for (QAction* TMainForm::*item : TItems{
             &M::FileNew1, &M::FileOpen1, &M::FileSave1, nullptr, &M::SearchAction,
             &M::ReplaceAction, &M::PrintAction, nullptr, &M::EditCut1, &M::EditCopy1,
             &M::EditPaste1, &M::UndoAction, nullptr, &M::WindowCascade1, &M::WindowTileHorizontal1,
             &M::WindowTileVertical1, nullptr, &M::HelpAction, nullptr}) {
        if (!item) {
            TabToolBar1->addSeparator();
            continue;
        }
        TabToolBar1->addAction(this->*item);
        if (QWidget* button = TabToolBar1->widgetForAction(this->*item))
            button->setFixedWidth(25);
    }
    ComboBox1 = new QComboBox(TabToolBar1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setFixedWidth(145);
    ComboBox1->setEnabled(false);
    ComboBox1->setToolTip(QStringLiteral("フォント"));
    ComboBox1->setStatusTip(QStringLiteral("フォントを選択します"));
    ComboBox1->setMaxVisibleItems(20);
    connect(ComboBox1, &QComboBox::activated, this,
            [this](int index) { Guarded([&] { ComboBox1Change(index); }); });
    TabToolBar1->addWidget(ComboBox1);
    addToolBar(Qt::TopToolBarArea, TabToolBar1);
}
