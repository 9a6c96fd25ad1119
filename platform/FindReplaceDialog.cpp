#include "platform/FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFindReplaceDialog::TFindReplaceDialog(TKind kind, QWidget* parent) : QDialog(parent), FKind(kind) {
    setWindowTitle(kind == fkFind ? QStringLiteral("検索") : QStringLiteral("置換"));
    setModal(false);
    auto* fields = new QGridLayout;
    FFindEdit = new QLineEdit;
    auto* findLabel = new QLabel(QStringLiteral("検索する文字列(&N):"));
    findLabel->setBuddy(FFindEdit);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(FFindEdit, 0, 1);
    if (kind == fkReplace) {
        FReplaceEdit = new QLineEdit;
        auto* replaceLabel = new QLabel(QStringLiteral("置換後の文字列(&P):"));
        replaceLabel->setBuddy(FReplaceEdit);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(FReplaceEdit, 1, 1);
    }
    FMatchCase = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"));
    FWholeWord = new QCheckBox(QStringLiteral("単語単位で探す(&W)"));
    FRegex = new QCheckBox(QStringLiteral("正規表現(&X)"));
    auto* options = new QVBoxLayout;
    options->addWidget(FWholeWord);
    options->addWidget(FMatchCase);
    options->addWidget(FRegex);
    auto* lower = new QHBoxLayout;
    lower->addLayout(options);
    if (kind == fkFind) {
        auto* direction = new QGroupBox(QStringLiteral("方向"));
        FUp = new QRadioButton(QStringLiteral("上へ(&U)"));
        auto* down = new QRadioButton(QStringLiteral("下へ(&D)"));
        down->setChecked(true);
        auto* row = new QHBoxLayout(direction);
        row->addWidget(FUp);
        row->addWidget(down);
        lower->addWidget(direction);
    }
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(lower);
    left->addStretch();

    auto* buttons = new QVBoxLayout;
    FFindButton = new QPushButton(QStringLiteral("次を検索(&F)"));
    FFindButton->setDefault(true);
    buttons->addWidget(FFindButton);
    connect(FFindButton, &QPushButton::clicked, this, &TFindReplaceDialog::Find);
    if (kind == fkReplace) {
        FReplaceButton = new QPushButton(QStringLiteral("置換して次に(&R)"));
        FReplaceAllButton = new QPushButton(QStringLiteral("すべて置換(&A)"));
        buttons->addWidget(FReplaceButton);
        buttons->addWidget(FReplaceAllButton);
        connect(FReplaceButton, &QPushButton::clicked, this, &TFindReplaceDialog::Replace);
        connect(FReplaceAllButton, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceAll);
    }
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    connect(FFindEdit, &QLineEdit::textChanged, this, &TFindReplaceDialog::UpdateButtons);
    connect(FFindEdit, &QLineEdit::textChanged, this, &TFindReplaceDialog::Changed);
    for (QCheckBox* box : {FMatchCase, FWholeWord, FRegex})
        connect(box, &QCheckBox::toggled, this, &TFindReplaceDialog::Changed);
    UpdateButtons();
}

QString TFindReplaceDialog::FindText() const {
    return FFindEdit->text();
}
void TFindReplaceDialog::SetFindText(const QString& text) {
    FFindEdit->setText(text);
}
QString TFindReplaceDialog::ReplaceText() const {
    return FReplaceEdit ? FReplaceEdit->text() : QString();
}
bool TFindReplaceDialog::MatchCase() const {
    return FMatchCase->isChecked();
}
bool TFindReplaceDialog::WholeWord() const {
    return FWholeWord->isChecked();
}
bool TFindReplaceDialog::Regex() const {
    return FRegex->isChecked();
}
void TFindReplaceDialog::SetRegex(bool on) {
    FRegex->setChecked(on);
}
bool TFindReplaceDialog::SearchUp() const {
    return FUp && FUp->isChecked();
}

// As with the system's dialogs, nothing can be searched for before something is typed.
void TFindReplaceDialog::UpdateButtons() {
    const bool any = !FFindEdit->text().isEmpty();
    for (QPushButton* b : {FFindButton, FReplaceButton, FReplaceAllButton})
        if (b)
            b->setEnabled(any);
}

void TFindReplaceDialog::Execute() {
    show();
    raise();
    activateWindow();
    FFindEdit->setFocus();
    FFindEdit->selectAll();
}
