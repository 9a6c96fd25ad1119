// The frame as the user meets it: menus, tool bar and actions with the texts, hints and keys of
// the form; the standard actions enabling themselves; the status bar panels written by the
// editing windows (the caret panel after every move); the window commands and the Window
// menu; printing; help and the about box; and the one handler every failure ends in.

#include "FrameFixture.h"

#include "app/About.h"
#include "app/Application.h"
#include "app/Childwin.h"
#include "app/HelpForm.h"
#include "app/Main.h"
#include "app/StatusPanels.h"
#include "chrome/TabToolBar.h"
#include "components/CabDialog.h"
#include "editor/ExtMemo.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QMenu* TopMenu(TMainForm& frame, const QString& title) {
    for (QAction* action : frame.menuBar()->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

// An object whose event handler fails, as a handler of the program would.
class TFailingObject : public QObject {
public:
    bool Plain = false;
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        if (Plain)
            throw std::runtime_error("plain failure");
        throw EQuorvelError(QStringLiteral("ファイル x を作成できません"));
    }
};

} // namespace

class TFrameTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void menus_data();
    void menus();
    void toolBar();
    void actions_data();
    void actions();
    void hintsGoToPanelZero();
    void contextMenuIsPopupMenu1();
    void standardActionsEnableThemselves();
    void editActionsWorkOnTheFocusedEdit();
    void statusPanels();
    void caretPanelForms();
    void caretPanelFollowsEveryMove();
    void activationWritesThePanels();
    void fontList();
    void tileHorizontally();
    void tileVertically();
    void cascadeMinimizeArrange();
    void windowMenuListsWindows();
    void printWithoutWindow();
    void printToPdf();
    void failuresEndInOneHandler();
    void messageBoxes_data();
    void messageBoxes();
    void helpAndAbout();
    void viewToggles();
};

// ---------------------------------------------------------------------------------------------
// Menus, tool bar, actions

void TFrameTest::menus_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("file") << QStringLiteral("ファイル(&F)") << QStringLiteral("ファイル関連の機能")
                          << QStringList{QStringLiteral("新規作成(&N)"),
                                         QStringLiteral("開く(&O)..."),
                                         QStringLiteral("文字コードを指定して開き直す(&R)..."),
                                         QStringLiteral("-"),
                                         QStringLiteral("閉じる(&C)"),
                                         QStringLiteral("すべて閉じる(&L)"),
                                         QStringLiteral("-"),
                                         QStringLiteral("上書き保存(&S)"),
                                         QStringLiteral("名前をつけて保存(&A)..."),
                                         QStringLiteral("すべて保存(&V)"),
                                         QStringLiteral("-"),
                                         QStringLiteral("印刷(&P)"),
                                         QStringLiteral("-"),
                                         QStringLiteral("よく行くフォルダの設定(&F)"),
                                         QStringLiteral("よく行くフォルダの全削除(&D)"),
                                         QStringLiteral("-"),
                                         QStringLiteral("終了(&X)"),
                                         QStringLiteral("-"),
                                         QStringLiteral("履歴")};
    QTest::newRow("edit") << QStringLiteral("編集(&E)") << QStringLiteral("編集関連の機能")
                          << QStringList{
                                 QStringLiteral("元に戻す(&U)"), QStringLiteral("-"),
                                 QStringLiteral("切り取り(&T)"), QStringLiteral("コピー(&C)..."),
                                 QStringLiteral("貼り付け(&P)"), QStringLiteral("-"),
                                 QStringLiteral("全て選択(&A)"), QStringLiteral("-"),
                                 QStringLiteral("ReadOnly(&R)")};
    QTest::newRow("search") << QStringLiteral("検索(&S)") << QString()
                            << QStringList{QStringLiteral("検索(&S)"),
                                           QStringLiteral("次を検索"),
                                           QStringLiteral("置換(&R)"),
                                           QStringLiteral("マークされた単語を置換"),
                                           QStringLiteral("全て置換(&A)"),
                                           QStringLiteral("-"),
                                           QStringLiteral("ファイルから検索(&G)..."),
                                           QStringLiteral("-"),
                                           QStringLiteral("対応する括弧へ移動(&M)")};
    QTest::newRow("view") << QStringLiteral("表示(&V)") << QString()
                          << QStringList{QStringLiteral("MSIE で確認(&M)"),
                                         QStringLiteral("Netscap で確認(&N)"),
                                         QStringLiteral("FTP(&F)"),
                                         QStringLiteral("-"),
                                         QStringLiteral("セレクター(&L)"),
                                         QStringLiteral("セッティング(&S)"),
                                         QStringLiteral("ステータスバー(&T)"),
                                         QStringLiteral("-"),
                                         QStringLiteral("ドッキング(&D)"),
                                         QStringLiteral("-"),
                                         QStringLiteral("設定(&O)"),
                                         QStringLiteral("-"),
                                         QStringLiteral("色分け表示(&Y)"),
                                         QStringLiteral("編集記号(&K)")};
    QTest::newRow("window") << QStringLiteral("ウィンドウ(&W)")
                            << QStringLiteral("ウィンドウ操作の機能")
                            << QStringList{QStringLiteral("重ねて表示(&C)"),
                                           QStringLiteral("水平に並べて表示(&H)"),
                                           QStringLiteral("垂直に並べて表示(&V)"),
                                           QStringLiteral("すべてを最小化(&M)"),
                                           QStringLiteral("アイコンの整列(&A)")};
    QTest::newRow("help") << QStringLiteral("ヘルプ(&H)") << QStringLiteral("ヘルプトピック")
                          << QStringList{QStringLiteral("ヘルプ"),
                                         QStringLiteral("-"),
                                         QStringLiteral("作者のホームページ(&M)"),
                                         QStringLiteral("タルボロ社のホームページ(&G)"),
                                         QStringLiteral("-"),
                                         QStringLiteral("バージョン情報(&A)...")};
}

