// The texts OK and the double-click insert, family by family, with parameters filled, empty and
// a single blank.

#include "snippets/SnippetEngine.h"

#include <QTest>

#include <set>
#include <utility>

using namespace Qt::StringLiterals;
using namespace snippets;

Q_DECLARE_METATYPE(snippets::TParamValues)

namespace {

// Parameters by row number as the window shows them: 1..7 the edits, 8 ComboBox1, 9 the entry
// selected in ComboBox2.
TParamValues V(std::initializer_list<std::pair<int, const char16_t*>> given = {}) {
    TParamValues values;
    for (const auto& [row, text] : given) {
        const QString value = QString::fromUtf16(text);
        if (row == 8)
            values.FComboBox1 = value;
        else if (row == 9)
            values.FComboBox2Entry = value;
        else
            values.FEdits[size_t(row - 1)] = value;
    }
    return values;
}

struct TDirect {
    int FCategory;
    int FItem;
    const char16_t* FText;
};

// What the double-click inserts at once, read independently of the catalogue's data files.
const TDirect Directs[] = {
    {0, 0, u"<SCRIPT Language=\"JavaScript\">\r\n<!--\r\n\r\n// -->\r\n</SCRIPT>"},
    {0, 1, u"function {\r\n\r\n}"},
    {0, 2, u"for\r\n{\r\n\r\n}"},
    {2, 7, u"Math.E"},
    {2, 10, u"Math.LN10"},
    {2, 11, u"Math.LN2"},
    {2, 13, u"Math.LOG10E"},
    {2, 14, u"Math.LOG2E"},
    {2, 15, u"new Math()"},
    {2, 18, u"Math.PI"},
    {2, 20, u"Math.random()"},
    {2, 24, u"Math.SQRT1_2"},
    {2, 25, u"Math.SQRT2"},
    {4, 20, u"Date.UTC(,,,,,)"},
    {6, 5, u"document.images.length"},
    {7, 1, u"event.layerX"},
    {7, 2, u"event.layerY"},
    {7, 3, u"event.modifiers"},
    {7, 29, u"event.type"},
    {7, 30, u"event.which"},
    {7, 31, u"event.x"},
    {7, 32, u"event.y"},
    {8, 4, u"document.clear()"},
    {8, 5, u"document.close()"},
    {8, 11, u"document.lastModified"},
    {8, 14, u"document.referrer"},
    {8, 15, u"document.title"},
    {9, 0, u"navigator.appCodeName"},
    {9, 1, u"navigator.appName"},
    {9, 2, u"navigator.appVersion"},
    {9, 6, u"navigator.javaEnabled()"},
    {9, 7, u"navigator.language"},
    {9, 8, u"navigator.mimeTypes.length"},
    {9, 11, u"navigator.platform"},
    {9, 14, u"navigator.taintEnabled()"},
    {9, 16, u"navigator.userAgent"},
    {11, 0, u"history.back()"},
    {11, 1, u"history.forward()"},
    {11, 4, u"history.length"},
    {14, 0, u"screen.colorDepth"},
    {14, 1, u"screen.height"},
    {14, 2, u"screen.pixelDepth"},
    {14, 4, u"screen.width"},
    {16, 3, u"document.domain"},
    {16, 8, u"document.links.length"},
    {16, 18, u"location.search"},
    {16, 20, u"document.URL"},
    {17, 13, u"document.layers.length"},
};

} // namespace

class OutputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void directTexts_data();
    void directTexts();
    void everyDirectEntryIsListed();
    void okInsertsNothing_data();
    void okInsertsNothing();
    void outputs_data();
    void outputs();
    void everyParameterEntryAlwaysGivesText();
    void blankCountsAsFilled();
    void typedTextIsNotExpandedAgain();
    void expandPattern_data();
    void expandPattern();
};

void OutputTest::directTexts_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("text");
    for (const TDirect& direct : Directs)
        QTest::addRow("%d/%d", direct.FCategory, direct.FItem)
            << direct.FCategory << direct.FItem << QString::fromUtf16(direct.FText);
}

void OutputTest::directTexts() {
    QFETCH(int, category);
    QFETCH(int, item);
    QFETCH(QString, text);

    const TSnippetEntry* entry = Entry(category, item);
    QVERIFY(entry);
    QCOMPARE(entry->FKind, skDirect);
    QCOMPARE(entry->FText, text);
    // A lone LF would break the file's CR LF line ends.
    QCOMPARE(entry->FText.count(u'\n'), entry->FText.count(u"\r\n"_s));
}

