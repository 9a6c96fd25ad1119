// qjs-snippet run as a program: its JSON agrees with the engine, ok prints exactly the text, and
// bad arguments end with status 2.

#include "snippets/SnippetEngine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace snippets;

namespace {

struct TRun {
    int FExit = -1;
    QByteArray FOut;
    QByteArray FErr;
};

TRun Run(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(QJS_SNIPPET_TOOL), args);
    TRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.FExit = process.exitCode();
    run.FOut = process.readAllStandardOutput();
    run.FErr = process.readAllStandardError();
    return run;
}

QJsonObject ParseObject(const QByteArray& line) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    return error.error == QJsonParseError::NoError ? document.object() : QJsonObject();
}

QStringList Strings(const QJsonValue& value) {
    QStringList list;
    for (const QJsonValue& item : value.toArray())
        list.append(item.toString());
    return list;
}

const char* KindName(TSnippetKind kind) {
    switch (kind) {
    case skDirect:
        return "direct";
    case skParam:
        return "param";
    case skMessage:
        return "message";
    case skNone:
        break;
    }
    return "none";
}

} // namespace

class ToolTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void list();
    void showAgreesWithEngine();
    void showByKind_data();
    void showByKind();
    void ok_data();
    void ok();
    void badArguments_data();
    void badArguments();
};

void ToolTest::list() {
    const TRun run = Run({u"list"_s});
    QCOMPARE(run.FExit, 0);
    QVERIFY(run.FErr.isEmpty());
    QVERIFY(run.FOut.endsWith('\n'));
    const QList<QByteArray> lines = run.FOut.chopped(1).split('\n');
    QCOMPARE(lines.size(), 327);

    int at = 0;
    for (int category = 0; category < CategoryCount(); ++category) {
        const QStringList names = ItemNames(category);
        for (int item = 0; item < names.size(); ++item, ++at) {
            const QByteArray& line = lines[at];
            QVERIFY2(line.startsWith("{\"category\": "), line.constData());
            const QJsonObject object = ParseObject(line);
            QCOMPARE(object.size(), 4);
            QCOMPARE(object[u"category"_s].toInt(-1), category);
            QCOMPARE(object[u"item"_s].toInt(-1), item);
            QCOMPARE(object[u"name"_s].toString(), names[item]);
            QCOMPARE(object[u"kind"_s].toString(),
                     QString::fromLatin1(KindName(Entry(category, item)->FKind)));
        }
    }
}

void ToolTest::showAgreesWithEngine() {
    for (int category = 0; category < CategoryCount(); ++category) {
        for (int item = 0; item < ItemNames(category).size(); ++item) {
            const TSnippetEntry& entry = *Entry(category, item);
            const TRun run = Run({u"show"_s, QString::number(category), QString::number(item)});
            QCOMPARE(run.FExit, 0);
            QVERIFY(run.FOut.endsWith('\n') && run.FOut.count('\n') == 1);
            const QJsonObject object = ParseObject(run.FOut);
            QCOMPARE(object[u"kind"_s].toString(), QString::fromLatin1(KindName(entry.FKind)));
            if (entry.FKind != skParam) {
                QCOMPARE(object[u"text"_s].toString(), entry.FText);
                QCOMPARE(object.size(), entry.FKind == skNone ? 1 : 2);
                continue;
            }
            QCOMPARE(object.size(), 6);
            QStringList labels(entry.FCaptions.begin(), entry.FCaptions.end());
            QCOMPARE(Strings(object[u"labels"_s]), labels);
            QStringList open;
            for (int row = 0; row < RowCount; ++row)
                if (IsOpen(entry, TParamRow(row)))
                    open.append(RowName(TParamRow(row)));
            QCOMPARE(Strings(object[u"open"_s]), open);
            QCOMPARE(object[u"combo1"_s].isNull(), !entry.FComboBox1Items);
            QCOMPARE(Strings(object[u"combo1"_s]), entry.FComboBox1Items.value_or(QStringList()));
            QCOMPARE(object[u"combo2"_s].isNull(), !entry.FComboBox2Items);
            QCOMPARE(Strings(object[u"combo2"_s]), entry.FComboBox2Items.value_or(QStringList()));
            QCOMPARE(object[u"focus"_s].toString(), RowName(entry.FFocus));
        }
    }
}