void TFrameTest::menus() {
    QFETCH(QString, title);
    QFETCH(QString, hint);
    QFETCH(QStringList, items);
    TFrameFixture f;
    QMenu* menu = TopMenu(f.Frame(), title);
    QVERIFY(menu);
    QCOMPARE(MenuTexts(menu), items);
    QCOMPARE(menu->menuAction()->statusTip(), hint);
}

void TFrameTest::toolBar() {
    TFrameFixture f;
    QStringList items;
    for (QAction* action : f.Frame().TabToolBar1->actions()) {
        if (action->isSeparator())
            items << QStringLiteral("-");
        else if (QWidget* widget = f.Frame().TabToolBar1->widgetForAction(action);
                 qobject_cast<QComboBox*>(widget))
            items << widget->objectName();
        else
            items << action->objectName();
    }
    QCOMPARE(items, (QStringList{QStringLiteral("FileNew1"),
                                 QStringLiteral("FileOpen1"),
                                 QStringLiteral("FileSave1"),
                                 QStringLiteral("-"),
                                 QStringLiteral("SearchAction"),
                                 QStringLiteral("ReplaceAction"),
                                 QStringLiteral("PrintAction"),
                                 QStringLiteral("-"),
                                 QStringLiteral("EditCut1"),
                                 QStringLiteral("EditCopy1"),
                                 QStringLiteral("EditPaste1"),
                                 QStringLiteral("UndoAction"),
                                 QStringLiteral("-"),
                                 QStringLiteral("WindowCascade1"),
                                 QStringLiteral("WindowTileHorizontal1"),
                                 QStringLiteral("WindowTileVertical1"),
                                 QStringLiteral("-"),
                                 QStringLiteral("HelpAction"),
                                 QStringLiteral("-"),
                                 QStringLiteral("ComboBox1")}));
    QCOMPARE(f.Frame().ComboBox1->width(), 145);
    QVERIFY(!f.Frame().ComboBox1->isEnabled());
    QCOMPARE(f.Frame().ComboBox1->toolTip(), QStringLiteral("フォント"));
    QCOMPARE(f.Frame().ComboBox1->statusTip(), QStringLiteral("フォントを選択します"));
    QCOMPARE(f.Frame().TabToolBar1->widgetForAction(f.Frame().FileNew1)->width(), 25);
}

