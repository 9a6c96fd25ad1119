#include "app/Childwin.h"

#include "app/Application.h"
#include "app/Main.h"
#include "app/Recovery.h"
#include "chrome/CaptionBars.h"
#include "chrome/GradCaption.h"
#include "components/CabDialog.h"
#include "components/Dropper.h"
#include "editor/ExtMemo.h"
#include "platform/MessageBox.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <sys/stat.h>

// ---------------------------------------------------------------------------------------------
// Disk stamps

TDiskStamp TDiskStamp::Of(const QString& path) {
    struct stat info {};
    TDiskStamp stamp;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return stamp;
    stamp.Exists = true;
    stamp.Device = info.st_dev;
    stamp.Inode = info.st_ino;
    stamp.Size = info.st_size;
    stamp.Modified = info.st_mtim;
    return stamp;
}

bool TDiskStamp::SameFile(const TDiskStamp& other) const {
    if (Exists != other.Exists)
        return false;
    return !Exists ||
           (Device == other.Device && Inode == other.Inode && Size == other.Size &&
            Modified.tv_sec == other.Modified.tv_sec && Modified.tv_nsec == other.Modified.tv_nsec);
}

// ---------------------------------------------------------------------------------------------
// Creation

TMDIChild::TMDIChild(TMainForm& frame) : FFrame(frame) {
    setAttribute(Qt::WA_DeleteOnClose);
    SetCaption(NewFileCaption);
    GradientCaption1 = new TGradientCaption(*this);
    SetProgramCaptionLook(*GradientCaption1);
    TMdiCaptionStyle::Install(*this, *GradientCaption1);
    // A new MDI window takes about two thirds of the client area, as the platform sized them.
    const QSize area = frame.MdiArea->viewport()->size();
    resize(std::max(290, area.width() * 2 / 3), std::max(229, area.height() * 2 / 3));

    RichEdit1 = new TExtMemo(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    setWidget(RichEdit1);
    QFont font(EditorFontName);
    font.setPixelSize(EditorFontPixels);
    RichEdit1->SetTextFont(font);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The edit area's values are set as the window's settings give them; creating the window
    // replaces them with the live control's (showEvent). The composition colours and the
    // line-break options of the settings are streamed before the control exists and never
    // reach it, so the control keeps its own; nothing is sent here.
    TEditArea& editArea = RichEdit1->EditArea();
    editArea.Margin().SetLeft(10);
    editArea.Margin().SetTop(2);
    editArea.Margin().SetBottom(1);
    editArea.SetWidth(250);
    editArea.SetOverFlow(16);

    RichEdit1->installEventFilter(this);
    FileDropper1 = new TFileDropper(this);
    FileDropper1->setObjectName(QStringLiteral("FileDropper1"));
    FileDropper1->SetDropSite(RichEdit1);
    // Unsaved changes are not replaced without the close question; キャンセル drops nothing.
    FileDropper1->OnDropQuery = [this] {
        return FormCloseQuery();
    };
    FileDropper1->OnDrop = [this](QObject*, const QString& fileName) {
        FileDropper1Drop(fileName);
    };
    RichEdit1->viewport()->installEventFilter(this);
    connect(RichEdit1, &TTextView::Changed, this, [this] {
        RichEdit1Change();
        ShowCaretPosition(cfKeyUp);
    });
    connect(RichEdit1, &TTextView::SelectionChanged, this, [this] { ShowCaretPosition(cfKeyUp); });
    connect(&RichEdit1->Buffer(), &TTextBuffer::ModifiedChanged, &frame, &TMainForm::UpdateActions);
    connect(RichEdit1, &TTextView::SelectionChanged, &frame, &TMainForm::UpdateActions);
}

TMDIChild::~TMDIChild() = default;

void TMDIChild::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (!std::exchange(FCreated, true))
        RichEdit1->RecreateWnd();
}

bool TMDIChild::IsActive() const {
    return FFrame.ActiveMDIChild() == this;
}

bool TMDIChild::Modified() const {
    return RichEdit1->Buffer().Modified();
}

// ---------------------------------------------------------------------------------------------
// Files

void TMDIChild::LoadFile(const QString& path, std::optional<TTextEncoding> encoding) {
    const TDiskStamp stamp = TDiskStamp::Of(path);
    SetFormat(encoding ? LoadTextFile(path, RichEdit1->Buffer(), *encoding)
                       : LoadTextFile(path, RichEdit1->Buffer()));
    RichEdit1->Buffer().SetModified(false);
    FStampPath = path;
    FStamp = stamp;
}

void TMDIChild::SetFormat(const TFileFormat& format) {
    FFormat = format;
    RichEdit1->SetLineEnd(FFormat.LineEnd);
    ShowFormat();
}

bool TMDIChild::SaveToFile(const QString& path) {
    return SaveToFile(path, FFormat.Encoding, FFormat.LineEnd);
}

bool TMDIChild::ChangedOnDisk(const QString& path) const {
    if (path != FStampPath || !FStamp.Exists)
        return false;
    const TDiskStamp now = TDiskStamp::Of(path);
    return now.Exists && !now.SameFile(FStamp);
}

