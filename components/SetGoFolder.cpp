#include "components/SetGoFolder.h"

#include "components/CabDialog.h"
#include "components/CabStream.h"
#include "components/SelFolder.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TSetGoFolderForm::TSetGoFolderForm(TCabOpenDialog& openDialog, TCabSaveDialog& saveDialog,
                                   QString fileName, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      FOpenDialog(openDialog), FSaveDialog(saveDialog), FFileName(std::move(fileName)) {
    setObjectName(QStringLiteral("SetGoFolderForm"));
    setWindowTitle(QStringLiteral("よく行くフォルダの設定"));

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1 = new QLabel(QStringLiteral("名　前(&N)"), this);
    Label1->setBuddy(Edit1);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setMinimumWidth(320);
    Label2 = new QLabel(QStringLiteral("フォルダ(フルパス)(&F)"), this);
    Label2->setBuddy(Edit2);
    Button3 = new QPushButton(QStringLiteral("参照"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button1 = new QPushButton(QStringLiteral("追加(&A)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    // Enter in a field adds nothing by surprise.
    for (QPushButton* button : {Button1, Button2, Button3})
        button->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addWidget(Label1, 0, 0, 1, 2);
    grid->addWidget(Edit1, 1, 0);
    grid->addWidget(Label2, 2, 0, 1, 2);
    grid->addWidget(Edit2, 3, 0);
    grid->addWidget(Button3, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(Button1, &QPushButton::clicked, this, [this] {
        try {
            Button1Click();
        } catch (const EQuorvelError& error) {
            MessageDlg(this, error.Message(), mtError, mbOK, mbOK);
        }
    });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TSetGoFolderForm::Button3Click);
}

void TSetGoFolderForm::Button1Click() {
    TCabinetItems items = FOpenDialog.Items();
    items.append({Edit1->text(), Edit2->text(), 0, rfCurrent});
    FOpenDialog.SetItems(items);
    FSaveDialog.SetItems(items);
    SaveCabDialog(FOpenDialog, FFileName);
    Edit1->clear();
    Edit2->clear();
}

void TSetGoFolderForm::Button3Click() {
    const QString folder = TSelFolderForm::SelectFolder(this);
    if (!folder.isEmpty())
        Edit2->setText(folder);
}
