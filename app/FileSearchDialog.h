#pragma once
// The search-in-files dialog: the text and its options, the folder, the file name patterns and
// whether sub-folders are searched. It refuses a folder that is not there and a regular
// expression that does not compile, saying why, and keeps its values in Quorveljs.ini.

#include "editor/FileSearch.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TIniGT;

class TFileSearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFileSearchDialog(QWidget* parent = nullptr);

    // The query as the fields hold it, the folder made absolute.
    TFileSearchQuery Query() const;
    void SetQuery(const TFileSearchQuery& query);
    void Load(const TIniGT& ini);
    void Save(TIniGT& ini) const;
    // Shows the dialog modally with the text selected; true when a search was asked for.
    bool Execute();

public Q_SLOTS:
    void accept() override;

private:
    void Browse();

    QLineEdit* FTextEdit;
    QCheckBox* FRegularExpression;
    QCheckBox* FMatchCase;
    QCheckBox* FWholeWord;
    QLineEdit* FFolderEdit;
    QLineEdit* FPatternsEdit;
    QCheckBox* FSubFolders;
    QPushButton* FSearchButton;
};
