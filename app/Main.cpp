#include "app/Main.h"

#include "app/About.h"
#include "app/Application.h"
#include "app/Childwin.h"
#include "app/HelpForm.h"
#include "app/Recovery.h"
#include "app/StatusPanels.h"
#include "chrome/GradCaption.h"
#include "components/CabDialog.h"
#include "editor/ExtMemo.h"
#include "snippets/SelCodeForm.h"
#include "snippets/SettingForm.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>

TMainForm* MainForm = nullptr;

namespace {

constexpr int SaveAllInterval = 180000;
// A panel's frame, margins and the gap to the next panel.
constexpr int PanelPadding = 14;

// The focused edit control the standard edit actions work on.
TTextView* FocusedTextView() {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (auto* view = qobject_cast<TTextView*>(w))
            return view;
        if (w->isWindow())
            break;
    }
    return nullptr;
}

QLineEdit* FocusedLineEdit() {
    return qobject_cast<QLineEdit*>(QApplication::focusWidget());
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    MainForm = this;
    setObjectName(QStringLiteral("MainForm"));
    GradientCaption1 = new TGradientCaption(*this);
    SetProgramCaptionLook(*GradientCaption1);

    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MdiArea);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateSearchDialogs();
    CreateMemory();
    CreateEditorDisplayMenu();
    CreateSnippetWindows();
    CreateFileSearch();

    auto* bar = new QStatusBar(this);
    setStatusBar(bar);
    // Panel 1 tells of the read-only switch and of searches and saves that failed; panel 3
    // holds seven-digit line and column numbers; the fifth panel shows the active window's
    // encoding and line ends.
    const QFontMetrics metrics = bar->fontMetrics();
    const auto fit = [&](const QString& sample) {
        return std::max(100, metrics.horizontalAdvance(sample) + PanelPadding);
    };
    StatusBar = new TStatusPanels({450, fit(QStringLiteral("\"abcdefghij\" が見つかりません")), 100,
                                   fit(QStringLiteral("9999999行 : 9999999桁/ 9999999行")),
                                   fit(QStringLiteral("ISO-2022-JP  CR LF"))},
                                  bar);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    bar->addWidget(StatusBar, 1);

    const QString filter =
        QStringLiteral("html ファイル(*.htm , "
                       "*.html)|*.htm*|テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*");
    CabOpenDialog1 = new TCabOpenDialog(this);
    CabOpenDialog1->setObjectName(QStringLiteral("CabOpenDialog1"));
    CabSaveDialog1 = new TCabSaveDialog(this);
    CabSaveDialog1->setObjectName(QStringLiteral("CabSaveDialog1"));
    CabSaveDialog1->SetOptions(ofHideReadOnly);
    TCabOpenDialog* const fileDialogs[] = {CabOpenDialog1, CabSaveDialog1};
    for (TCabOpenDialog* dialog : fileDialogs) {
        dialog->SetFilter(filter);
        dialog->SetDefaultExt(QStringLiteral("html"));
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(SaveAllInterval);
    connect(Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });
    Timer1->start();

    connect(MdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::OnSubWindowActivated);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
    // Asking the clipboard on every caret move would ask its owner each time.
    auto clipboardChanged = [this] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        FClipboardHasText = data && data->hasText();
        UpdateActions();
    };
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, clipboardChanged);
    clipboardChanged();

    if (QScreen* screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        resize(available.width() * 3 / 4, available.height() * 3 / 4);
    }
    Recovery1 = new TRecovery(*this, TRecovery::DefaultFolder());
    FormCreate();
    UpdateActions();
}

