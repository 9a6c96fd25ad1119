// The encoding and line ends in the user's hands: chosen in the save dialog (preset to the
// window's own) and checked byte for byte against glibc's converter, a reopen in another
// encoding with and without unsaved changes, a character the encoding cannot hold named with
// its line and column while the file stays as it was, and the status bar's fifth panel.

#include "FrameFixture.h"

#include "app/Childwin.h"
#include "app/Main.h"
#include "app/StatusPanels.h"
#include "components/CabDialog.h"
#include "editor/ExtMemo.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QTest>
#include <iconv.h>

namespace {

const QString Yes = QStringLiteral("はい(&Y)");
const QString No = QStringLiteral("いいえ(&N)");
const QString Cancel = QStringLiteral("キャンセル");

// The reference: glibc's converter, not the program's encoder.
QByteArray Iconv(const QString& text, const char* charset) {
    iconv_t cd = iconv_open(charset, "UTF-16LE");
    if (cd == iconv_t(-1))
        return {};
    QByteArray out(text.size() * 8 + 16, Qt::Uninitialized);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.utf16()));
    size_t inLeft = size_t(text.size()) * 2;
    char* o = out.data();
    size_t outLeft = size_t(out.size());
    const bool ok = iconv(cd, &in, &inLeft, &o, &outLeft) != size_t(-1) &&
                    iconv(cd, nullptr, nullptr, &o, &outLeft) != size_t(-1);
    iconv_close(cd);
    return ok ? out.left(o - out.data()) : QByteArray();
}

struct TChoice {
    QString Encoding; // the box's caption
    QString LineEnd;
};

// Answers the save dialog: notes what its two boxes showed, picks the choice and the path.
void ChooseFormat(TDialogAnswers& answers, const QString& path, const TChoice& choice,
                  TChoice* shown = nullptr) {
    answers.Add([=](QWidget* widget) {
        auto* files = widget->findChild<QFileDialog*>();
        QVERIFY(files);
        auto* encoding = files->findChild<QComboBox*>(QStringLiteral("EncodingBox"));
        auto* lineEnd = files->findChild<QComboBox*>(QStringLiteral("LineEndBox"));
        QVERIFY(encoding && lineEnd);
        if (shown)
            *shown = {encoding->currentText(), lineEnd->currentText()};
        if (!choice.Encoding.isEmpty()) {
            QVERIFY(encoding->findText(choice.Encoding) >= 0);
            encoding->setCurrentIndex(encoding->findText(choice.Encoding));
            lineEnd->setCurrentIndex(lineEnd->findText(choice.LineEnd));
        }
        if (path.isEmpty()) {
            static_cast<QDialog*>(files)->reject();
            return;
        }
        ChooseIn(files, path);
    });
}

// Answers the reopen dialog with an encoding, noting the one it proposed.
void ChooseReopen(TDialogAnswers& answers, const QString& encoding, QString* shown = nullptr) {
    answers.Add([=](QWidget* widget) {
        auto* dialog = qobject_cast<QInputDialog*>(widget);
        QVERIFY(dialog);
        QCOMPARE(dialog->labelText(), QStringLiteral("文字コード(&E):"));
        if (shown)
            *shown = dialog->textValue();
        dialog->setTextValue(encoding);
        dialog->accept();
    });
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TEncodingCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QDir::setCurrent(QDir::tempPath()); }

    void saveAsInEveryEncodingAndLineEnd_data();
    void saveAsInEveryEncodingAndLineEnd();
    void saveDialogIsPresetToTheWindow();
    void mixedLineEndsStayUnlessChosen();
    void unencodableCharacterWritesNothing_data();
    void unencodableCharacterWritesNothing();
    void reopenInAnotherEncoding_data();
    void reopenInAnotherEncoding();
    void reopenNeedsAFile();
    void statusPanelFollowsTheActiveWindow();
};

