#pragma once
// "プラウザのフォルダと FTP アプリケーションの設定": the two browsers and the FTP program, kept in
// section "Folder" of Quorveljs.ini. A browser row takes the folder that holds the browser's
// program file or the program file itself, and an empty browser row means the desktop's default
// browser; the FTP row takes a whole command line.

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class TIniGT;

class TSetProwserFolderForm : public QDialog {
    Q_OBJECT
public:
    explicit TSetProwserFolderForm(QWidget* parent = nullptr);

    std::array<QLabel*, 3> Labels{};
    QLineEdit* Edit1 = nullptr; // "Netscape"
    QLineEdit* Edit2 = nullptr; // "MSIe"
    QLineEdit* Edit3 = nullptr; // "FTP"
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* BitBtn1 = nullptr; // はい
    QPushButton* BitBtn2 = nullptr; // キャンセル

    // Shows the three settings of ini and writes them back when the user answers はい.
    void Execute(TIniGT& ini);

private:
    // The three browse buttons share one handler: the folder picker fills the row's edit.
    void Button1Click(QLineEdit* edit);
};
