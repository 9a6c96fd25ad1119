// The File menu's commands: new, open, reopen in another encoding, open from the recent files,
// save, save as, close, close all, save all (also every three minutes) and print. The active
// window's caption and the save dialog's file name are kept equal.

#include "app/Application.h"
#include "app/Childwin.h"
#include "app/Main.h"
#include "app/Recovery.h"
#include "components/CabDialog.h"
#include "editor/ExtMemo.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QMdiArea>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QScopeGuard>

// ---------------------------------------------------------------------------------------------
// Shared operations

TMDIChild* TMainForm::OpenInNewWindow(const QString& fileName) {
    TMDIChild* active = ActiveMDIChild();
    const bool frozen = active && active->isMaximized();
    if (frozen)
        setUpdatesEnabled(false);
    auto* child = new TMDIChild(*this);
    child->SetCaption(fileName);
    Recovery1->Watch(child);
    MdiArea->addSubWindow(child);
    child->show();
    FEditorDisplay.ApplyTo(*child->RichEdit1);
    // A window saved under another name may be coloured otherwise.
    FEditorDisplay.ApplyColours(*child->RichEdit1, child->Caption());
    connect(child, &QWidget::windowTitleChanged, this, [this, child](const QString& caption) {
        FEditorDisplay.ApplyColours(*child->RichEdit1, caption);
    });
    MdiArea->setActiveSubWindow(child);
    child->RichEdit1->setFocus();
    if (frozen) {
        setUpdatesEnabled(true);
        child->update();
        RefreshCaption();
    }
    // A new window's text is empty already; only the flag is cleared.
    child->RichEdit1->Buffer().SetModified(false);
    // An untitled window is always empty: a file of that name in the current folder is not
    // the user's new file.
    if (fileName != NewFileCaption && QFileInfo::exists(fileName)) {
        try {
            child->LoadFile(fileName);
        } catch (...) {
            // An empty window titled with a file it could not read would overwrite that file
            // on the next save.
            child->CloseApproved();
            throw;
        }
        SetStatusText(2, QStringLiteral("編集終了"));
    }
    CabSaveDialog1->SetFileName(fileName);
    return child;
}

bool TMainForm::ActivateOpenWindow(const QString& fileName) {
    bool found = false;
    const std::vector<TMDIChild*> children = MDIChildren();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        TMDIChild* child = *it;
        if (child->Caption() != fileName)
            continue;
        if (child->isMinimized())
            child->showNormal();
        MdiArea->setActiveSubWindow(child);
        found = true;
    }
    return found;
}

void TMainForm::OpenFiles(const QStringList& fileNames) {
    for (const QString& name : fileNames) {
        Guarded([&] {
            if (!ActivateOpenWindow(name)) {
                TMDIChild* child = OpenInNewWindow(name);
                child->RichEdit1->Buffer().SetModified(false);
                AddHistory(name);
            }
            CabSaveDialog1->SetFileName(name);
        });
    }
}

bool TMainForm::ExecuteSaveDialog(TMDIChild* child) {
    CabSaveDialog1->SetEncoding(child->Format().Encoding);
    CabSaveDialog1->SetLineEnd(child->Format().LineEnd);
    for (;;) {
        if (!CabSaveDialog1->Execute())
            return false;
        const QString name = CabSaveDialog1->FileName();
        if (name == child->Caption() || !QFileInfo::exists(name))
            return true;
        if (MessageDlg(this, QStringLiteral("%1 は既に存在します.置き換えますか?").arg(name),
                       mtConfirmation, mbYes | mbNo, mbNo) == mbYes)
            return true;
        // No: choose another name, as the Windows dialog goes back to its list.
    }
}

// ---------------------------------------------------------------------------------------------
// Commands

void TMainForm::FileNew1Execute() {
    OpenInNewWindow(NewFileCaption);
}