void OutputTest::everyDirectEntryIsListed() {
    std::set<std::pair<int, int>> listed;
    for (const TDirect& direct : Directs)
        listed.insert({direct.FCategory, direct.FItem});
    std::set<std::pair<int, int>> direct;
    for (int category = 0; category < CategoryCount(); ++category)
        for (int item = 0; item < ItemNames(category).size(); ++item)
            if (Entry(category, item)->FKind == skDirect)
                direct.insert({category, item});
    QCOMPARE(direct.size(), listed.size());
    QVERIFY(direct == listed);
}

void OutputTest::okInsertsNothing_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("item");

    QTest::newRow("基本 JavaScript ヘッダ") << 0 << 0;
    QTest::newRow("演算 円周率の値") << 2 << 18;
    QTest::newRow("ヒストリー 一つ前のページに戻す") << 11 << 0;
    QTest::newRow("スクリーン 画面の色数を返す") << 14 << 0;
    QTest::newRow("オリジナル テンプレートを開く") << 20 << 0;
    QTest::newRow("オリジナル テンプレートとして保存") << 20 << 1;
    QTest::newRow("no item selected") << 1 << -1;
}

void OutputTest::okInsertsNothing() {
    QFETCH(int, category);
    QFETCH(int, item);

    QCOMPARE(BuildOutput(category, item, V()), std::nullopt);
    QCOMPARE(BuildOutput(category, item, V({{1, u"a"}, {2, u"b"}, {8, u"c"}, {9, u"d"}})),
             std::nullopt);
}