bool TMDIChild::SaveToFile(const QString& path, TTextEncoding encoding, TLineEnd lineEnd) {
    if (ChangedOnDisk(path) &&
        MessageDlg(this,
                   QStringLiteral("ファイル %1 は他のプログラムによって変更されています."
                                  "上書きしますか?")
                       .arg(path),
                   mtConfirmation, mbYes | mbNo, mbNo) != mbYes)
        return false;
    TFileFormat format = FFormat;
    format.Encoding = encoding;
    if (lineEnd != FFormat.LineEnd) {
        format.LineEnd = lineEnd;
        format.UniformLineEnds = true;
    }
    TTextBuffer& buffer = RichEdit1->Buffer();
    SaveTextFile(path, buffer, format, FFormat.Encoding);
    if (encoding != FFormat.Encoding) {
        // The kept original bytes were the old encoding's; the file now holds the characters.
        buffer.SetByteExceptions({});
        format.PreferredForms.clear();
    }
    SetFormat(format);
    buffer.SetModified(false);
    FStampPath = path;
    FStamp = TDiskStamp::Of(path);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Closing

TSaveAnswer TMDIChild::AskSaveChanges(QString* fileName) {
    FFrame.MdiArea->setActiveSubWindow(this);
    switch (MessageDlg(this, QStringLiteral("内容が変更されています.保存しますか?"), mtWarning,
                       mbYes | mbNo | mbCancel, mbYes, QFileInfo(Caption()).fileName())) {
    case mbYes:
        FFrame.CabSaveDialog1->SetFileName(Caption());
        if (!FFrame.ExecuteSaveDialog(this))
            return saCancel;
        *fileName = FFrame.CabSaveDialog1->FileName();
        return saSave;
    case mbNo:
        return saDiscard;
    default:
        return saCancel;
    }
}

bool TMDIChild::FormCloseQuery() {
    if (!Modified())
        return true;
    QString fileName;
    switch (AskSaveChanges(&fileName)) {
    case saSave:
        if (!SaveToFile(fileName, FFrame.CabSaveDialog1->Encoding(),
                        FFrame.CabSaveDialog1->LineEnd()))
            return false;
        // A file saved under a new name is one the user will want again, as an opened one.
        if (fileName != Caption())
            FFrame.AddHistory(fileName);
        return true;
    case saDiscard:
        return true;
    case saCancel:
        break;
    }
    return false;
}

void TMDIChild::CloseApproved() {
    FCloseApproved = true;
    close();
}

void TMDIChild::closeEvent(QCloseEvent* event) {
    bool mayClose = FCloseApproved;
    if (!mayClose)
        Guarded([&] { mayClose = FormCloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    FFrame.Recovery1->Forget(this);
    QMdiSubWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Status bar

QString TMDIChild::CaretText(qsizetype line, qsizetype column, qsizetype lineCount,
                             TCaretForm form) {
    static constexpr const char16_t* forms[][2] = {
        {u"行 : ", u"桁/ "}, {u" : ", u"桁/"}, {u"行 : ", u"桁/"}};
    return QString::number(line) + QString::fromUtf16(forms[form][0]) + QString::number(column) +
           QString::fromUtf16(forms[form][1]) + QString::number(lineCount) + u'行';
}

void TMDIChild::ShowCaretPosition(TCaretForm form) {
    if (!IsActive())
        return;
    // The file's own line numbers, as a browser's error message counts them, whatever the wrap.
    FFrame.SetStatusText(3, CaretText(RichEdit1->CaretParagraph() + 1,
                                      RichEdit1->CaretParagraphColumn(),
                                      RichEdit1->Buffer().LineCount(), form));
}

void TMDIChild::ShowFormat() {
    if (IsActive())
        FFrame.SetStatusText(4, FormatCaption(FFormat));
}

void TMDIChild::FormActivate() {
    ShowCaretPosition(cfActivate);
    ShowFormat();
    FFrame.CabSaveDialog1->SetFileName(Caption());
    const bool readOnly = RichEdit1->ReadOnly();
    FFrame.ReadOnlyAction->setChecked(readOnly);
    FFrame.SetStatusText(1, readOnly ? QStringLiteral("読み専用") : QString());
    FFrame.SetStatusText(2, Modified() ? QStringLiteral("編集中") : QStringLiteral("編集終了"));
    FFrame.ComboBox1->setEnabled(true);
    FFrame.ComboBox1->setCurrentIndex(FFrame.ComboBox1->findText(RichEdit1->font().family()));
}

void TMDIChild::RichEdit1Change() {
    if (IsActive())
        FFrame.SetStatusText(2, QStringLiteral("編集中"));
}

bool TMDIChild::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == RichEdit1) {
            // Before the control acts on the key: the caret where it was (RichEdit1KeyDown, and
            // RichEdit1KeyPress for a character).
            ShowCaretPosition(cfKeyDown);
        }
        break;
    case QEvent::KeyRelease:
        if (watched == RichEdit1)
            ShowCaretPosition(cfKeyUp);
        break;
    case QEvent::ContextMenu:
        FFrame.PopupMenu1->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    default:
        break;
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Dropped files

void TMDIChild::FileDropper1Drop(const QString& fileName) {
    LoadFile(fileName);
    SetCaption(fileName);
    FFrame.CabSaveDialog1->SetFileName(fileName);
    FFrame.AddHistory(fileName);
    if (IsActive())
        FFrame.SetStatusText(2, QStringLiteral("編集終了"));
}
