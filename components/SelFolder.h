#pragma once
// "フォルダの選択": a folder picked from the drives and folders with their icons. はい takes the
// folder the list shows as current: a single click only highlights an entry, a double click or
// Enter opens it.

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;
class TShDriveComboBox;
class TShFolderListBox;

class TSelFolderForm : public QDialog {
    Q_OBJECT
public:
    explicit TSelFolderForm(QWidget* parent = nullptr);

    TShDriveComboBox* ShDriveComboBox1 = nullptr;
    QLabel* FolderLabel1 = nullptr; // the current folder, shortened to fit
    TShFolderListBox* ShFolderListBox1 = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* BitBtn1 = nullptr; // はい
    QPushButton* BitBtn2 = nullptr; // キャンセル

    // The folder the list shows as current.
    QString Folder() const;
    // Shows the picker modally; the chosen folder, or empty when the user cancelled.
    static QString SelectFolder(QWidget* parent);
};