void ToolTest::showByKind_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("item");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("direct with line ends")
        << 0 << 1 << QByteArray("{\"kind\": \"direct\", \"text\": \"function {\\r\\n\\r\\n}\"}\n");
    QTest::newRow("direct with quotes")
        << 0 << 0
        << QByteArray("{\"kind\": \"direct\", \"text\": \"<SCRIPT Language=\\\"JavaScript\\\">"
                      "\\r\\n<!--\\r\\n\\r\\n// -->\\r\\n</SCRIPT>\"}\n");
    QTest::newRow("message") << 20 << 0
                             << u"{\"kind\": \"message\", \"text\": \"作成中\"}\n"_s.toUtf8();
    QTest::newRow("none") << 20 << 1 << QByteArray("{\"kind\": \"none\"}\n");
    QTest::newRow("choice focused")
        << 15 << 3
        << u"{\"kind\": \"param\", \"labels\": [\"\", \"\", \"\", \"\", \"\", \"\", \"\", \"\", "
           "\"フレームの指定\"], \"open\": [\"ComboBox2\"], \"combo1\": null, \"combo2\": "
           "[\"parent.length\", \"top.length\"], \"focus\": \"ComboBox2\"}\n"_s.toUtf8();
    QTest::newRow("bars")
        << 12 << 31
        << u"{\"kind\": \"param\", \"labels\": [\"ウィンドウ名(略可)\", \"各種バー名\", \"\", "
           u"\"\", "
           "\"\", \"\", \"\", \"表示\", \"\"], \"open\": [\"Edit1\", \"Edit2\", \"ComboBox1\"], "
           "\"combo1\": [\"true\", \"false\"], \"combo2\": null, \"focus\": \"Edit1\"}\n"_s
               .toUtf8();
}

void ToolTest::showByKind() {
    QFETCH(int, category);
    QFETCH(int, item);
    QFETCH(QByteArray, expected);

    const TRun run = Run({u"show"_s, QString::number(category), QString::number(item)});
    QCOMPARE(run.FExit, 0);
    QCOMPARE(run.FOut, expected);
}

void ToolTest::ok_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("no options") << QStringList{u"1"_s, u"0"_s} << QByteArray(" = new Array()");
    QTest::newRow("edits") << QStringList{u"1"_s, u"0"_s,       u"--edit1"_s,
                                          u"a"_s, u"--edit2"_s, u"10"_s}
                           << QByteArray("a = new Array(10)");
    QTest::newRow("edit7") << QStringList{u"13"_s,      u"28"_s, u"--edit1"_s, u"f"_s,
                                          u"--edit3"_s, u"s"_s,  u"--edit7"_s, u"2"_s}
                           << QByteArray("document.f.s.options[2].selectedIndex");
    QTest::newRow("text like an option") << QStringList{u"11"_s, u"2"_s, u"--edit1"_s, u"--edit2"_s}
                                         << QByteArray("history.go(--edit2)");
    QTest::newRow("blank") << QStringList{u"5"_s, u"0"_s, u"--edit1"_s, u" "_s}
                           << QByteArray("\" \".big()");
    QTest::newRow("UTF-8 and quotes")
        << QStringList{u"10"_s, u"0"_s, u"--edit2"_s, u"日本語\"x\""_s}
        << u"alert(\"日本語\"x\"\")"_s.toUtf8();
    QTest::newRow("line end typed")
        << QStringList{u"8"_s, u"7"_s, u"--edit1"_s, u"a\nb"_s} << QByteArray("document.a\nb");
    QTest::newRow("combo1") << QStringList{u"12"_s, u"30"_s, u"--combo1"_s, u"false"_s}
                            << QByteArray("toolbar.visible = false");
    QTest::newRow("combo2") << QStringList{u"17"_s, u"26"_s,       u"--edit2"_s,
                                           u"0"_s,  u"--combo2"_s, u"hide"_s}
                            << QByteArray("document.layers[0].visibility = hide");
    QTest::newRow("empty option text")
        << QStringList{u"12"_s, u"9"_s, u"--edit1"_s, QString()} << QByteArray("innerHeight =");
    QTest::newRow("direct entry") << QStringList{u"2"_s, u"18"_s, u"--edit1"_s, u"a"_s}
                                  << QByteArray();
    QTest::newRow("message entry") << QStringList{u"20"_s, u"0"_s} << QByteArray();
    QTest::newRow("none entry") << QStringList{u"20"_s, u"1"_s} << QByteArray();
}