void TMainForm::FileOpen1Execute() {
    if (!CabOpenDialog1->Execute())
        return;
    const QString name = CabOpenDialog1->FileName();
    if (!ActivateOpenWindow(name)) {
        TMDIChild* child = OpenInNewWindow(name);
        child->RichEdit1->Buffer().SetModified(false);
        AddHistory(name);
    }
    CabSaveDialog1->SetFileName(name);
    if (TMDIChild* child = ActiveMDIChild())
        child->SetCaption(name);
}

void TMainForm::OpenFileHistories1OpenFile(const QString& fileName) {
    if (!ActivateOpenWindow(fileName))
        OpenInNewWindow(fileName);
}

void TMainForm::FileSave1Execute() {
    TMDIChild* child = ActiveMDIChild();
    if (!child)
        return;
    // An untitled window has no file yet: saving it means choosing one.
    if (child->Caption() == NewFileCaption) {
        FileSaveAs1Execute();
        return;
    }
    if (child->SaveToFile(child->Caption()))
        SetStatusText(2, QStringLiteral("編集終了"));
}

void TMainForm::FileSaveAs1Execute() {
    TMDIChild* child = ActiveMDIChild();
    if (!child)
        return;
    CabSaveDialog1->SetFileName(child->Caption());
    if (!ExecuteSaveDialog(child))
        return;
    const QString name = CabSaveDialog1->FileName();
    if (!child->SaveToFile(name, CabSaveDialog1->Encoding(), CabSaveDialog1->LineEnd()))
        return;
    SetStatusText(2, QStringLiteral("編集終了"));
    child->SetCaption(name);
    AddHistory(name);
}

void TMainForm::ReopenActionExecute() {
    TMDIChild* child = ActiveMDIChild();
    if (!child)
        return;
    const QString path = child->Caption();
    if (path == NewFileCaption || !QFileInfo::exists(path)) {
        MessageDlg(this, QStringLiteral("%1 はまだ保存されていないため、開き直せません").arg(path),
                   mtInformation, mbOK, mbOK);
        return;
    }
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("ReopenDialog"));
    dialog.setWindowTitle(QStringLiteral("文字コードを指定して開き直す"));
    dialog.setLabelText(QStringLiteral("文字コード(&E):"));
    QStringList captions;
    for (TTextEncoding encoding : ChoosableEncodings)
        captions << EncodingCaption(encoding);
    dialog.setComboBoxItems(captions);
    dialog.setTextValue(EncodingCaption(child->Format().Encoding));
    dialog.setOkButtonText(MsgDlgButtonText(mbOK));
    dialog.setCancelButtonText(MsgDlgButtonText(mbCancel));
    FitTitle(&dialog);
    if (dialog.exec() != QDialog::Accepted || !captions.contains(dialog.textValue()))
        return;
    const TTextEncoding encoding = ChoosableEncodings[captions.indexOf(dialog.textValue())];
    // The text on screen is replaced: unsaved changes are asked about as on closing.
    if (child->Modified()) {
        switch (MessageDlg(this, QStringLiteral("内容が変更されています.保存しますか?"), mtWarning,
                           mbYes | mbNo | mbCancel, mbYes, QFileInfo(path).fileName())) {
        case mbYes:
            if (!child->SaveToFile(path))
                return;
            break;
        case mbNo:
            break;
        default:
            return;
        }
    }
    child->LoadFile(path, encoding);
    SetStatusText(2, QStringLiteral("編集終了"));
}

void TMainForm::FileClose1Execute() {
    if (TMDIChild* child = ActiveMDIChild())
        child->close();
}

void TMainForm::AllCloseActionExecute() {
    const std::vector<TMDIChild*> children = MDIChildren();
    for (TMDIChild* child : children)
        if (!child->FormCloseQuery())
            return;
    for (TMDIChild* child : children)
        child->CloseApproved();
    ShowNoWindow();
}