void TFrameTest::actions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("statusTip");
    QTest::addColumn<int>("image");
    QTest::newRow("new") << u"FileNew1"_s << u"ファイル"_s << u"Ctrl+N"_s << u"新規"_s
                         << u"新規ファイルの作成"_s << 6;
    QTest::newRow("open") << u"FileOpen1"_s << u"ファイル"_s << u"Ctrl+O"_s << u"開く"_s
                          << u"ファイルを開く"_s << 7;
    QTest::newRow("save") << u"FileSave1"_s << u"ファイル"_s << u"Ctrl+S"_s << u"保存"_s
                          << u"現在のファイルを保存"_s << 8;
    QTest::newRow("close all, hint without bar")
        << u"AllCloseAction"_s << u"ファイル"_s << u""_s << u"全ての子ウィンドウを閉じます"_s
        << u"全ての子ウィンドウを閉じます"_s << -1;
    QTest::newRow("print") << u"PrintAction"_s << u"ファイル"_s << u""_s << u"印刷"_s
                           << u"テキストの印刷"_s << 14;
    QTest::newRow("undo") << u"UndoAction"_s << u"編集"_s << u""_s << u"アンドゥ"_s << u"アンドゥ"_s
                          << 3;
    QTest::newRow("cut, hint as written")
        << u"EditCut1"_s << u"編集"_s << u"Ctrl+X"_s << u"切り取り"_s
        << u"選択部分を削除しｋリップボードに送る"_s << 0;
    QTest::newRow("copy") << u"EditCopy1"_s << u"編集"_s << u"Ctrl+C"_s << u"コピー"_s
                          << u"選択部分をコピーしクリップボードに送る"_s << 1;
    QTest::newRow("paste") << u"EditPaste1"_s << u"編集"_s << u"Ctrl+V"_s << u"貼り付け"_s
                           << u"クリップボードの内容を挿入"_s << 2;
    QTest::newRow("search") << u"SearchAction"_s << u"検索"_s << u"Ctrl+F"_s << u"検索"_s
                            << u"検索"_s << 12;
    QTest::newRow("next") << u"NextSearchAction"_s << u"検索"_s << u"F3"_s << u"次を検索"_s
                          << u"次を検索"_s << -1;
    QTest::newRow("replace") << u"ReplaceAction"_s << u"検索"_s << u"Ctrl+R"_s << u"置換"_s
                             << u"置換"_s << 13;
    QTest::newRow("replace marked")
        << u"ReplaceAtMarkedWordAction"_s << u"検索"_s << u"F4"_s << u"マークされた単語を置換"_s
        << u"マークされた単語を置換"_s << -1;
    QTest::newRow("ftp") << u"FTPAction"_s << u"表示"_s << u""_s << u"FTP の起動"_s
                         << u"FTP アプリケーションの起動"_s << -1;
    QTest::newRow("docking") << u"ShowDockSiteAction"_s << u"表示"_s << u""_s << u"ドッキング"_s
                             << u"やりたい事の選択フォームをドッキング可能にします"_s << -1;
    QTest::newRow("cascade") << u"WindowCascade1"_s << u"ウィンドウ"_s << u""_s << u"並べて表示"_s
                             << u"並べて表示"_s << 17;
    QTest::newRow("tile h") << u"WindowTileHorizontal1"_s << u"ウィンドウ"_s << u""_s
                            << u"水平に並べて表示"_s << u"水平に並べて表示"_s << 15;
    QTest::newRow("tile v") << u"WindowTileVertical1"_s << u"ウィンドウ"_s << u""_s
                            << u"垂直に並べて表示"_s << u"垂直に並べて表示"_s << 16;
    QTest::newRow("help") << u"HelpAction"_s << u"ヘルプ"_s << u"F1"_s << u"ヘルプ"_s
                          << u"ヘルプの表示"_s << 18;
    QTest::newRow("about") << u"HelpAbout1"_s << u"ヘルプ"_s << u""_s << u"バージョン情報"_s
                           << u"バージョンなど固有情報を表示"_s << -1;
}

void TFrameTest::actions() {
    QFETCH(QString, name);
    QFETCH(QString, category);
    QFETCH(QString, key);
    QFETCH(QString, toolTip);
    QFETCH(QString, statusTip);
    QFETCH(int, image);
    TFrameFixture f;
    auto* action = f.Frame().findChild<QAction*>(name);
    QVERIFY(action);
    QCOMPARE(action->property("category").toString(), category);
    QCOMPARE(action->shortcut(), QKeySequence(key));
    QCOMPARE(action->toolTip(), toolTip);
    QCOMPARE(action->statusTip(), statusTip);
    QCOMPARE(action->icon().isNull(), image < 0);
    if (image >= 0) {
        // The icon paints something at tool size.
        const QImage picture = action->icon().pixmap(16, 16).toImage();
        int opaque = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                opaque += qAlpha(picture.pixel(x, y)) > 128;
        QVERIFY2(opaque > 20, qPrintable(QString::number(opaque)));
    }
}

void TFrameTest::hintsGoToPanelZero() {
    TFrameFixture f;
    f.Frame().FileNew1->showStatusText(&f.Frame());
    QCOMPARE(f.Frame().StatusText(0), QStringLiteral("新規ファイルの作成"));
    QMenu* file = TopMenu(f.Frame(), QStringLiteral("ファイル(&F)"));
    file->menuAction()->showStatusText(f.Frame().menuBar());
    QCOMPARE(f.Frame().StatusText(0), QStringLiteral("ファイル関連の機能"));
    // A shortcut key shows in the menu.
    QCOMPARE(f.Frame().FileSave1->shortcut().toString(QKeySequence::PortableText),
             QStringLiteral("Ctrl+S"));
    QVERIFY(f.Frame().statusBar()->currentMessage().isEmpty());
}