void OutputTest::outputs_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("item");
    QTest::addColumn<TParamValues>("values");
    QTest::addColumn<QString>("expected");

    auto row = [](const char* name, int category, int item, TParamValues values,
                  const char16_t* expected) {
        QTest::newRow(name) << category << item << values << QString::fromUtf16(expected);
    };

    // 配列: the rules are tried in order.
    row("配列の生成 name only", 1, 0, V({{1, u"a"}}), u" = new Array()");
    row("配列の生成 count", 1, 0, V({{1, u"a"}, {2, u"10"}}), u"a = new Array(10)");
    row("配列の生成 contents", 1, 0, V({{1, u"a"}, {3, u"1,2"}}), u"a = new Array(1,2)");
    row("配列の生成 count first", 1, 0, V({{1, u"a"}, {2, u"10"}, {3, u"x"}}),
        u"a = new Array(10)");
    row("配列の生成 blanks", 1, 0, V({{1, u" "}, {2, u" "}}), u"  = new Array( )");
    row("配列内容の連結", 1, 1, V({{1, u"a"}, {2, u"-"}}), u"a.join([\"-\"])");
    row("配列内容の連結 no glue", 1, 1, V({{1, u"a"}}), u"a.join()");
    row("配列を並び替える empty name", 1, 4, V({{2, u"cmp"}}), u".sort(cmp)");
    // 演算
    row("cos number", 2, 6, V({{1, u"1"}, {2, u"x"}}), u"Math.cos(1)");
    row("cos expression", 2, 6, V({{2, u"x*2"}}), u"Math.cos(x*2)");
    row("cos empty", 2, 6, V(), u"Math.cos()");
    row("cos blank", 2, 6, V({{1, u" "}, {2, u"x"}}), u"Math.cos( )");
    row("atan2 second only", 2, 4, V({{2, u"3"}}), u"Math.atan2(,3)");
    row("pow", 2, 19, V({{1, u"2"}, {2, u"8"}}), u"Math.pow(2,8)");
    // 変換／演算
    row("parseInt radix", 3, 4, V({{1, u"ff"}, {2, u"16"}}), u"parseInt(\"ff\",16)");
    row("parseInt no radix", 3, 4, V({{1, u"ff"}}), u"parseInt(\"ff\")");
    row("eval expression", 3, 1, V({{2, u"1+2"}}), u"eval(\"1+2\")");
    row("toString", 3, 5, V({{1, u"n"}, {2, u"2"}}), u"n.toString(2)");
    // 日付
    row("Date both", 4, 0, V({{1, u"m"}, {2, u"d"}}), u"Date");
    row("Date method", 4, 0, V({{1, u"now()"}}), u"Date.now()");
    row("Date object", 4, 0, V({{2, u"d"}}), u"d= new Date");
    row("Date empty", 4, 0, V(), u"Date");
    row("getHours", 4, 3, V({{1, u"d"}}), u"d.getHours()");
    row("setDate number", 4, 11, V({{1, u"d"}, {2, u"5"}}), u"d.setDate(5)");
    row("setDate string", 4, 11, V({{1, u"d"}, {3, u"Dec 25, 1999"}}),
        u"d.setDate(\"Dec 25, 1999\")");
    row("setDate object only", 4, 11, V({{1, u"d"}}), u".setDate()");
    row("setYear no object", 4, 17, V({{2, u"99"}}), u".setYear()");
    row("Date.parse", 4, 10, V({{1, u"x"}}), u"Date.parse(\"x\")");
    // 文字列
    row("big empty", 5, 0, V(), u".big()");
    row("big", 5, 0, V({{1, u"abc"}}), u"\"abc\".big()");
    row("big blank", 5, 0, V({{1, u" "}}), u"\" \".big()");
    row("length", 5, 11, V({{1, u"ab"}}), u"\"ab\".length");
    row("charAt string only", 5, 3, V({{1, u"abc"}}), u".charAt()");
    row("charAt position only", 5, 3, V({{2, u"1"}}), u".charAt(1)");
    row("charAt both", 5, 3, V({{1, u"abc"}, {2, u"1"}}), u"\"abc\".charAt(1)");
    row("indexOf two of three", 5, 8, V({{1, u"s"}, {2, u"t"}}), u".indexOf(,)");
    row("indexOf", 5, 8, V({{1, u"s"}, {2, u"t"}, {3, u"0"}}), u"s.indexOf(t,0)");
    row("fontcolor one", 5, 6, V({{1, u"a"}}), u"\"\".fontcolor(\"\")");
    row("replace", 5, 14, V({{1, u"a"}, {2, u"b"}, {3, u"c"}}), u"\"a\".replace(\"b\",\"c\")");
    row("split string", 5, 16, V({{1, u"a"}, {2, u"x,y"}, {4, u","}}), u"a = \"x,y\".split(\",\")");
    row("split variable", 5, 16, V({{1, u"a"}, {3, u"s"}, {4, u","}}), u"a = s.split(\",\")");
    row("split no source", 5, 16, V({{1, u"a"}, {4, u","}}), u".split(\"\")");
    row("substring", 5, 20, V({{1, u"s"}, {2, u"0"}, {3, u"2"}}), u"\"s\".substring(0,2)");
    // 画像
    row("border empty", 6, 0, V(), u"document..border");
    row("border name", 6, 0, V({{1, u"img"}, {2, u"0"}}), u"document.img.border");
    row("border index", 6, 0, V({{2, u"0"}}), u"document.images[0].border");
    row("Image one", 6, 4, V({{1, u"1"}}), u"Image(,)");
    // イベント
    row("event", 7, 0, V(), u"event");
    row("event property", 7, 0, V({{1, u"x"}}), u"event.x");
    row("onMouseOver", 7, 17, V({{1, u"f()"}}), u"onMouseOver=\"f()\"");
    row("onUnload empty", 7, 24, V(), u"onUnload=\"\"");
    row("ondragdrop", 7, 8, V({{1, u"h"}}), u"ondragdrop=h");
    row("onresize", 7, 21, V({{1, u"h"}}), u"onresize=h");
    row("pageX", 7, 25, V({{1, u"e"}}), u"e.pageX");
    // ドキュメント
    row("fgColor", 8, 9, V({{1, u"red"}}), u"document.fgColor = \"red\"");
    row("fgColor empty", 8, 9, V(), u"document.fgColor");
    row("anchors", 8, 1, V({{1, u"0"}}), u"document.anchors[0]");
    row("applets one", 8, 2, V({{1, u"0"}}), u"document.applets");
    row("embeds member", 8, 8, V({{2, u"p"}}), u"document.embeds.p");
    row("embeds index only", 8, 8, V({{1, u"0"}}), u"document.embeds");
    row("getSelection", 8, 10, V({{1, u"w."}}), u"w.getSelection()");
    row("getSelection empty", 8, 10, V(), u"getSelection()");
    row("write quote kept", 8, 17, V({{1, u"a\"b"}}), u"document.write(\"a\"b\")");
    row("writeln expression", 8, 18, V({{2, u"x+1"}}), u"document.writeln(x+1)");
    // ナビゲーター
    row("plugins empty", 9, 12, V(), u"navigator.plugins[]");
    row("plugins property", 9, 12, V({{2, u"name"}}), u"navigator.plugins.name");
    row("enabledPlugin index", 9, 4, V({{2, u"0"}}), u"navigator.mimeTypes[0].enabledPlugin");
    row("suffixes", 9, 13, V({{1, u"0"}}), u"navigator.mimeTypes[0].suffixes");
    // ダイアログ, ヒストリー
    row("alert both", 10, 0, V({{1, u"1"}, {2, u"s"}}), u"alert()");
    row("alert string", 10, 0, V({{2, u"hi"}}), u"alert(\"hi\")");
    row("alert number", 10, 0, V({{1, u"1+1"}}), u"alert(1+1)");
    row("confirm variable string", 10, 1, V({{1, u"r"}, {3, u"ok?"}}), u"r=confirm(\"ok?\")");
    row("confirm variable only", 10, 1, V({{1, u"r"}}), u"confirm()");
    row("confirm all", 10, 1, V({{1, u"r"}, {2, u"x"}, {3, u"y"}}), u"confirm()");
    row("prompt message only", 10, 2, V({{2, u"m"}}), u"prompt(\"\",\"\")");
    row("history.go number", 11, 2, V({{1, u"-1"}}), u"history.go(-1)");
    row("history.go both", 11, 2, V({{1, u"1"}, {2, u"u"}}), u"history.go()");
    row("history.", 11, 3, V(), u"history.");
    // ウィンドウ
    row("window.open URL only", 12, 15, V({{1, u"u"}}), u"window.open()");
    row("window.open settings only", 12, 15, V({{3, u"s"}}), u"window.open(\"\",\"\",\"s\")");
    row("window.open URL name", 12, 15, V({{1, u"u"}, {2, u"n"}}), u"window.open(\"u\",\"n\")");
    row("innerHeight empty", 12, 9, V(), u"innerHeight =");
    row("innerHeight", 12, 9, V({{1, u"w"}}), u"w.innerHeight");
    row("bars", 12, 31, V({{2, u"toolbar"}, {8, u"true"}}), u"toolbar.visible = true");
    row("bars empty", 12, 31, V(), u"visible =");
    row("bars no value", 12, 31, V({{1, u"w"}, {2, u"b"}}), u"w.b.visible = ");
    row("locationbar value", 12, 11, V({{8, u"false"}}), u"locationbar.visible = false");
    row("locationbar window", 12, 11, V({{1, u"w"}}), u"w.locationbar.visible = ");
    row("status string", 12, 27, V({{1, u"w"}, {3, u"s"}}), u"w.status = \"s\"");
    row("status number", 12, 27, V({{2, u"1"}}), u"status = 1");
    row("status empty", 12, 27, V(), u"status =");
    row("defaultStatus window", 12, 4, V({{1, u"w"}}), u"w.defaultStatus = \"\"");
    row("moveBy one offset", 12, 13, V({{1, u"w"}, {2, u"1"}}), u"moveBy(,)");
    // フォーム
    row("action name", 13, 0, V({{1, u"f"}}), u"document.f.action");
    row("action index", 13, 0, V({{2, u"0"}}), u"document.forms[0].action");
    row("action empty", 13, 0, V(), u"document..action");
    row("blur indices", 13, 1, V({{2, u"0"}, {4, u"1"}}), u"document.forms[0].elements[1].blur()");
    row("blur names", 13, 1, V({{1, u"f"}, {3, u"e"}, {4, u"1"}}), u"document.f.e.blur()");
    row("blur empty", 13, 1, V(), u"document...blur()");
    row("blur element only", 13, 1, V({{3, u"e"}}), u"document...blur()");
    row("length form", 13, 17, V({{1, u"f"}}), u"document.f.length");
    row("length index", 13, 17, V({{2, u"0"}}), u"document.forms[0].length");
    row("length empty", 13, 17, V(), u"document..length");
    row("this.form", 13, 13, V(), u"this.form");
    row("this.name", 13, 19, V(), u"this.name");
    row("options without index", 13, 20, V({{1, u"f"}, {3, u"s"}, {5, u"p"}}),
        u"document.f.s.options.p");
    row("options with index", 13, 20, V({{2, u"0"}, {4, u"1"}, {5, u"p"}, {6, u"2"}}),
        u"document.forms[0].elements[1].options[2].p");
    row("select skeleton", 13, 26, V(), u"document...select()");
    row("defaultSelected word", 13, 7, V({{1, u"f"}, {3, u"e"}}),
        u"document.f.e.options[参照番号].defaultSelected");
    row("selectedIndex by row 6", 13, 28, V({{2, u"0"}, {6, u"3"}}),
        u"document.forms[0].elements[3].selectedIndex");
    row("selectedIndex by row 5", 13, 28, V({{1, u"f"}, {5, u"e"}}), u"document.f.e.selectedIndex");
    row("selectedIndex option", 13, 28, V({{1, u"f"}, {3, u"s"}, {7, u"2"}}),
        u"document.f.s.options[2].selectedIndex");
    row("selectedIndex mixed", 13, 28, V({{1, u"f"}, {3, u"s"}, {5, u"e"}, {7, u"2"}}),
        u"document...options[].selectedIndex");
    row("hidden by index", 13, 15, V({{1, u"f"}, {4, u"value"}, {5, u"2"}}),
        u"document.f.elements[2].value");
    row("submit object all", 13, 29, V({{1, u"f"}, {3, u"s"}, {4, u"m"}, {5, u"1"}}),
        u"document..elements[].");
    row("submit object name", 13, 29, V({{2, u"0"}, {3, u"s"}, {4, u"m"}}),
        u"document.forms[0].s.m");
    row("elements", 13, 9, V({{1, u"f"}, {3, u"1"}, {4, u"m"}}), u"document.f.elements[1].m");
    row("taint", 13, 37, V({{1, u"x"}}), u"taint(x)");
    row("option index", 13, 16, V({{2, u"0"}, {3, u"s"}, {5, u"1"}}),
        u"document.forms[0].s.options[1].index");
    // スクリーン, フレーム
    row("screen", 14, 3, V(), u"screen.");
    row("frame count", 15, 3, V({{9, u"parent.length"}}), u"parent.length");
    row("defaultStatus frame", 15, 0, V({{1, u"a"}, {3, u"s"}, {9, u"top"}}),
        u"top.a.defaultStatus = \"s\"");
    row("defaultStatus plain", 15, 0, V({{3, u"s"}, {9, u"top"}}), u"defaultStatus = \"s\"");
    row("defaultStatus empty", 15, 0, V({{9, u"top"}}), u"defaultStatus");
    row("frame member", 15, 2, V({{2, u"1"}, {4, u"m"}, {9, u"parent"}}), u"parent.frames[1].m.");
    row("frame empty", 15, 2, V({{9, u"self"}}), u"self.");
    row("frame location empty", 15, 4, V({{9, u"top"}}), u".location");
    row("frame name by name", 15, 5, V({{1, u"a"}, {2, u"1"}, {9, u"top"}}), u"top.a.name");
    row("parent.", 15, 6, V(), u"parent.");
    row("self index", 15, 7, V({{2, u"1"}}), u"self.frames[1]");
    row("status= empty", 15, 8, V(), u"status=");
    row("status= string", 15, 8, V({{2, u"s"}}), u"status=\"s\"");
    // リンク
    row("hash area", 16, 4, V({{2, u"area"}}), u"document.area.hash");
    row("hash link", 16, 4, V({{1, u"0"}}), u"document.links[0].hash");
    row("hash empty", 16, 4, V(), u"document..hash");
    row("target area", 16, 19, V({{2, u"a"}}), u"document.a.target");
    row("link one", 16, 9, V({{1, u"a"}}), u"\"\".link(\"\")");
    row("area object", 16, 2, V({{2, u"a"}, {3, u"p"}}), u"document.a.p");
    row("location object", 16, 11, V({{2, u"href"}}), u"document.location.href");
    row("replace", 16, 17, V({{1, u"w"}}), u"location.replace()");
    // レイヤー
    row("visibility", 17, 26, V({{1, u"L1"}, {9, u"show"}}),
        u"document.layers[\"L1\"].visibility = show");
    row("visibility empty", 17, 26, V({{9, u"show"}}), u"document.layers[].visibility = ");
    row("above index", 17, 0, V({{2, u"0"}}), u"document.layers[0].above.name");
    row("siblingAbove name", 17, 22, V({{1, u"L"}}), u"document.layers[\"L\"].siblingAbove.name");
    row("bgColor no colour", 17, 2, V({{1, u"L"}}), u"document.layers[].bgColor = \"\"");
    row("moveTo", 17, 17, V({{2, u"0"}, {3, u"1"}, {4, u"2"}}), u"document.layers[0].moveTo(1,2)");
    row("zIndex", 17, 27, V({{1, u"L"}, {3, u"3"}}), u"document.layers[\"L\"].zIndex = 3");
    row("layer.", 17, 11, V(), u"document.layer.");
    // タイマー, その他
    row("setInterval two of three", 18, 2, V({{1, u"t"}, {2, u"f"}}), u" = setInterval()");
    row("setTimeout", 18, 3, V({{1, u"t"}, {2, u"f"}, {3, u"9"}}), u"t=setTimeout(f,9)");
    row("Number name", 19, 4, V({{1, u"n"}}), u"n=new Number()");
    row("Number empty", 19, 4, V(), u" = new Number()");
    row("String empty", 19, 6, V(), u"= new String()");
    row("arguments index", 19, 0, V({{2, u"0"}}), u"arguments[0]");
    row("prototype", 19, 5, V({{1, u"o"}, {2, u"p"}, {3, u"1"}}), u"o.prototype.p=1");
}

