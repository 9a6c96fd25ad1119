#pragma once
// "よく行くフォルダの設定": adds favourite folders to both file dialogs and stores them in the
// favourites file at once; the form stays open for further entries.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class TCabOpenDialog;
class TCabSaveDialog;

class TSetGoFolderForm : public QDialog {
    Q_OBJECT
public:
    // fileName: where the favourites are stored.
    TSetGoFolderForm(TCabOpenDialog& openDialog, TCabSaveDialog& saveDialog, QString fileName,
                     QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr; // the favourite's caption
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;     // the folder's full path
    QPushButton* Button3 = nullptr; // 参照
    QPushButton* Button1 = nullptr; // 追加
    QPushButton* Button2 = nullptr; // 閉じる

    // Adds the favourite as typed (empty texts too) to both dialogs, stores the list and
    // empties the fields; throws EQuorvelError when the file cannot be written, the favourite
    // then staying in the dialogs for this run.
    void Button1Click();
    // The folder picker; a folder chosen there goes into Edit2.
    void Button3Click();

private:
    TCabOpenDialog& FOpenDialog;
    TCabSaveDialog& FSaveDialog;
    QString FFileName;
};