void ToolTest::ok() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, expected);

    const TRun run = Run(QStringList{u"ok"_s} + args);
    QCOMPARE(run.FExit, 0);
    QVERIFY(run.FErr.isEmpty());
    QCOMPARE(run.FOut, expected);
}

void ToolTest::badArguments_data() {
    QTest::addColumn<QStringList>("args");

    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown command") << QStringList{u"insert"_s};
    QTest::newRow("list with an argument") << QStringList{u"list"_s, u"0"_s};
    QTest::newRow("show without indices") << QStringList{u"show"_s};
    QTest::newRow("show without item") << QStringList{u"show"_s, u"0"_s};
    QTest::newRow("show extra") << QStringList{u"show"_s, u"0"_s, u"0"_s, u"0"_s};
    QTest::newRow("show not a number") << QStringList{u"show"_s, u"a"_s, u"0"_s};
    QTest::newRow("show category 21") << QStringList{u"show"_s, u"21"_s, u"0"_s};
    QTest::newRow("show past last item") << QStringList{u"show"_s, u"0"_s, u"3"_s};
    QTest::newRow("show item -1") << QStringList{u"show"_s, u"0"_s, u"-1"_s};
    QTest::newRow("ok edit8") << QStringList{u"ok"_s, u"1"_s, u"0"_s, u"--edit8"_s, u"a"_s};
    QTest::newRow("ok edit0") << QStringList{u"ok"_s, u"1"_s, u"0"_s, u"--edit0"_s, u"a"_s};
    QTest::newRow("ok edit10") << QStringList{u"ok"_s, u"1"_s, u"0"_s, u"--edit10"_s, u"a"_s};
    QTest::newRow("ok combo3") << QStringList{u"ok"_s, u"1"_s, u"0"_s, u"--combo3"_s, u"a"_s};
    QTest::newRow("ok missing text") << QStringList{u"ok"_s, u"1"_s, u"0"_s, u"--edit1"_s};
    QTest::newRow("ok twice") << QStringList{u"ok"_s, u"1"_s,       u"0"_s, u"--edit1"_s,
                                             u"a"_s,  u"--edit1"_s, u"b"_s};
    QTest::newRow("ok positional") << QStringList{u"ok"_s, u"1"_s, u"0"_s, u"a"_s};
    QTest::newRow("ok no entry") << QStringList{u"ok"_s, u"20"_s, u"2"_s};
}

void ToolTest::badArguments() {
    QFETCH(QStringList, args);

    const TRun run = Run(args);
    QCOMPARE(run.FExit, 2);
    QVERIFY(run.FOut.isEmpty());
    QVERIFY2(run.FErr.contains("qjs-snippet: ") && run.FErr.contains("usage:"),
             run.FErr.constData());
}

QTEST_GUILESS_MAIN(ToolTest)
#include "ToolTest.moc"
