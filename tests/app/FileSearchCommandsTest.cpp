// Search in files through the frame: the dialog hands over the search, the results window fills
// from the worker, and a chosen result is selected in its editing window, opened or brought
// forward. Bad input is explained and the dialog stays.

#include "FrameFixture.h"

#include "app/Childwin.h"
#include "app/FileSearchDialog.h"
#include "app/FileSearchResults.h"
#include "app/Main.h"
#include "components/IniGT.h"
#include "editor/ExtMemo.h"
#include "platform/TextCodec.h"

#include <QAction>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

namespace {
QByteArray Encoded(const QString& text, TTextEncoding encoding) {
    QByteArray bytes;
    EncodeString(text, encoding, {}, bytes);
    return bytes;
}
} // namespace

class TFileSearchCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ResultsOpenTheirFilesAtTheMatch();
    void BadInputIsExplained_data();
    void BadInputIsExplained();
};

void TFileSearchCommandsTest::ResultsOpenTheirFilesAtTheMatch() {
    TFrameFixture f;
    TMainForm& frame = f.Frame();
    const QString site = f.Path(QStringLiteral("site"));
    QDir().mkpath(site + QStringLiteral("/js"));
    WriteBytes(site + QStringLiteral("/index.html"),
               Encoded(QStringLiteral("<html>\r\n<body>\r\n<p>サイト内検索</p>\r\n"), teCp932));
    WriteBytes(site + QStringLiteral("/js/menu.js"),
               Encoded(QStringLiteral("// 検索の窓\nvar q;\n"), teEucJp));

    TDialogAnswers answers;
    answers.Add([&](QWidget* widget) {
        auto* dialog = qobject_cast<TFileSearchDialog*>(widget);
        QVERIFY(dialog);
        TFileSearchQuery query = dialog->Query();
        QCOMPARE(query.Patterns.join(u';'), QStringLiteral("*.html;*.htm;*.js;*.css"));
        query.Text = QStringLiteral("検索");
        query.Folder = site;
        dialog->SetQuery(query);
        dialog->accept();
    });
    QSignalSpy finished(frame.FileSearchResults1, &TFileSearchResults::Finished);
    frame.FileSearchAction->trigger();
    QCOMPARE(answers.Pending(), 0);
    QVERIFY(frame.FileSearchResults1->isVisible());
    QVERIFY(finished.count() == 1 || finished.wait(60000));

    QListView* list = frame.FileSearchResults1->List();
    QAbstractItemModel* model = list->model();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(0, 0).data().toString(),
             QStringLiteral("index.html(3,8): <p>サイト内検索</p>"));
    QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("js/menu.js(1,4): // 検索の窓"));
    QVERIFY(frame.FileSearchResults1->SummaryText().contains(QStringLiteral("2 件")));
    // Remembered for the next run, in a section of its own.
    QCOMPARE(frame.IniGT1->ReadString(QStringLiteral("FileSearch"), QStringLiteral("Folder"), {}),
             site);

    // Enter on a result opens its file and selects the match; choosing the first again brings
    // its window forward instead of opening another.
    const auto choose = [&](int row) {
        list->setCurrentIndex(model->index(row, 0));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
    };
    for (int row : {0, 1, 0}) {
        choose(row);
        const QString path = model->index(row, 0).data(Qt::ToolTipRole).toString();
        QTRY_VERIFY(f.Active() && f.Active()->Caption() == path);
        TExtMemo* memo = f.Active()->RichEdit1;
        QCOMPARE(memo->SelLength(), 2);
        QCOMPARE(memo->Buffer().Text(memo->SelStart(), 2), QStringLiteral("検索"));
    }
    QCOMPARE(frame.MDIChildCount(), 2);
    QCOMPARE(f.Active()->RichEdit1->SelStart(), 16 + 7); // the third line, after "<p>サイト内"
}

void TFileSearchCommandsTest::BadInputIsExplained_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QString>("folder"); // under the fixture's folder
    QTest::addColumn<QString>("message");
    QTest::newRow("missing folder") << QStringLiteral("検索") << false << QStringLiteral("nowhere")
                                    << QStringLiteral("エラー|フォルダ %1 が見つかりません。");
    QTest::newRow("bad expression")
        << QStringLiteral("a(b") << true << QString()
        << QStringLiteral("エラー|正規表現が正しくありません（4 文字目）: 閉じ括弧 ) がありません");
}

void TFileSearchCommandsTest::BadInputIsExplained() {
    QFETCH(QString, text);
    QFETCH(bool, regex);
    QFETCH(QString, folder);
    QFETCH(QString, message);
    TFrameFixture f;
    const QString path = f.Path(folder);
    TFileSearchDialog dialog(&f.Frame());
    TFileSearchQuery query;
    query.Text = text;
    query.RegularExpression = regex;
    query.Folder = path;
    dialog.SetQuery(query);
    dialog.show();
    TDialogAnswers answers;
    answers.Press(QStringLiteral("OK"));
    dialog.accept();
    QCOMPARE(answers.Pending(), 0);
    QCOMPARE(answers.Seen, QStringList{message.contains(u'%') ? message.arg(path) : message});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

int main(int argc, char** argv) {
    TFileSearchCommandsTest test;
    return RunFrameTests(argc, argv, &test);
}

#include "FileSearchCommandsTest.moc"