void TFrameTest::contextMenuIsPopupMenu1() {
    TFrameFixture f;
    f.Frame().FileNew1->trigger();
    QMenu* popup = f.Frame().PopupMenu1;
    QCOMPARE(MenuTexts(popup),
             (QStringList{QStringLiteral("切り取り(&T)"), QStringLiteral("コピー(&C)..."),
                          QStringLiteral("貼り付け(&P)"), QStringLiteral("元に戻す(&U)"),
                          QStringLiteral("-"), QStringLiteral("MSIE で確認(&M)"),
                          QStringLiteral("Netscap で確認(&N)")}));
    // The mouse's right button on the text, and the keyboard's menu key on the control.
    TExtMemo* memo = f.Active()->RichEdit1;
    for (QWidget* target : {memo->viewport(), static_cast<QWidget*>(memo)}) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                target->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(target, &event);
        QTRY_VERIFY(popup->isVisible());
        popup->hide();
    }
}

void TFrameTest::standardActionsEnableThemselves() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    for (QAction* action : {m.FileClose1, m.AllCloseAction, m.AllSaveAction, m.WindowCascade1,
                            m.WindowTileHorizontal1, m.WindowTileVertical1, m.WindowMinimizeAll1,
                            m.WindowArrangeAll1, m.EditCut1, m.EditCopy1, m.EditPaste1})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    for (QAction* action : {m.FileNew1, m.FileOpen1, m.PrintAction, m.UndoAction, m.SelAllAction})
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));

    m.FileNew1->trigger();
    TExtMemo* memo = f.Active()->RichEdit1;
    memo->setFocus();
    QTRY_VERIFY(memo->hasFocus());
    for (QAction* action : {m.FileClose1, m.AllCloseAction, m.AllSaveAction, m.WindowCascade1,
                            m.WindowMinimizeAll1, m.EditPaste1})
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(!m.EditCut1->isEnabled());
    QVERIFY(!m.EditCopy1->isEnabled());
    f.Type(QStringLiteral("abc"));
    m.SelAllAction->trigger();
    QVERIFY(m.EditCut1->isEnabled());
    QVERIFY(m.EditCopy1->isEnabled());
    memo->SetReadOnly(true);
    m.UpdateActions();
    QVERIFY(!m.EditCut1->isEnabled());
    QVERIFY(m.EditCopy1->isEnabled());
    QVERIFY(!m.EditPaste1->isEnabled());
}

void TFrameTest::editActionsWorkOnTheFocusedEdit() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    m.FileNew1->trigger();
    TExtMemo* memo = f.Active()->RichEdit1;
    memo->setFocus();
    f.Type(QStringLiteral("hello"));
    memo->SetSelection(0, 2);
    m.EditCopy1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("he"));
    m.EditCut1->trigger();
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("llo"));
    memo->SetSelection(3, 3);
    m.EditPaste1->trigger();
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("llohe"));
    m.UndoAction->trigger();
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("llo"));

    // Any edit control with the focus, not only the editor.
    auto* edit = new QLineEdit(QStringLiteral("parameter"), &m);
    edit->show();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(!m.EditCopy1->isEnabled());
    edit->setSelection(0, 4);
    QVERIFY(m.EditCopy1->isEnabled());
    m.EditCut1->trigger();
    QCOMPARE(edit->text(), QStringLiteral("meter"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("para"));
    QCOMPARE(memo->Buffer().Text(), QStringLiteral("llo"));
}

// ---------------------------------------------------------------------------------------------
// Status bar