void OutputTest::outputs() {
    QFETCH(int, category);
    QFETCH(int, item);
    QFETCH(TParamValues, values);
    QFETCH(QString, expected);

    const std::optional<QString> text = BuildOutput(category, item, values);
    QVERIFY(text);
    QCOMPARE(*text, expected);
}

void OutputTest::everyParameterEntryAlwaysGivesText() {
    for (int category = 0; category < CategoryCount(); ++category) {
        for (int item = 0; item < ItemNames(category).size(); ++item) {
            const bool param = Entry(category, item)->FKind == skParam;
            QCOMPARE(BuildOutput(category, item, V()).has_value(), param);
            // Every open row filled.
            TParamValues all;
            for (QString& edit : all.FEdits)
                edit = u"x"_s;
            all.FComboBox1 = u"x"_s;
            all.FComboBox2Entry = u"x"_s;
            QCOMPARE(BuildOutput(category, item, all).has_value(), param);
        }
    }
}

void OutputTest::blankCountsAsFilled() {
    // For every entry and every single row: a blank picks the same form as a letter does, and
    // is copied where the letter would be.
    for (int category = 0; category < CategoryCount(); ++category) {
        for (int item = 0; item < ItemNames(category).size(); ++item) {
            const TSnippetEntry& entry = *Entry(category, item);
            if (entry.FKind != skParam)
                continue;
            for (int row = 0; row < RowCount; ++row) {
                if (!IsOpen(entry, TParamRow(row)))
                    continue;
                TParamValues blank;
                TParamValues letter;
                blank.Value(TParamRow(row)) = u" "_s;
                letter.Value(TParamRow(row)) = u"\x01"_s;
                QCOMPARE(ChooseForm(entry, blank), ChooseForm(entry, letter));
                QCOMPARE(*BuildOutput(category, item, blank),
                         BuildOutput(category, item, letter)->replace(u'\x01', u' '));
            }
        }
    }
}

