// What the frame remembers between runs: the recent files after "履歴" in the File menu and the
// window placements in Quorveljs.ini.

#include "app/Application.h"
#include "app/Main.h"
#include "components/IniGT.h"
#include "components/OpnFilHs.h"
#include "snippets/SelCodeForm.h"

#include <QMenu>

namespace {
const QString HistoryValue = QStringLiteral("QuorveljsHis");
const QString PlacementSection = QStringLiteral("Form");
const QString FramePlacement = QStringLiteral("EditForm");
const QString SelCodePlacement = QStringLiteral("SelCodeForm");
const QString SettingPlacement = QStringLiteral("SettingForm");
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

void TMainForm::LoadPlacements() {
    IniGT1->LoadFormPlacement(PlacementSection, FramePlacement, this);
}

void TMainForm::LoadSnippetPlacements() {
    IniGT1->LoadFormPlacement(PlacementSection, SelCodePlacement, SelCodeForm);
    IniGT1->LoadFormPlacement(PlacementSection, SettingPlacement, SettingForm);
}

// Placements are kept only from a session that ends with the selector floating; with it docked
// the next start uses the placements saved before.
void TMainForm::SavePlacements() {
    if (!SelCodeForm->isFloating())
        return;
    IniGT1->SaveFormPlacement(PlacementSection, FramePlacement, this);
    IniGT1->SaveFormPlacement(PlacementSection, SelCodePlacement, SelCodeForm);
    IniGT1->SaveFormPlacement(PlacementSection, SettingPlacement, SettingForm);
}
