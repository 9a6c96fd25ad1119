// The frame's side of search in files: the Search menu's command, the results window docked at
// the frame's bottom edge, and a chosen result shown in its editing window.

#include "app/Application.h"
#include "app/Childwin.h"
#include "app/FileSearchDialog.h"
#include "app/FileSearchResults.h"
#include "app/Main.h"
#include "components/IniGT.h"
#include "editor/ExtMemo.h"

#include <QFileInfo>
#include <QListView>

void TMainForm::CreateFileSearch() {
    FileSearchResults1 = new TFileSearchResults(this);
    addDockWidget(Qt::BottomDockWidgetArea, FileSearchResults1);
    FileSearchResults1->hide();
    connect(FileSearchResults1, &TFileSearchResults::MatchChosen, this,
            [this](const QString& path, qsizetype line, qsizetype lineOffset, qsizetype length) {
                Guarded([&] { ShowFileMatch(path, line, lineOffset, length); });
            });
}

void TMainForm::FileSearchActionExecute() {
    if (!FileSearchDialog1) {
        FileSearchDialog1 = new TFileSearchDialog(this);
        FileSearchDialog1->setObjectName(QStringLiteral("FileSearchDialog1"));
        FileSearchDialog1->Load(*IniGT1);
        // A first search looks where the active window's file is.
        if (FileSearchDialog1->Query().Folder.isEmpty())
            if (TMDIChild* child = ActiveMDIChild(); child && child->Caption() != NewFileCaption) {
                TFileSearchQuery query = FileSearchDialog1->Query();
                query.Folder = QFileInfo(child->Caption()).absolutePath();
                FileSearchDialog1->SetQuery(query);
            }
    }
    if (!FileSearchDialog1->Execute())
        return;
    FileSearchDialog1->Save(*IniGT1);
    FileSearchResults1->Start(FileSearchDialog1->Query());
    FileSearchResults1->List()->setFocus();
}

void TMainForm::ShowFileMatch(const QString& path, qsizetype line, qsizetype lineOffset,
                              qsizetype length) {
    OpenFiles({path});
    TMDIChild* child = ActiveMDIChild();
    if (!child || child->Caption() != path)
        return; // not opened: OpenFiles has said why
    // By line and place in the line rather than by position in the file: in a window whose
    // text was changed since, the match is still sought on its own line.
    TExtMemo* memo = child->RichEdit1;
    const TTextBuffer& buffer = memo->Buffer();
    const qsizetype paragraph = std::clamp<qsizetype>(line - 1, 0, buffer.LineCount() - 1);
    const qsizetype start = std::min(buffer.LineStart(paragraph) + lineOffset, buffer.Length());
    memo->SetSelection(start, std::min(start + length, buffer.Length()));
    memo->EnsureCaretVisible();
    memo->setFocus();
}