void OutputTest::typedTextIsNotExpandedAgain() {
    // Text that looks like a placeholder is inserted as typed.
    QCOMPARE(*BuildOutput(1, 2, V({{1, u"{Edit2}"}, {2, u"x"}})), u"{Edit2}.length"_s);
    QCOMPARE(*BuildOutput(15, 3, V({{9, u"{Edit1}"}, {1, u"x"}})), u"{Edit1}"_s);
}

void OutputTest::expandPattern_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("literal only") << u"document..x"_s << u"document..x"_s;
    QTest::newRow("first and last edit") << u"{Edit1}-{Edit7}"_s << u"a-g"_s;
    QTest::newRow("empty edit") << u"[{Edit2}]"_s << u"[]"_s;
    QTest::newRow("choice boxes") << u"{ComboBox1}/{ComboBox2 entry}"_s << u"c1/c2"_s;
    QTest::newRow("not a placeholder")
        << u"{Edit8}{Edit0}{ComboBox2}{edit1}"_s << u"{Edit8}{Edit0}{ComboBox2}{edit1}"_s;
    QTest::newRow("unclosed at the end") << u"x{Edit1"_s << u"x{Edit1"_s;
    QTest::newRow("brace before placeholder") << u"{{Edit1}}"_s << u"{a}"_s;
}

void OutputTest::expandPattern() {
    QFETCH(QString, pattern);
    QFETCH(QString, expected);

    QCOMPARE(ExpandPattern(pattern, V({{1, u"a"}, {7, u"g"}, {8, u"c1"}, {9, u"c2"}})), expected);
}

QTEST_APPLESS_MAIN(OutputTest)
#include "OutputTest.moc"
