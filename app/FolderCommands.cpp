// The favourite folders of the open and save dialogs: loaded when the frame is created, added
// in "よく行くフォルダの設定", removed all at once. Both dialogs always hold the same list.

#include "app/Main.h"
#include "components/CabDialog.h"
#include "components/CabStream.h"
#include "components/IniGT.h"
#include "components/SetGoFolder.h"

#include <QFileInfo>

QString TMainForm::GoFolderPath() const {
    return QFileInfo(IniGT1->Path()).absolutePath() + QStringLiteral("/GoFolder.fol");
}

void TMainForm::LoadFavouriteFolders() {
    const QString path = GoFolderPath();
    if (!QFileInfo::exists(path))
        return;
    LoadCabDialog(*CabOpenDialog1, path);
    CabSaveDialog1->SetItems(CabOpenDialog1->Items());
}

void TMainForm::SetGoFolderActionExecute() {
    if (!SetGoFolderForm)
        SetGoFolderForm =
            new TSetGoFolderForm(*CabOpenDialog1, *CabSaveDialog1, GoFolderPath(), this);
    SetGoFolderForm->exec();
}

void TMainForm::ResetGoFoldeActionExecute() {
    CabOpenDialog1->SetItems({});
    CabSaveDialog1->SetItems({});
    // The file follows, or the favourites would come back at the next start.
    SaveCabDialog(*CabOpenDialog1, GoFolderPath());
}