TMainForm::~TMainForm() {
    // Windows closing during destruction must not reach handlers of a half-destroyed frame.
    disconnect(MdiArea, nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
    // The snippet windows are hidden as the frame's children are closed, after this destructor.
    disconnect(SelCodeForm, nullptr, this, nullptr);
    disconnect(SettingForm, nullptr, this, nullptr);
    Timer1->stop();
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList();
    for (QMdiSubWindow* window : windows)
        delete window;
    if (MainForm == this)
        MainForm = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Form events

void TMainForm::FormCreate() {
    GradientCaption1->AppNameText().SetCaption(QStringLiteral("Quorvel for JavaScript v.1.46"));
    FSearchOptions = {};
    LoadSearchOptions();
    // A damaged favourites file is reported and ends the creation steps here; the frame runs
    // on without fonts and recent files.
    if (!Guarded([this] { LoadFavouriteFolders(); }))
        return;
    FillFontList();
    LoadHistories();
}

void TMainForm::FillFontList() {
    QStringList names = QFontDatabase::families();
    // The Windows name the editing windows start with resolves through a substitute; the list
    // offers it, so that the font of a new window shows as chosen.
    names += EditorFontName;
    names.removeDuplicates();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    ComboBox1->clear();
    ComboBox1->addItems(names);
    ComboBox1->setCurrentIndex(-1);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!std::exchange(FShown, true))
        FormShow();
}

void TMainForm::FormShow() {
    LoadPlacements();
    ShowSnippetWindows();
    // After the frame is on screen, so that the question has a window to stand over.
    QTimer::singleShot(0, this, [this] { Guarded([this] { Recovery1->OfferLeftFiles(); }); });
}

void TMainForm::FormClose() {
    SavePlacements();
    if (!MDIChildren().empty())
        SaveHistories();
}

bool TMainForm::CloseQueryAll() {
    for (TMDIChild* child : MDIChildren())
        if (!child->FormCloseQuery())
            return false;
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    Guarded([&] { mayClose = CloseQueryAll(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    Recovery1->ForgetAll();
    Guarded([this] { FormClose(); });
    Timer1->stop();
    event->accept();
}

bool TMainForm::event(QEvent* event) {
    // Automatic hints: the long part of the hint under the pointer goes to panel 0.
    if (event->type() == QEvent::StatusTip) {
        SetStatusText(0, static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

// ---------------------------------------------------------------------------------------------
// Windows and status

TMDIChild* TMainForm::ActiveMDIChild() const {
    return qobject_cast<TMDIChild*>(MdiArea->currentSubWindow());
}

std::vector<TMDIChild*> TMainForm::MDIChildren() const {
    std::vector<TMDIChild*> children;
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (auto* child = qobject_cast<TMDIChild*>(*it))
            children.push_back(child);
    return children;
}

void TMainForm::SetStatusText(int panel, const QString& text) {
    StatusBar->SetText(panel, text);
}

QString TMainForm::StatusText(int panel) const {
    return StatusBar->Text(panel);
}

void TMainForm::OnSubWindowActivated() {
    if (TMDIChild* child = ActiveMDIChild())
        Guarded([child] { child->FormActivate(); });
    else if (MDIChildren().empty())
        ShowNoWindow();
    UpdateActions();
}

void TMainForm::ShowNoWindow() {
    for (int panel = 1; panel < StatusBar->Count(); ++panel)
        SetStatusText(panel, QString());
    ComboBox1->setEnabled(false);
    ComboBox1->setCurrentIndex(-1);
}

void TMainForm::OnFocusChanged(QWidget* now) {
    // A line edit (the snippet windows' parameters) tells of its selection itself.
    if (FWatchedLineEdit)
        disconnect(FWatchedLineEdit, nullptr, this, nullptr);
    FWatchedLineEdit = qobject_cast<QLineEdit*>(now);
    if (FWatchedLineEdit)
        connect(FWatchedLineEdit, &QLineEdit::selectionChanged, this, &TMainForm::UpdateActions);
    UpdateActions();
}

void TMainForm::UpdateActions() {
    const bool anyWindow = !MdiArea->subWindowList().isEmpty();
    FileClose1->setEnabled(ActiveMDIChild() != nullptr);
    AllCloseActionUpdate();
    AllSaveActionUpdate();
    for (QAction* action : {WindowCascade1, WindowTileHorizontal1, WindowTileVertical1,
                            WindowMinimizeAll1, WindowArrangeAll1})
        action->setEnabled(anyWindow);

    const bool clipText = FClipboardHasText;
    bool cut = false, copy = false, paste = false;
    if (TTextView* view = FocusedTextView()) {
        copy = view->SelLength() > 0;
        cut = copy && !view->ReadOnly();
        paste = clipText && !view->ReadOnly();
    } else if (QLineEdit* edit = FocusedLineEdit()) {
        copy = edit->hasSelectedText() && edit->echoMode() == QLineEdit::Normal;
        cut = copy && !edit->isReadOnly();
        paste = clipText && !edit->isReadOnly();
    }
    EditCut1->setEnabled(cut);
    EditCopy1->setEnabled(copy);
    EditPaste1->setEnabled(paste);
}

void TMainForm::RefreshCaption() {
    GradientCaption1->RefreshFrame();
    if (TMDIChild* child = ActiveMDIChild())
        child->GradientCaption1->RefreshFrame();
}

void TMainForm::BringToFront() {
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void TMainForm::LaterStartRequested(const QStringList& fileNames) {
    OpenFiles(fileNames);
    BringToFront();
}

// ---------------------------------------------------------------------------------------------
// Edit commands

void TMainForm::UndoActionExecute() {
    if (TMDIChild* child = ActiveMDIChild())
        child->RichEdit1->Undo();
}

void TMainForm::SelAllActionExecute() {
    if (TMDIChild* child = ActiveMDIChild())
        child->RichEdit1->SelectAll();
}

void TMainForm::EditCut1Execute() {
    if (TTextView* view = FocusedTextView())
        view->Cut();
    else if (QLineEdit* edit = FocusedLineEdit())
        edit->cut();
}

void TMainForm::EditCopy1Execute() {
    if (TTextView* view = FocusedTextView())
        view->Copy();
    else if (QLineEdit* edit = FocusedLineEdit())
        edit->copy();
}

void TMainForm::EditPaste1Execute() {
    if (TTextView* view = FocusedTextView())
        view->Paste();
    else if (QLineEdit* edit = FocusedLineEdit())
        edit->paste();
}

void TMainForm::ComboBox1Change(int index) {
    TMDIChild* child = ActiveMDIChild();
    if (!child || index < 0)
        return;
    QFont font = child->RichEdit1->font();
    font.setFamily(ComboBox1->itemText(index));
    child->RichEdit1->SetTextFont(font);
    // The new window takes the control's own rectangle and a cell of the new font; the View
    // menu's settings are applied again on it, the wrap width measured in the new cells.
    child->RichEdit1->RecreateWnd();
    FEditorDisplay.ApplyTo(*child->RichEdit1);
}

void TMainForm::StbarShowOrHideActionExecute() {
    const bool show = statusBar()->isHidden();
    statusBar()->setVisible(show);
    StbarShowOrHideAction->setChecked(show);
}

// ---------------------------------------------------------------------------------------------
// Help

void TMainForm::HelpActionExecute() {
    if (!FHelpForm)
        FHelpForm = std::make_unique<THelpForm>();
    FHelpForm->ShowContents();
}

void TMainForm::HelpAbout1Execute() {
    if (!FAboutBox)
        FAboutBox = new TAboutBox(this);
    FAboutBox->exec();
}
