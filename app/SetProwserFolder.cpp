#include "app/SetProwserFolder.h"

#include "app/BrowserCommands.h"
#include "components/IniGT.h"
#include "components/SelFolder.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSetProwserFolderForm::TSetProwserFolderForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SetProwserFolderForm"));
    setWindowTitle(QStringLiteral("プラウザのフォルダと FTP アプリケーションの設定"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    const QString browserHint =
        QStringLiteral("プラウザのプログラムファイル(%1)のあるフォルダ、"
                       "またはプラウザのプログラムファイルそのもの(例: /usr/bin/firefox)");
    struct TRow {
        const char16_t* Caption;
        QString Hint;
    };
    const TRow rows[] = {
        {u"Ｎetscap　のフォルダ(&N)", browserHint.arg(NetscapeProgramFile)},
        {u"ＭSIE のフォルダ(&M)", browserHint.arg(MSIeProgramFile)},
        {u"FTP アプリケーション(&F)",
         QStringLiteral("FTP アプリケーションのコマンドライン(空白を含む引数は \"\" で囲みます)")},
    };
    auto* grid = new QGridLayout;
    QLineEdit** edits[] = {&Edit1, &Edit2, &Edit3};
    QPushButton** buttons[] = {&Button1, &Button2, &Button3};
    for (int n = 0; n < 3; ++n) {
        auto* label = new QLabel(QString::fromUtf16(rows[n].Caption), this);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("Edit%1").arg(n + 1));
        edit->setMinimumWidth(320);
        edit->setToolTip(rows[n].Hint);
        label->setBuddy(edit);
        auto* browse = new QPushButton(QStringLiteral("参照"), this);
        browse->setObjectName(QStringLiteral("Button%1").arg(n + 1));
        browse->setToolTip(QStringLiteral("フォルダを選びます"));
        connect(browse, &QPushButton::clicked, this, [this, edit] { Button1Click(edit); });
        grid->addWidget(label, n * 2, 0);
        grid->addWidget(edit, n * 2 + 1, 0);
        grid->addWidget(browse, n * 2 + 1, 1);
        Labels[size_t(n)] = label;
        *edits[n] = edit;
        *buttons[n] = browse;
    }

    // The desktop's default browser stands in for an empty row, so leaving both empty is fine.
    auto* desktop = new QLabel(
        QStringLiteral("プラウザの欄が空のときは、デスクトップの既定のプラウザで開きます"), this);
    grid->addWidget(desktop, 6, 0, 1, 2);

    BitBtn1 = new QPushButton(QStringLiteral("はい(&Y)"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("キャンセル"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    auto* side = new QVBoxLayout;
    side->addWidget(BitBtn1);
    side->addWidget(BitBtn2);
    side->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addSpacing(12);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TSetProwserFolderForm::Button1Click(QLineEdit* edit) {
    const QString folder = TSelFolderForm::SelectFolder(this);
    if (!folder.isEmpty())
        edit->setText(folder);
}

void TSetProwserFolderForm::Execute(TIniGT& ini) {
    Edit1->setText(ini.ReadString(FolderSection, NetscapeKey, {}));
    Edit2->setText(ini.ReadString(FolderSection, MSIeKey, {}));
    Edit3->setText(ini.ReadString(FolderSection, FTPKey, {}));
    Edit1->setFocus();
    if (exec() != QDialog::Accepted)
        return;
    ini.WriteString(FolderSection, NetscapeKey, Edit1->text());
    ini.WriteString(FolderSection, MSIeKey, Edit2->text());
    ini.WriteString(FolderSection, FTPKey, Edit3->text());
}