void TFrameTest::statusPanels() {
    TFrameFixture f;
    TStatusPanels* panels = f.Frame().StatusBar;
    // The frame's four, then the encoding and line ends.
    QCOMPARE(panels->Count(), 5);
    const int wanted = panels->sizeHint().width();
    panels->resize(wanted, panels->height());
    QCOMPARE(panels->PanelRect(1).left(), 450);
    QCOMPARE(panels->PanelRect(4).right() + 1 + 2, panels->width());
    // Narrower, the hints give up their room first: the caret's place and the encoding stay.
    const int encodingWidth = panels->PanelRect(4).width();
    panels->resize(wanted - 300, panels->height());
    QCOMPARE(panels->PanelRect(4).width(), encodingWidth);
    QCOMPARE(panels->PanelRect(1).left(), 150);
    // A narrow frame cuts the panels off instead of growing.
    QVERIFY(f.Frame().minimumSizeHint().width() < 450);

    // Seven-digit numbers show whole; a longer text is cut off on screen but read whole.
    const QString caret = QStringLiteral("9999999行 : 9999999桁/ 9999999行");
    const QString longText = QStringLiteral("\"%1\" が見つかりません").arg(QString(80, u'x'));
    f.Frame().SetStatusText(3, caret);
    f.Frame().SetStatusText(1, longText);
    QCOMPARE(panels->Panel(3)->text(), caret);
    QVERIFY(panels->Panel(1)->text().size() < longText.size());
    QStringList names;
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(panels);
    QVERIFY(bar);
    for (int i = 0; i < bar->childCount(); ++i) {
        QAccessibleInterface* panel = bar->child(i);
        QCOMPARE(panel->role(), QAccessible::StaticText);
        names << panel->text(QAccessible::Name);
    }
    QCOMPARE(names, (QStringList{QString(), longText, QString(), caret, QString()}));

    // Closing every window empties the panels that told of one; the font list waits for the next.
    f.Frame().FileNew1->trigger();
    QVERIFY(f.Frame().ComboBox1->isEnabled());
    QVERIFY(!f.Frame().StatusText(3).isEmpty());
    f.Frame().AllCloseAction->trigger();
    ProcessDeletions();
    for (int panel = 1; panel < panels->Count(); ++panel)
        QCOMPARE(f.Frame().StatusText(panel), QString());
    QVERIFY(!f.Frame().ComboBox1->isEnabled());
    f.Frame().FileNew1->trigger();
    QVERIFY(f.Frame().ComboBox1->isEnabled());
}

void TFrameTest::caretPanelForms() {
    QCOMPARE(TMDIChild::CaretText(12, 0, 40, cfActivate), QStringLiteral("12行 : 0桁/ 40行"));
    QCOMPARE(TMDIChild::CaretText(12, 0, 40, cfKeyDown), QStringLiteral("12 : 0桁/40行"));
    QCOMPARE(TMDIChild::CaretText(12, 0, 40, cfKeyUp), QStringLiteral("12行 : 0桁/40行"));

    TFrameFixture f;
    f.Frame().FileNew1->trigger();
    TExtMemo* memo = f.Active()->RichEdit1;
    memo->setFocus();
    QTest::keyPress(memo, Qt::Key_Shift);
    QCOMPARE(f.Frame().StatusText(3), QStringLiteral("1 : 0桁/1行"));
    QTest::keyRelease(memo, Qt::Key_Shift);
    QCOMPARE(f.Frame().StatusText(3), QStringLiteral("1行 : 0桁/1行"));
    f.Type(QStringLiteral("ab"));
    QTest::keyClick(memo, Qt::Key_Return);
    f.Type(QStringLiteral("c"));
    QCOMPARE(f.Frame().StatusText(3), QStringLiteral("2行 : 1桁/2行"));
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集中"));
}

void TFrameTest::caretPanelFollowsEveryMove() {
    TFrameFixture f;
    f.Frame().FileNew1->trigger();
    TExtMemo* memo = f.Active()->RichEdit1;
    f.Type(QStringLiteral("first"));
    QTest::keyClick(memo, Qt::Key_Return);
    // Programmatic changes: an insertion (a full-width character is two columns) and a move.
    memo->ReplaceSelection(QStringLiteral("日本x"));
    QCOMPARE(f.Frame().StatusText(3), QStringLiteral("2行 : 5桁/2行"));
    memo->SetSelection(2, 2);
    QCOMPARE(f.Frame().StatusText(3), QStringLiteral("1行 : 2桁/2行"));
    // A mouse click.
    const QPoint end = memo->PosFromChar(memo->TextLength());
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, end + QPoint(1, 4));
    QCOMPARE(memo->CaretPos(), memo->TextLength());
    QCOMPARE(f.Frame().StatusText(3), QStringLiteral("2行 : 5桁/2行"));
    // Undo puts the caret back.
    memo->Undo();
    QCOMPARE(f.Frame().StatusText(3), QStringLiteral("2行 : 0桁/2行"));
}