void TEncodingCommandsTest::saveAsInEveryEncodingAndLineEnd_data() {
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QByteArray>("charset");
    QTest::addColumn<QByteArray>("bom");
    QTest::newRow("UTF-8") << QStringLiteral("UTF-8") << QByteArray("UTF-8") << QByteArray();
    QTest::newRow("UTF-8 BOM") << QStringLiteral("UTF-8 (BOM付き)") << QByteArray("UTF-8")
                               << QByteArray("\xEF\xBB\xBF");
    QTest::newRow("CP932") << QStringLiteral("Shift_JIS (CP932)") << QByteArray("CP932")
                           << QByteArray();
    QTest::newRow("EUC-JP") << QStringLiteral("EUC-JP") << QByteArray("EUC-JP") << QByteArray();
    QTest::newRow("ISO-2022-JP") << QStringLiteral("ISO-2022-JP") << QByteArray("ISO-2022-JP")
                                 << QByteArray();
    QTest::newRow("UTF-16LE") << QStringLiteral("UTF-16LE (BOM付き)") << QByteArray("UTF-16LE")
                              << QByteArray("\xFF\xFE");
    QTest::newRow("UTF-16BE") << QStringLiteral("UTF-16BE (BOM付き)") << QByteArray("UTF-16BE")
                              << QByteArray("\xFE\xFF");
}

void TEncodingCommandsTest::saveAsInEveryEncodingAndLineEnd() {
    QFETCH(QString, encoding);
    QFETCH(QByteArray, charset);
    QFETCH(QByteArray, bom);
    TFrameFixture f;
    TDialogAnswers answers;
    // A UTF-8 page with CR LF; each line end style is chosen in turn for a copy of it.
    const QStringList lines = {QStringLiteral("<p>日本語のテキスト</p>"),
                               QStringLiteral("かな、カナ、漢字。"), QStringLiteral("ABC")};
    const QString source = f.Path(QStringLiteral("source.html"));
    WriteBytes(source, lines.join(QStringLiteral("\r\n")).toUtf8());
    const std::pair<QString, QString> lineEnds[] = {
        {QStringLiteral("CR LF"), QStringLiteral("\r\n")},
        {QStringLiteral("LF"), QStringLiteral("\n")},
        {QStringLiteral("CR"), QStringLiteral("\r")}};
    for (const auto& [caption, text] : lineEnds) {
        f.Frame().OpenFiles({source});
        TMDIChild* child = f.Active();
        const QString target = f.Path(QStringLiteral("copy %1.html").arg(caption));
        ChooseFormat(answers, target, {encoding, caption});
        f.Frame().FileSaveAs1->trigger();
        QCOMPARE(answers.Pending(), 0);
        QCOMPARE(child->Caption(), target);
        QCOMPARE(ReadBytes(target), bom + Iconv(lines.join(text), charset));
        QCOMPARE(f.Frame().StatusText(4), encoding + QStringLiteral("  ") + caption);

        // The window goes on in its new form: Enter writes the chosen line end, a plain save
        // the chosen encoding.
        child->RichEdit1->SetSelection(0, 0);
        f.Type(QStringLiteral("x"));
        QTest::keyClick(child->RichEdit1, Qt::Key_Return);
        f.Frame().FileSave1->trigger();
        QCOMPARE(ReadBytes(target),
                 bom + Iconv(QStringLiteral("x") + text + lines.join(text), charset));
        QCOMPARE(ReadBytes(source), lines.join(QStringLiteral("\r\n")).toUtf8());
        child->CloseApproved();
        ProcessDeletions();
    }
    QVERIFY(answers.Unexpected.isEmpty());
}