void TMainForm::AllSaveActionExecute() {
    // A tick while the save dialog of an earlier run waits does not start another run.
    if (FSavingAll)
        return;
    FSavingAll = true;
    const auto done = qScopeGuard([this] {
        FSavingAll = false;
        if (TMDIChild* active = ActiveMDIChild())
            CabSaveDialog1->SetFileName(active->Caption());
    });
    std::vector<QPointer<TMDIChild>> children;
    for (TMDIChild* child : MDIChildren())
        children.emplace_back(child);
    for (size_t i = 0; i < children.size(); ++i) {
        TMDIChild* child = children[i];
        // Unmodified windows are not rewritten: the file on disk is what the window holds, and
        // may have been changed by another program since.
        if (!child || !child->Modified())
            continue;
        if (child->Caption() != NewFileCaption) {
            if (!child->SaveToFile(child->Caption()))
                continue;
        } else {
            CabSaveDialog1->SetFileName(NewFileCaption + QString::number(i));
            if (!ExecuteSaveDialog(child) || !children[i])
                continue;
            const QString name = CabSaveDialog1->FileName();
            if (!child->SaveToFile(name, CabSaveDialog1->Encoding(), CabSaveDialog1->LineEnd()))
                continue;
            child->SetCaption(name);
            AddHistory(name);
        }
        if (child == ActiveMDIChild())
            SetStatusText(2, QStringLiteral("編集終了"));
    }
}

void TMainForm::AllCloseActionUpdate() {
    AllCloseAction->setEnabled(ActiveMDIChild() != nullptr);
}

void TMainForm::AllSaveActionUpdate() {
    AllSaveAction->setEnabled(ActiveMDIChild() != nullptr);
}

void TMainForm::Timer1Timer() {
    // A tick while a dialog is open waits for the next one: the dialog may be about to save or
    // close one of the windows.
    if (MDIChildren().empty() || QApplication::activeModalWidget())
        return;
    AutoSaveAll();
}

// The automatic save never asks: what the user types must never land in a dialog he did not
// open. Untitled windows are left to the recovery copies; a save it cannot do is told in the
// status bar and the window stays modified, to be saved by the user.
void TMainForm::AutoSaveAll() {
    QStringList failures;
    for (TMDIChild* child : MDIChildren()) {
        const QString name = child->Caption();
        if (!child->Modified() || name == NewFileCaption)
            continue;
        if (child->ChangedOnDisk(name)) {
            failures << QStringLiteral(
                            "%1 は他のプログラムによって変更されているため自動保存しません")
                            .arg(QFileInfo(name).fileName());
            continue;
        }
        try {
            child->SaveToFile(name);
        } catch (const EQuorvelError& error) {
            failures << error.Message();
            continue;
        }
        if (child == ActiveMDIChild())
            SetStatusText(2, QStringLiteral("編集終了"));
    }
    if (!failures.isEmpty())
        SetStatusText(1, QStringLiteral("自動保存できません: ") +
                             failures.join(QStringLiteral(" / ")));
}

void TMainForm::PrintActionExecute() {
    TMDIChild* child = ActiveMDIChild();
    if (!child) {
        MessageDlg(this, QStringLiteral("子ウィンドウがありません"), mtInformation, mbOK, mbOK);
        return;
    }
    if (!PrintDialog1) {
        FPrinter.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        PrintDialog1 = new QPrintDialog(&FPrinter, this);
    }
    // Without a printer the dialog offers a PDF; it is named after the document, beside it.
    if (QPrinterInfo::availablePrinters().isEmpty() ||
        FPrinter.outputFormat() == QPrinter::PdfFormat) {
        const QFileInfo document(child->Caption());
        FPrinter.setOutputFileName(document.absolutePath() + u'/' + document.completeBaseName() +
                                   QStringLiteral(".pdf"));
    }
    if (PrintDialog1->exec() != QDialog::Accepted)
        return;
    child->RichEdit1->Print(&FPrinter, child->Caption());
    if (FPrinter.printerState() == QPrinter::Error)
        throw EQuorvelError(QStringLiteral("%1 を印刷できません").arg(child->Caption()));
}

void TMainForm::FileExit1Execute() {
    close();
}