void TFrameTest::activationWritesThePanels() {
    TFrameFixture f;
    const QString a = f.Path(QStringLiteral("a.txt"));
    WriteBytes(a, "one\r\ntwo\r\nthree\r\n");
    f.Frame().OpenFiles({a});
    TMDIChild* first = f.Active();
    first->RichEdit1->SetReadOnly(true);
    first->RichEdit1->SetSelection(5, 5);
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("x"));
    TMDIChild* second = f.Active();

    f.Frame().MdiArea->setActiveSubWindow(first);
    QCOMPARE(f.Frame().StatusText(1), QStringLiteral("読み専用"));
    QVERIFY(f.Frame().ReadOnlyAction->isChecked());
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集終了"));
    QCOMPARE(f.Frame().StatusText(3), QStringLiteral("2行 : 0桁/ 4行"));
    QCOMPARE(f.Frame().CabSaveDialog1->FileName(), a);

    f.Frame().MdiArea->setActiveSubWindow(second);
    QCOMPARE(f.Frame().StatusText(1), QString());
    QVERIFY(!f.Frame().ReadOnlyAction->isChecked());
    QCOMPARE(f.Frame().StatusText(2), QStringLiteral("編集中"));
    QCOMPARE(f.Frame().StatusText(3), QStringLiteral("1行 : 1桁/ 1行"));
    QCOMPARE(f.Frame().CabSaveDialog1->FileName(), NewFileCaption);
}

void TFrameTest::fontList() {
    TFrameFixture f;
    QComboBox* fonts = f.Frame().ComboBox1;
    QStringList names;
    for (int i = 0; i < fonts->count(); ++i)
        names << fonts->itemText(i);
    QVERIFY(names.contains(QStringLiteral("ＭＳ ゴシック")));
    QVERIFY(names.contains(QStringLiteral("IPAPGothic")));
    QVERIFY(std::is_sorted(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    }));
    QCOMPARE(fonts->currentIndex(), -1);

    f.Frame().FileNew1->trigger();
    TExtMemo* memo = f.Active()->RichEdit1;
    const int index = fonts->findText(QStringLiteral("IPAPGothic"));
    fonts->setCurrentIndex(index);
    Q_EMIT fonts->activated(index);
    QCOMPARE(memo->font().family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(memo->font().pixelSize(), 16);
    // Another window shows its own font; coming back shows this one's.
    f.Frame().FileNew1->trigger();
    QCOMPARE(fonts->currentText(), QStringLiteral("ＭＳ ゴシック"));
    f.Frame().MdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(memo->parentWidget()));
    QCOMPARE(fonts->currentText(), QStringLiteral("IPAPGothic"));
}

// ---------------------------------------------------------------------------------------------
// Window commands

void TFrameTest::tileHorizontally() {
    TFrameFixture f;
    for (int i = 0; i < 2; ++i)
        f.Frame().FileNew1->trigger();
    f.Active()->showMaximized();
    f.Frame().WindowTileHorizontal1->trigger();
    const QRect client = f.Frame().MdiArea->viewport()->rect();
    const QList<QMdiSubWindow*> windows = f.Frame().MdiArea->subWindowList(QMdiArea::CreationOrder);
    QCOMPARE(windows[0]->geometry(), QRect(0, 0, client.width(), client.height() / 2));
    QCOMPARE(windows[1]->geometry(),
             QRect(0, client.height() / 2, client.width(), client.height() - client.height() / 2));
    QVERIFY(!windows[1]->isMaximized());
}

void TFrameTest::tileVertically() {
    TFrameFixture f;
    for (int i = 0; i < 5; ++i)
        f.Frame().FileNew1->trigger();
    f.Frame().WindowTileVertical1->trigger();
    const QRect client = f.Frame().MdiArea->viewport()->rect();
    const QList<QMdiSubWindow*> windows = f.Frame().MdiArea->subWindowList(QMdiArea::CreationOrder);
    // Five windows: two columns, the second holding the window left over.
    const int half = client.width() / 2;
    QCOMPARE(windows[0]->geometry(), QRect(0, 0, half, client.height() / 2));
    QCOMPARE(windows[1]->geometry().left(), 0);
    QCOMPARE(windows[2]->geometry(), QRect(half, 0, client.width() - half, client.height() / 3));
    QCOMPARE(windows[4]->geometry().bottom(), client.bottom());
    // Nothing overlaps.
    for (int i = 0; i < windows.size(); ++i)
        for (int j = i + 1; j < windows.size(); ++j)
            QVERIFY(!windows[i]->geometry().intersects(windows[j]->geometry()));
}