void TEncodingCommandsTest::saveDialogIsPresetToTheWindow() {
    TFrameFixture f;
    TDialogAnswers answers;
    const QString page = f.Path(QStringLiteral("sjis.html"));
    // 「日本語」 in CP932 with LF.
    WriteBytes(page, QByteArray::fromHex("93fa967b8cea0a61620a"));
    f.Frame().OpenFiles({page});
    TChoice shown;
    QStringList labels;
    answers.Add([&](QWidget* widget) {
        for (QLabel* label : widget->findChildren<QLabel*>())
            labels << label->text();
        widget->close();
    });
    ChooseFormat(answers, QString(), {}, &shown);
    f.Frame().FileSaveAs1->trigger(); // the labels
    f.Frame().FileSaveAs1->trigger(); // the boxes
    QVERIFY(labels.contains(QStringLiteral("文字コード(&E):")));
    QVERIFY(labels.contains(QStringLiteral("改行コード(&L):")));
    QCOMPARE(shown.Encoding, QStringLiteral("Shift_JIS (CP932)"));
    QCOMPARE(shown.LineEnd, QStringLiteral("LF"));

    // After a save in another form the dialog proposes that form, for this window only.
    const QString other = f.Path(QStringLiteral("utf16.html"));
    ChooseFormat(answers, other, {QStringLiteral("UTF-16BE (BOM付き)"), QStringLiteral("CR")});
    f.Frame().FileSaveAs1->trigger();
    ChooseFormat(answers, QString(), {}, &shown);
    f.Frame().FileSaveAs1->trigger();
    QCOMPARE(shown.Encoding, QStringLiteral("UTF-16BE (BOM付き)"));
    QCOMPARE(shown.LineEnd, QStringLiteral("CR"));
    f.Frame().FileNew1->trigger();
    ChooseFormat(answers, QString(), {}, &shown);
    f.Frame().FileSaveAs1->trigger();
    QCOMPARE(shown.Encoding, QStringLiteral("UTF-8"));
    QCOMPARE(shown.LineEnd, QStringLiteral("CR LF"));

    // The close question's save dialog, too, saves in what it shows.
    f.Type(QStringLiteral("new"));
    const QString closed = f.Path(QStringLiteral("closed.txt"));
    answers.Press(Yes);
    ChooseFormat(answers, closed, {QStringLiteral("UTF-8 (BOM付き)"), QStringLiteral("LF")});
    f.Frame().FileClose1->trigger();
    QCOMPARE(ReadBytes(closed), QByteArray("\xEF\xBB\xBFnew"));
    QCOMPARE(answers.Pending(), 0);
    QVERIFY(answers.Unexpected.isEmpty());
}

void TEncodingCommandsTest::mixedLineEndsStayUnlessChosen() {
    TFrameFixture f;
    TDialogAnswers answers;
    const QString mixed = f.Path(QStringLiteral("mixed.txt"));
    WriteBytes(mixed, "a\r\nb\r\nc\nd\re");
    f.Frame().OpenFiles({mixed});
    QCOMPARE(f.Frame().StatusText(4), QStringLiteral("UTF-8  混在"));
    // Saved as it shows (CR LF, the most used), the lines keep their own ends...
    const QString same = f.Path(QStringLiteral("same.txt"));
    ChooseFormat(answers, same, {QStringLiteral("UTF-8"), QStringLiteral("CR LF")});
    f.Frame().FileSaveAs1->trigger();
    QCOMPARE(ReadBytes(same), QByteArray("a\r\nb\r\nc\nd\re"));
    // ...and another choice makes them all alike.
    const QString lf = f.Path(QStringLiteral("lf.txt"));
    ChooseFormat(answers, lf, {QStringLiteral("UTF-8"), QStringLiteral("LF")});
    f.Frame().FileSaveAs1->trigger();
    QCOMPARE(ReadBytes(lf), QByteArray("a\nb\nc\nd\ne"));
    QCOMPARE(f.Frame().StatusText(4), QStringLiteral("UTF-8  LF"));
    QVERIFY(answers.Unexpected.isEmpty());
}

