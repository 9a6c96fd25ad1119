// What the frame remembers between runs: the recent files after "履歴" in the File menu and the
// window placements in Quorveljs.ini.

#include "app/Application.h"
#include "app/Main.h"
#include "components/IniGT.h"
#include "components/OpnFilHs.h"

#include <QMenu>

namespace {
const QString HistoryValue = QStringLiteral("QuorveljsHis");
const QString PlacementSection = QStringLiteral("Form");
const QString FramePlacement = QStringLiteral("EditForm");
} // namespace

void TMainForm::CreateMemory() {
    OpenFileHistories1 = new TOpenFileHistories(this);
    OpenFileHistories1->setObjectName(QStringLiteral("OpenFileHistories1"));
    OpenFileHistories1->SetUpFileItem(FileHistoryItem);
    OpenFileHistories1->SetMaxHistory(10);
    OpenFileHistories1->OnOpenFile = [this](QObject*, const QString& fileName) {
        Guarded([&] { OpenFileHistories1OpenFile(fileName); });
    };
    IniGT1 = new TIniGT(this);
    IniGT1->setObjectName(QStringLiteral("IniGT1"));
    IniGT1->SetDefaultDir(ddApplication);
    IniGT1->SetFileName(QStringLiteral("Quorveljs.ini"));
    IniGT1->SetFence(fnNone);
}

void TMainForm::LoadHistories() {
    OpenFileHistories1->LoadHistories(HistoryValue);
}

void TMainForm::SaveHistories() {
    OpenFileHistories1->SaveHistories(HistoryValue);
}

void TMainForm::AddHistory(const QString& fileName) {
    OpenFileHistories1->AddHistory(fileName);
    OpenFileHistories1->RefreshHistories();
}

// The snippet windows' placements ("SelCodeForm", "SettingForm") join these when the windows
// arrive; until then the selector counts as floating, as it is at every start.
void TMainForm::LoadPlacements() {
    IniGT1->LoadFormPlacement(PlacementSection, FramePlacement, this);
}

void TMainForm::SavePlacements() {
    IniGT1->SaveFormPlacement(PlacementSection, FramePlacement, this);
}
