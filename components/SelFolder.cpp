#include "components/SelFolder.h"

#include "components/ShCtrls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TSelFolderForm::TSelFolderForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SelFolderForm"));
    setWindowTitle(QStringLiteral("フォルダの選択"));
    QFont face(QStringLiteral("ＭＳ Ｐゴシック"));
    face.setPixelSize(12);
    setFont(face);

    ShDriveComboBox1 = new TShDriveComboBox(this);
    ShDriveComboBox1->setObjectName(QStringLiteral("ShDriveComboBox1"));
    ShDriveComboBox1->SetGroupIndex(1);
    FolderLabel1 = new QLabel(this);
    FolderLabel1->setObjectName(QStringLiteral("FolderLabel1"));
    ShFolderListBox1 = new TShFolderListBox(this);
    ShFolderListBox1->setObjectName(QStringLiteral("ShFolderListBox1"));
    ShFolderListBox1->SetGroupIndex(1);
    ShFolderListBox1->SetFolderLabel(FolderLabel1);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(41);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogYesButton),
                              QStringLiteral("はい(&Y)"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QStringLiteral("キャンセル"), Panel1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    // Enter opens the highlighted folder in the list; only a click on はい takes one.
    for (QPushButton* button : {BitBtn1, BitBtn2})
        button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout(Panel1);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ShDriveComboBox1);
    layout->addWidget(FolderLabel1);
    layout->addWidget(ShFolderListBox1, 1);
    layout->addWidget(Panel1);
    FolderLabel1->setContentsMargins(4, 2, 4, 2);
    // Long names never widen the dialog: the label shortens its folder, the box its drives.
    FolderLabel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ShDriveComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ShDriveComboBox1->setMinimumContentsLength(8);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    resize(211, 266);
    ShFolderListBox1->setFocus();
}

QString TSelFolderForm::Folder() const {
    return ShFolderListBox1->CurrentFolder();
}

QString TSelFolderForm::SelectFolder(QWidget* parent) {
    TSelFolderForm form(parent);
    if (form.exec() != QDialog::Accepted)
        return {};
    return form.Folder();
}