void TFrameTest::cascadeMinimizeArrange() {
    TFrameFixture f;
    for (int i = 0; i < 3; ++i)
        f.Frame().FileNew1->trigger();
    f.Frame().WindowCascade1->trigger();
    const QList<QMdiSubWindow*> windows = f.Frame().MdiArea->subWindowList(QMdiArea::StackingOrder);
    QVERIFY(windows[0]->x() < windows[1]->x() && windows[1]->x() < windows[2]->x());
    QVERIFY(windows[0]->y() < windows[1]->y() && windows[1]->y() < windows[2]->y());
    // However many windows, each keeps half the area and stays inside it.
    for (int i = 0; i < 30; ++i)
        f.Frame().FileNew1->trigger();
    f.Frame().WindowCascade1->trigger();
    const QRect client = f.Frame().MdiArea->viewport()->rect();
    for (QMdiSubWindow* window : f.Frame().MdiArea->subWindowList()) {
        QVERIFY(window->width() >= client.width() / 2 && window->height() >= client.height() / 2);
        QVERIFY2(client.contains(window->geometry()), qPrintable(window->windowTitle()));
    }
    for (TMDIChild* child : f.Frame().MDIChildren())
        if (!windows.contains(child))
            child->CloseApproved();
    ProcessDeletions();

    f.Frame().WindowMinimizeAll1->trigger();
    for (QMdiSubWindow* window : windows)
        QVERIFY(window->isMinimized());
    windows[1]->move(200, 100);
    f.Frame().WindowArrangeAll1->trigger();
    const int bottom = f.Frame().MdiArea->viewport()->rect().bottom();
    int x = 0;
    for (QMdiSubWindow* window : f.Frame().MdiArea->subWindowList(QMdiArea::CreationOrder)) {
        QCOMPARE(window->geometry().bottom(), bottom);
        QCOMPARE(window->x(), x);
        x += window->width();
    }
}

void TFrameTest::windowMenuListsWindows() {
    TFrameFixture f;
    const QString a = f.Path(QStringLiteral("a&b.txt"));
    WriteBytes(a, "a");
    f.Frame().OpenFiles({a});
    f.Frame().FileNew1->trigger();
    QMenu* menu = f.Frame().WindowMenu;
    for (int round = 0; round < 2; ++round) {
        Q_EMIT menu->aboutToShow();
        const QStringList texts = MenuTexts(menu);
        QCOMPARE(texts.size(), 8);
        QCOMPARE(texts.mid(5),
                 (QStringList{QStringLiteral("-"),
                              u"&1 "_s + QString(a).replace(u'&', QStringLiteral("&&")),
                              QStringLiteral("&2 新規ﾌｧｲﾙ")}));
        QVERIFY(!menu->actions()[6]->isChecked());
        QVERIFY(menu->actions()[7]->isChecked());
    }
    menu->actions()[6]->trigger();
    QCOMPARE(f.Active()->Caption(), a);
}

// ---------------------------------------------------------------------------------------------
// Printing

void TFrameTest::printWithoutWindow() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    dialogs.Press(QStringLiteral("OK"));
    f.Frame().PrintAction->trigger();
    QCOMPARE(dialogs.Seen, QStringList{QStringLiteral("情報|子ウィンドウがありません")});
    QVERIFY(dialogs.Unexpected.isEmpty());
}

void TFrameTest::printToPdf() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    f.Frame().FileNew1->trigger();
    QString text;
    for (int i = 1; i <= 150; ++i)
        text += QStringLiteral("%1 行目の日本語のテキスト\r\n").arg(i);
    f.Active()->RichEdit1->ReplaceSelection(text);
    const QString pdf = f.Path(QStringLiteral("out.pdf"));
    f.Frame().Printer().setOutputFormat(QPrinter::PdfFormat);
    f.Frame().Printer().setOutputFileName(pdf);
    dialogs.Accept();
    f.Frame().PrintAction->trigger();
    QCOMPARE(dialogs.Pending(), 0);
    const QByteArray bytes = ReadBytes(pdf);
    QVERIFY(bytes.startsWith("%PDF"));
    const qsizetype pages = bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                            bytes.count("/Type /Page ") + bytes.count("/Type /Page/");
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
}

// ---------------------------------------------------------------------------------------------
// Failures, message boxes, help

void TFrameTest::failuresEndInOneHandler() {
    TDialogAnswers dialogs;
    TFailingObject failing;
    dialogs.Press(QStringLiteral("OK"));
    QEvent event(QEvent::User);
    QVERIFY(!QCoreApplication::sendEvent(&failing, &event));
    failing.Plain = true;
    dialogs.Press(QStringLiteral("OK"));
    QCoreApplication::sendEvent(&failing, &event);
    QCOMPARE(dialogs.Seen, (QStringList{QStringLiteral("エラー|ファイル x を作成できません"),
                                        QStringLiteral("エラー|plain failure")}));
    // And handlers that Qt calls from signals report the same way.
    dialogs.Press(QStringLiteral("OK"));
    QVERIFY(!Guarded([] { throw EQuorvelError(QStringLiteral("失敗")); }));
    QCOMPARE(dialogs.Seen.last(), QStringLiteral("エラー|失敗"));
}