void TEncodingCommandsTest::unencodableCharacterWritesNothing_data() {
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("message");
    QTest::newRow("emoji in Shift_JIS")
        << QByteArray("line one\r\nab") << QStringLiteral("😀")
        << QStringLiteral("Shift_JIS (CP932)")
        << QStringLiteral("文字「😀」(U+1F600) は Shift_JIS (CP932) では保存できません（2 行 3 "
                          "文字目）。");
    QTest::newRow("hangul in EUC-JP")
        << QByteArray("x\ny\nzz") << QStringLiteral("한") << QStringLiteral("EUC-JP")
        << QStringLiteral("文字「한」(U+D55C) は EUC-JP では保存で"
                          "きません（3 行 3 文字目）。");
    // A byte the UTF-8 file did not decode has no character to convert.
    QTest::newRow("undecoded byte to ISO-2022-JP")
        << QByteArray("ok\nk\xFFz") << QString() << QStringLiteral("ISO-2022-JP")
        << QStringLiteral("元の文字コードで読めなかったバイト 0xFF は ISO-2022-JP に変換できません"
                          "（2 行 2 文字目）。");
}

void TEncodingCommandsTest::unencodableCharacterWritesNothing() {
    QFETCH(QByteArray, original);
    QFETCH(QString, typed);
    QFETCH(QString, encoding);
    QFETCH(QString, message);
    TFrameFixture f;
    TDialogAnswers answers;
    const QString path = f.Path(QStringLiteral("page.txt"));
    const QString target = f.Path(QStringLiteral("target.txt"));
    WriteBytes(path, original);
    WriteBytes(target, "keep me");
    f.Frame().OpenFiles({path});
    TMDIChild* child = f.Active();
    TTextBuffer& buffer = child->RichEdit1->Buffer();
    buffer.Insert(buffer.Length(), typed);
    const QString text = buffer.Text();
    const TTextEncoding encodingBefore = child->Format().Encoding;

    ChooseFormat(answers, target, {encoding, QStringLiteral("LF")});
    answers.Press(Yes); // replace target.txt
    answers.Press(QStringLiteral("OK"));
    f.Frame().FileSaveAs1->trigger();
    QCOMPARE(answers.Pending(), 0);
    QCOMPARE(answers.Seen.last(), QStringLiteral("エラー|ファイル ") + target +
                                      QStringLiteral(" を作成できません\n") + message);
    QCOMPARE(ReadBytes(target), QByteArray("keep me"));
    QCOMPARE(ReadBytes(path), original);
    QCOMPARE(FilesIn(f.Folder()),
             (QStringList{QStringLiteral("page.txt"), QStringLiteral("target.txt")}));
    // The window is as it was: its text, its file, its form, its unsaved state.
    QCOMPARE(buffer.Text(), text);
    QCOMPARE(child->Caption(), path);
    QCOMPARE(child->Format().Encoding, encodingBefore);
    QCOMPARE(child->Modified(), !typed.isEmpty());
    QVERIFY(answers.Unexpected.isEmpty());
}

void TEncodingCommandsTest::reopenInAnotherEncoding_data() {
    QTest::addColumn<QString>("answer"); // to the close question; empty: no unsaved changes
    QTest::addColumn<QString>("text");   // in the window afterwards
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("reopened");
    // "café" in UTF-8 read as CP932: C3 and A9 are half-width katakana there.
    QTest::newRow("unchanged") << QString() << QStringLiteral("cafﾃｩ\n")
                               << QByteArray("caf\xC3\xA9\n") << true;
    QTest::newRow("changes saved first")
        << Yes << QStringLiteral("!cafﾃｩ\n") << QByteArray("!caf\xC3\xA9\n") << true;
    QTest::newRow("changes discarded")
        << No << QStringLiteral("cafﾃｩ\n") << QByteArray("caf\xC3\xA9\n") << true;
    QTest::newRow("cancelled") << Cancel << QStringLiteral("!café\n") << QByteArray("caf\xC3\xA9\n")
                               << false;
}

