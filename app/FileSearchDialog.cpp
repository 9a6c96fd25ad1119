#include "app/FileSearchDialog.h"

#include "components/IniGT.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString Section = QStringLiteral("FileSearch");
const QString DefaultPatterns = QStringLiteral("*.html;*.htm;*.js;*.css");

QString Key(const char* name) {
    return QString::fromLatin1(name);
}
} // namespace

TFileSearchDialog::TFileSearchDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ファイルから検索"));
    auto* fields = new QGridLayout;
    auto addRow = [fields](int row, const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption);
        label->setBuddy(field);
        fields->addWidget(label, row, 0);
        fields->addWidget(field, row, 1);
    };
    FTextEdit = new QLineEdit;
    addRow(0, QStringLiteral("検索する文字列(&N):"), FTextEdit);
    FFolderEdit = new QLineEdit;
    addRow(1, QStringLiteral("フォルダ(&D):"), FFolderEdit);
    auto* browse = new QPushButton(QStringLiteral("参照(&B)..."));
    fields->addWidget(browse, 1, 2);
    connect(browse, &QPushButton::clicked, this, &TFileSearchDialog::Browse);
    FPatternsEdit = new QLineEdit(DefaultPatterns);
    addRow(2, QStringLiteral("ファイルの種類(&T):"), FPatternsEdit);

    // Worded as the find dialog's options, which the user knows.
    FRegularExpression = new QCheckBox(QStringLiteral("正規表現(&X)"));
    FWholeWord = new QCheckBox(QStringLiteral("単語単位で探す(&W)"));
    FMatchCase = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"));
    FSubFolders = new QCheckBox(QStringLiteral("サブフォルダも検索する(&S)"));
    FSubFolders->setChecked(true);
    auto* options = new QVBoxLayout;
    for (QCheckBox* box : {FWholeWord, FMatchCase, FRegularExpression, FSubFolders})
        options->addWidget(box);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    FSearchButton = new QPushButton(QStringLiteral("検索(&F)"));
    FSearchButton->setDefault(true);
    connect(FSearchButton, &QPushButton::clicked, this, &TFileSearchDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(FSearchButton);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    // As with the find dialog, nothing can be searched for before something is typed.
    auto update = [this] {
        FSearchButton->setEnabled(!FTextEdit->text().isEmpty());
    };
    connect(FTextEdit, &QLineEdit::textChanged, this, update);
    update();
    setMinimumWidth(480);
    FitTitle(this);
}

TFileSearchQuery TFileSearchDialog::Query() const {
    TFileSearchQuery query;
    query.Text = FTextEdit->text();
    query.RegularExpression = FRegularExpression->isChecked();
    query.Options = {FMatchCase->isChecked(), FWholeWord->isChecked()};
    const QString folder = FFolderEdit->text().trimmed();
    // Absolute and clean: the results name their files as the editing windows' captions do.
    query.Folder = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
    query.Patterns = SplitPatterns(FPatternsEdit->text());
    query.SubFolders = FSubFolders->isChecked();
    return query;
}

void TFileSearchDialog::SetQuery(const TFileSearchQuery& query) {
    FTextEdit->setText(query.Text);
    FRegularExpression->setChecked(query.RegularExpression);
    FMatchCase->setChecked(query.Options.MatchCase);
    FWholeWord->setChecked(query.Options.WholeWord);
    FFolderEdit->setText(query.Folder);
    FPatternsEdit->setText(query.Patterns.join(u';'));
    FSubFolders->setChecked(query.SubFolders);
}

void TFileSearchDialog::Load(const TIniGT& ini) {
    TFileSearchQuery query;
    query.Text = ini.ReadString(Section, Key("Text"), QString());
    query.RegularExpression = ini.ReadInteger(Section, Key("RegExp"), 0) != 0;
    query.Options.MatchCase = ini.ReadInteger(Section, Key("MatchCase"), 0) != 0;
    query.Options.WholeWord = ini.ReadInteger(Section, Key("WholeWord"), 0) != 0;
    query.Folder = ini.ReadString(Section, Key("Folder"), QString());
    query.Patterns = SplitPatterns(ini.ReadString(Section, Key("Patterns"), DefaultPatterns));
    query.SubFolders = ini.ReadInteger(Section, Key("SubFolders"), 1) != 0;
    SetQuery(query);
}

void TFileSearchDialog::Save(TIniGT& ini) const {
    // In quotes, which reading removes: blanks at either end of the text are part of it.
    auto quoted = [](const QString& text) {
        return u'"' + text + u'"';
    };
    ini.WriteString(Section, Key("Text"), quoted(FTextEdit->text()));
    ini.WriteInteger(Section, Key("RegExp"), FRegularExpression->isChecked());
    ini.WriteInteger(Section, Key("MatchCase"), FMatchCase->isChecked());
    ini.WriteInteger(Section, Key("WholeWord"), FWholeWord->isChecked());
    ini.WriteString(Section, Key("Folder"), quoted(FFolderEdit->text().trimmed()));
    ini.WriteString(Section, Key("Patterns"), quoted(FPatternsEdit->text()));
    ini.WriteInteger(Section, Key("SubFolders"), FSubFolders->isChecked());
}

bool TFileSearchDialog::Execute() {
    FTextEdit->setFocus();
    FTextEdit->selectAll();
    return exec() == QDialog::Accepted;
}

void TFileSearchDialog::accept() {
    const TFileSearchQuery query = Query();
    if (query.Folder.isEmpty() || !QFileInfo(query.Folder).isDir()) {
        MessageDlg(this,
                   query.Folder.isEmpty()
                       ? QStringLiteral("検索するフォルダを指定してください。")
                       : QStringLiteral("フォルダ %1 が見つかりません。").arg(query.Folder),
                   mtError, mbOK, mbOK);
        FFolderEdit->setFocus();
        FFolderEdit->selectAll();
        return;
    }
    const TTextMatcher matcher(query);
    if (!matcher.Valid()) {
        MessageDlg(this, matcher.Error(), mtError, mbOK, mbOK);
        FTextEdit->setFocus();
        FTextEdit->setCursorPosition(int(matcher.ErrorOffset()));
        return;
    }
    QDialog::accept();
}

void TFileSearchDialog::Browse() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("検索するフォルダ"), FFolderEdit->text(),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!folder.isEmpty())
        FFolderEdit->setText(QDir::toNativeSeparators(folder));
}