void TFrameTest::messageBoxes_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("press"); // empty: Escape
    QTest::addColumn<int>("result");
    const int all = mbYes | mbNo | mbCancel;
    QTest::newRow("warning, yes") << int(mtWarning) << all << u"警告"_s
                                  << QStringList{u"はい(&Y)"_s, u"いいえ(&N)"_s, u"キャンセル"_s}
                                  << u"はい(&Y)"_s << int(mbYes);
    QTest::newRow("warning, escape cancels")
        << int(mtWarning) << all << u"警告"_s
        << QStringList{u"はい(&Y)"_s, u"いいえ(&N)"_s, u"キャンセル"_s} << u""_s << int(mbCancel);
    QTest::newRow("confirmation, escape says no")
        << int(mtConfirmation) << int(mbYes | mbNo) << u"確認"_s
        << QStringList{u"はい(&Y)"_s, u"いいえ(&N)"_s} << u""_s << int(mbNo);
    QTest::newRow("information") << int(mtInformation) << int(mbOK) << u"情報"_s
                                 << QStringList{u"OK"_s} << u"OK"_s << int(mbOK);
    QTest::newRow("error") << int(mtError) << int(mbOK) << u"エラー"_s << QStringList{u"OK"_s}
                           << u""_s << int(mbOK);
}

void TFrameTest::messageBoxes() {
    QFETCH(int, type);
    QFETCH(int, buttons);
    QFETCH(QString, title);
    QFETCH(QStringList, texts);
    QFETCH(QString, press);
    QFETCH(int, result);
    TDialogAnswers dialogs;
    QStringList shown;
    dialogs.Add([&](QWidget* box) {
        shown = ButtonTexts(box);
        QCOMPARE(box->windowTitle(), title);
        if (press.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QPushButton* button : box->findChildren<QPushButton*>())
            if (button->text() == press)
                button->click();
    });
    const TMsgDlgBtn answer = MessageDlg(nullptr, QStringLiteral("本文"), TMsgDlgType(type),
                                         TMsgDlgButtons::fromInt(buttons), mbYes);
    QCOMPARE(shown, texts);
    QCOMPARE(int(answer), result);
}

void TFrameTest::helpAndAbout() {
    TFrameFixture f;
    TDialogAnswers dialogs;
    f.Frame().HelpAction->trigger();
    THelpForm* help = f.Frame().HelpForm();
    QVERIFY(help && help->isVisible());
    const QString page = help->Browser()->toPlainText();
    for (const char16_t* part : {u"ファイルメニュー", u"ショートカットキー", u"Ctrl+N",
                                 u"スニペットの挿入", u"セッティング"})
        QVERIFY2(page.contains(QString::fromUtf16(part)), qPrintable(QString::fromUtf16(part)));

    QStringList lines;
    QString title;
    dialogs.Add([&](QWidget* dialog) {
        title = dialog->windowTitle();
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                lines << label->text();
        QVERIFY(!dialog->findChild<QLabel*>(QStringLiteral("ProgramIcon"))->pixmap().isNull());
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == u"OK")
                button->click();
    });
    f.Frame().HelpAbout1->trigger();
    QCOMPARE(dialogs.Pending(), 0);
    QCOMPARE(title, QStringLiteral("バージョン情報"));
    QVERIFY(lines.contains(QStringLiteral("Product Name : Quorvel for JavaScript")));
    QVERIFY(lines.contains(QStringLiteral("Version : 1.46")));
    QVERIFY(lines.contains(QStringLiteral("Comments")));
}

void TFrameTest::viewToggles() {
    TFrameFixture f;
    TMainForm& m = f.Frame();
    QVERIFY(m.StbarShowOrHideAction->isChecked());
    m.StbarShowOrHideAction->trigger();
    QVERIFY(m.statusBar()->isHidden());
    QVERIFY(!m.StbarShowOrHideAction->isChecked());
    // Panels are still written while hidden.
    m.FileNew1->trigger();
    QCOMPARE(m.StatusText(2), QStringLiteral("編集終了"));
    m.StbarShowOrHideAction->trigger();
    QVERIFY(!m.statusBar()->isHidden());
    QVERIFY(m.StbarShowOrHideAction->isChecked());
}

int main(int argc, char** argv) {
    TFrameTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "FrameTest.moc"