void TEncodingCommandsTest::reopenInAnotherEncoding() {
    QFETCH(QString, answer);
    QFETCH(QString, text);
    QFETCH(QByteArray, file);
    QFETCH(bool, reopened);
    TFrameFixture f;
    TDialogAnswers answers;
    const QString path = f.Path(QStringLiteral("café.txt"));
    WriteBytes(path, "caf\xC3\xA9\n");
    f.Frame().OpenFiles({path});
    TMDIChild* child = f.Active();
    QCOMPARE(child->Format().Encoding, teUtf8);
    if (!answer.isEmpty()) {
        child->RichEdit1->SetSelection(0, 0);
        f.Type(QStringLiteral("!"));
    }
    QString proposed;
    ChooseReopen(answers, QStringLiteral("Shift_JIS (CP932)"), &proposed);
    if (!answer.isEmpty())
        answers.Press(answer);
    f.Frame().ReopenAction->trigger();
    QCOMPARE(answers.Pending(), 0);
    QCOMPARE(proposed, QStringLiteral("UTF-8"));
    if (!answer.isEmpty())
        QCOMPARE(answers.Seen, QStringList{QStringLiteral(
                                   "café.txt - 警告|内容が変更されています.保存しますか?")});
    QCOMPARE(child->RichEdit1->Buffer().Text(), text);
    QCOMPARE(ReadBytes(path), file);
    QCOMPARE(child->Format().Encoding, reopened ? teCp932 : teUtf8);
    QCOMPARE(child->Modified(), !reopened);
    QCOMPARE(f.Frame().StatusText(2),
             reopened ? QStringLiteral("編集終了") : QStringLiteral("編集中"));
    QCOMPARE(f.Frame().StatusText(4).section(u' ', 0, 0),
             reopened ? QStringLiteral("Shift_JIS") : QStringLiteral("UTF-8"));
    if (reopened) {
        // Nothing was converted: saving writes the file's bytes back.
        f.Frame().FileSave1->trigger();
        QCOMPARE(ReadBytes(path), file);
    }
    QVERIFY(answers.Unexpected.isEmpty());
}

void TEncodingCommandsTest::reopenNeedsAFile() {
    TFrameFixture f;
    TDialogAnswers answers;
    f.Frame().FileNew1->trigger();
    f.Type(QStringLiteral("draft"));
    answers.Press(QStringLiteral("OK"));
    f.Frame().ReopenAction->trigger();
    QCOMPARE(answers.Seen, QStringList{QStringLiteral("情報|新規ﾌｧｲﾙ はまだ保存されていないため、"
                                                      "開き直せません")});
    QCOMPARE(f.Active()->RichEdit1->Buffer().Text(), QStringLiteral("draft"));
    QVERIFY(answers.Unexpected.isEmpty());
}

void TEncodingCommandsTest::statusPanelFollowsTheActiveWindow() {
    TFrameFixture f;
    QCOMPARE(f.Frame().StatusBar->Count(), 5);
    const QString euc = f.Path(QStringLiteral("euc.txt"));
    WriteBytes(euc, Iconv(QStringLiteral("日本語のテキストです\n二行目\n"), "EUC-JP"));
    f.Frame().OpenFiles({euc});
    QCOMPARE(f.Frame().StatusText(4), QStringLiteral("EUC-JP  LF"));
    f.Frame().FileNew1->trigger();
    QCOMPARE(f.Frame().StatusText(4), QStringLiteral("UTF-8  CR LF"));
    QVERIFY(f.Frame().ActivateOpenWindow(euc));
    QCOMPARE(f.Frame().StatusText(4), QStringLiteral("EUC-JP  LF"));
}

int main(int argc, char** argv) {
    TEncodingCommandsTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "EncodingCommandsTest.moc"
