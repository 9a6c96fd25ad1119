// The editor control's option objects and the control's extras: stored rule, assignment,
// change reporting, the edit area on the formatting rectangle, the window-creation step, the
// line-break options and the composition colours.

#include "editor/ExtMemo.h"
#include "ShownMemo.h"
#include "platform/Error.h"
#include "platform/FontSubstitution.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>
#include <functional>

namespace {

// Counts what the option objects ask of their control.
struct TFakeOwner : TEditAreaOwner, TImeColorsOwner, TWordWrapOwner {
    int EditAreaRequests = 0;
    int ImeColorRequests = 0;
    QStringList Log; // word-wrap and punctuation requests in order
    bool Refuse = false;
    bool IsWriting = false;
    void ApplyEditArea() override { ++EditAreaRequests; }
    void ApplyImeColors() override { ++ImeColorRequests; }
    void SetControlWordWrapMode(uint32_t word) override {
        Log << QStringLiteral("mode %1").arg(word, 0, 16);
    }
    bool SetControlPunctuation(int kind, const QString& text) override {
        Log << QStringLiteral("punct %1 %2").arg(kind).arg(text);
        return !Refuse;
    }
    bool Writing() const override { return IsWriting; }
    virtual ~TFakeOwner() = default;
};

} // namespace

class TExtMemoTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { RegisterFontSubstitutions(); }

    void colorToRgb_data();
    void colorToRgb();
    void storedRule();
    void assignFromOtherClassFails_data();
    void assignFromOtherClassFails();
    void editAreaChanges_data();
    void editAreaChanges();
    void imeColorChanges_data();
    void imeColorChanges();

    void punctuationModeOfWord_data();
    void punctuationModeOfWord();
    void wordWrapRequests_data();
    void wordWrapRequests();
    void punctuationReadsCustomRowWhileWriting();
    void refusedPunctuationIsCleared_data();
    void refusedPunctuationIsCleared();
    void levelRowsComeFromTheControl();

    void editAreaOnFormatRect_data();
    void editAreaOnFormatRect();
    void editAreaWrapsAtWidth();
    void disabledEditAreaKeepsRectangle();
    void editAreaOffWhenVerticalOrNoWrap();
    void assignedEditAreaKeepsEnabled();
    void creationDerivesEditArea();
    void overFlowIsOneFullWidthCharacter();
    void currentColumn_data();
    void currentColumn();
    void imeColorsReachComposition();
    void equalImeColorsSendNothing();
    void controlImeColorsByDefault();
};

// A control whose composition formats the test can read.
class TProbeMemo : public TExtMemo {
public:
    using TExtMemo::ImeFormat;
};

void TExtMemoTest::colorToRgb_data() {
    QTest::addColumn<TColor>("color");
    QTest::addColumn<QColor>("expected");
    QPalette p = QGuiApplication::palette();
    QTest::newRow("red is the low byte") << TColor(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("blue is the high byte") << TColor(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("silver") << clSilver << QColor(0xC0, 0xC0, 0xC0);
    QTest::newRow("top byte of a plain colour ignored")
        << TColor(0x01123456) << QColor(0x56, 0x34, 0x12);
    QTest::newRow("button face") << clBtnFace << p.color(QPalette::Button);
    QTest::newRow("window text") << clWindowText << p.color(QPalette::Text);
    QTest::newRow("highlight") << clHighlight << p.color(QPalette::Highlight);
}

void TExtMemoTest::colorToRgb() {
    QFETCH(TColor, color);
    QFETCH(QColor, expected);
    QCOMPARE(QColorFromTColor(color), expected);
    QVERIFY((ColorToRgb(color) & 0xFF000000) == 0);
}

void TExtMemoTest::storedRule() {
    // Each case: the property on a fresh object is its default (not stored); after the change
    // it is stored.
    struct TCase {
        const char* Name;
        std::function<bool(bool change)> Run; // returns IsStored after (maybe) changing
    };
    const std::vector<TCase> cases = {
        {"EditArea.Enabled",
         [](bool c) {
             TEditArea a;
             if (c)
                 a.SetEnabled(true);
             return a.IsStored(u"Enabled");
         }},
        {"EditArea.Width",
         [](bool c) {
             TEditArea a;
             if (c)
                 a.SetWidth(320);
             return a.IsStored(u"Width");
         }},
        {"EditArea.OverFlow",
         [](bool c) {
             TEditArea a;
             if (c)
                 a.SetOverFlow(16);
             return a.IsStored(u"OverFlow");
         }},
        {"EditMargin.Bottom",
         [](bool c) {
             TEditMargin m;
             if (c)
                 m.SetBottom(2);
             return m.IsStored(u"Bottom");
         }},
        {"EditMark.Color",
         [](bool c) {
             TEditMark m;
             if (c)
                 m.SetColor(clRed);
             return m.IsStored(u"Color");
         }},
        {"EditMark.Reversed",
         [](bool c) {
             TEditMark m;
             if (c)
                 m.SetReversed(true);
             return m.IsStored(u"Reversed");
         }},
        {"Marker.Enabled",
         [](bool c) {
             TMarker m;
             if (c)
                 m.SetEnabled(true);
             return m.IsStored(u"Enabled");
         }},
        {"ImeColor.Style",
         [](bool c) {
             TImeColor i;
             if (c)
                 i.SetStyle(fsItalic);
             return i.IsStored(u"Style");
         }},
        {"ImeColor.icBackground",
         [](bool c) {
             TImeColor i;
             if (c)
                 i.SeticBackground(clWhite);
             return i.IsStored(u"icBackground");
         }},
        {"WordWrapOption.WordWrapMode",
         [](bool c) {
             TWordWrapOption w;
             if (c)
                 w.SetWordWrapMode(wbfOverFlow);
             return w.IsStored(u"WordWrapMode");
         }},
        {"WordWrapOption.pcLeading",
         [](bool c) {
             TWordWrapOption w;
             if (c)
                 w.SetpcLeading(QStringLiteral("（"));
             return w.IsStored(u"pcLeading");
         }},
        {"ExtMemo.LineSelect",
         [](bool c) {
             TExtMemo m;
             if (c)
                 m.SetLineSelect(false);
             return m.IsStored(u"LineSelect");
         }},
        {"ExtMemo.Vertical",
         [](bool c) {
             TExtMemo m;
             if (c)
                 m.SetVertical(true);
             return m.IsStored(u"Vertical");
         }},
    };
    for (const TCase& c : cases) {
        QVERIFY2(!c.Run(false), c.Name);
        QVERIFY2(c.Run(true), c.Name);
    }
    // The punctuation mode's default is the custom set, which a fresh word of 0 does not name.
    TWordWrapOption option;
    QVERIFY(option.IsStored(u"PunctuationMode"));
    option.SetPunctuationMode(wbfCustom);
    QVERIFY(!option.IsStored(u"PunctuationMode"));
    QVERIFY_THROWS_EXCEPTION(EQuorvelError, option.IsStored(u"NoSuchThing"));
}

void TExtMemoTest::assignFromOtherClassFails_data() {
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("source");
    for (int t = 0; t < 4; ++t)
        for (int s = 0; s < 4; ++s)
            if (s != t)
                QTest::addRow("%d from %d", t, s) << t << s;
}

void TExtMemoTest::assignFromOtherClassFails() {
    QFETCH(int, target);
    QFETCH(int, source);
    TEditMark mark;
    TMarker marker;
    TImeColor color;
    TEditArea area;
    TPersistent* objects[] = {&mark, &marker, &color, &area};
    mark.SetEnabled(true);
    try {
        objects[target]->Assign(*objects[source]);
        QFAIL("no error");
    } catch (const EQuorvelError& e) {
        QVERIFY(e.Message().contains(objects[source]->ClassName()));
        QVERIFY(e.Message().contains(objects[target]->ClassName()));
    }
    QVERIFY(mark.Enabled()); // a failed assignment changes nothing
    QCOMPARE(marker.Enabled(), false);
}

void TExtMemoTest::editAreaChanges_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("left");
    QTest::newRow("width changed") << 0 << 1 << 100 << 5;
    QTest::newRow("width negative ignored") << 1 << 0 << 50 << 5;
    QTest::newRow("width unchanged") << 2 << 0 << 50 << 5;
    QTest::newRow("margin changed through the area") << 3 << 1 << 50 << 7;
    QTest::newRow("margin negative ignored") << 4 << 0 << 50 << 5;
    QTest::newRow("enabled on applies") << 5 << 1 << 50 << 5;
    QTest::newRow("enabled off sends nothing") << 6 << 0 << 50 << 5;
    QTest::newRow("assigned area applies once") << 7 << 1 << 77 << 9;
    QTest::newRow("assigned margin applies once") << 8 << 1 << 50 << 9;
}

void TExtMemoTest::editAreaChanges() {
    QFETCH(int, action);
    QFETCH(int, requests);
    TFakeOwner owner;
    TEditArea area(&owner);
    area.SetWidth(50);
    area.Margin().SetLeft(5);
    if (action == 6)
        area.SetEnabled(true);
    owner.EditAreaRequests = 0;
    TEditArea other;
    other.Margin().SetLeft(9);
    other.SetWidth(77);
    other.SetEnabled(true);
    switch (action) {
    case 0:
        area.SetWidth(100);
        break;
    case 1:
        area.SetWidth(-1);
        break;
    case 2:
        area.SetWidth(50);
        break;
    case 3:
        area.Margin().SetLeft(7);
        break;
    case 4:
        area.Margin().SetTop(-3);
        break;
    case 5:
        area.SetEnabled(true);
        break;
    case 6:
        area.SetEnabled(false);
        break;
    case 7:
        area.Assign(other);
        break;
    case 8:
        area.SetMargin(other.Margin());
        break;
    }
    QCOMPARE(owner.EditAreaRequests, requests);
    QTEST(area.Width(), "width");
    QTEST(area.Margin().Left(), "left");
    // Assigning an area never switches it on or off.
    QCOMPARE(area.Enabled(), action == 5);
}

void TExtMemoTest::imeColorChanges_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("requests");
    QTest::newRow("text colour changed") << 0 << 1;
    QTest::newRow("text colour unchanged") << 1 << 0;
    QTest::newRow("style changed") << 2 << 1;
    QTest::newRow("set from an equal colour") << 3 << 0;
    QTest::newRow("set from a colour differing in all three") << 4 << 1;
    QTest::newRow("whole set assigned: one request") << 5 << 1;
}

void TExtMemoTest::imeColorChanges() {
    QFETCH(int, action);
    TFakeOwner owner;
    TImeColors colors(&owner);
    colors.Transfered().SeticText(clRed);
    owner.ImeColorRequests = 0;
    TImeColor equal, different;
    equal.SeticText(clRed);
    different.SeticText(clBlue);
    different.SeticBackground(clWhite);
    different.SetStyle(fsBold | fsUnderline);
    TImeColors all;
    for (int i = 0; i < 4; ++i)
        all.Color(i).SetStyle(fsStrikeOut);
    switch (action) {
    case 0:
        colors.Transfered().SeticText(clBlue);
        break;
    case 1:
        colors.Transfered().SeticText(clRed);
        break;
    case 2:
        colors.Transfered().SetStyle(fsItalic);
        break;
    case 3:
        colors.SetTransfered(equal);
        break;
    case 4:
        colors.SetTransfered(different);
        break;
    case 5:
        colors.Assign(all);
        break;
    }
    QTEST(owner.ImeColorRequests, "requests");
    if (action == 4)
        QVERIFY(colors.Transfered().SameValues(different));
    if (action == 5)
        QVERIFY(colors.SameValues(all));
}

void TExtMemoTest::punctuationModeOfWord_data() {
    QTest::addColumn<uint>("word");
    QTest::addColumn<int>("mode");
    QTest::newRow("0 reads as level 2") << 0u << int(wbfLevel2);
    QTest::newRow("custom") << 0x200u << int(wbfCustom);
    QTest::newRow("custom with flags") << 0x270u << int(wbfCustom);
    QTest::newRow("level 1") << 0xF0u << int(wbfLevel1);
    QTest::newRow("level 2") << 0x170u << int(wbfLevel2);
    QTest::newRow("level 1 and 2 read as level 2") << 0x180u << int(wbfLevel2);
    QTest::newRow("custom and level 1 read as level 1") << 0x280u << int(wbfLevel1);
    QTest::newRow("custom and level 2 read as level 2") << 0x300u << int(wbfLevel2);
}

void TExtMemoTest::punctuationModeOfWord() {
    QFETCH(uint, word);
    // The option mirrors the control's word when it is read.
    TExtMemo memo;
    memo.SetControlWordWrapMode(word);
    QTEST(int(memo.WordWrapOption().PunctuationMode()), "mode");
    QCOMPARE(memo.WordWrapOption().ModeWord(), word);
}

void TExtMemoTest::wordWrapRequests_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<uint>("word");
    QTest::newRow("flags on a word of 0 name the custom set")
        << 0 << QStringList{QStringLiteral("mode 220")} << 0x220u;
    QTest::newRow("same punctuation mode sends nothing") << 1 << QStringList{} << 0x170u;
    QTest::newRow("other punctuation mode keeps the flags")
        << 2 << QStringList{QStringLiteral("mode f0")} << 0xF0u;
    QTest::newRow("same flags send nothing") << 3 << QStringList{} << 0x170u;
    QTest::newRow("unchanged string still switches to custom")
        << 4 << QStringList{QStringLiteral("mode 270")} << 0x270u;
    QTest::newRow("new string: custom first, then the string")
        << 5 << QStringList{QStringLiteral("mode 270"), QStringLiteral("punct 3 、。")} << 0x270u;
    QTest::newRow("assignment applies the table")
        << 6 << QStringList{QStringLiteral("mode 270"),   QStringLiteral("punct 1 ）"),
                            QStringLiteral("punct 2 （"), QStringLiteral("punct 3 "),
                            QStringLiteral("punct 4 "),   QStringLiteral("mode 130")}
        << 0x130u;
}

void TExtMemoTest::wordWrapRequests() {
    QFETCH(int, action);
    TFakeOwner owner;
    TWordWrapOption option(&owner);
    if (action > 0) {
        option.SetWordWrapMode(wbfWordWrap | wbfWordBreak | wbfOverFlow);
        option.SetPunctuationMode(wbfLevel2);
        if (action == 4) {
            option.SetpcLeading(QStringLiteral("（"));
            option.SetPunctuationMode(wbfLevel2);
        }
    }
    owner.Log.clear();
    TWordWrapOption source;
    source.SetpcFollowing(QStringLiteral("）"));
    source.SetpcLeading(QStringLiteral("（"));
    source.SetPunctuationMode(wbfLevel2);
    source.SetWordWrapMode(wbfWordWrap | wbfWordBreak);
    switch (action) {
    case 0:
        option.SetWordWrapMode(wbfWordBreak);
        break;
    case 1:
        option.SetPunctuationMode(wbfLevel2);
        break;
    case 2:
        option.SetPunctuationMode(wbfLevel1);
        break;
    case 3:
        option.SetWordWrapMode(wbfWordWrap | wbfWordBreak | wbfOverFlow);
        break;
    case 4:
        option.SetpcLeading(QStringLiteral("（"));
        break;
    case 5:
        option.SetpcOverFlow(QStringLiteral("、。"));
        break;
    case 6:
        option.Assign(source);
        break;
    }
    QTEST(owner.Log, "log");
    QTEST(option.ModeWord(), "word");
    if (action == 4 || action == 5)
        QCOMPARE(option.PunctuationMode(), wbfCustom);
}

void TExtMemoTest::punctuationReadsCustomRowWhileWriting() {
    TExtMemo memo;
    TWordWrapOption& option = memo.WordWrapOption();
    option.SetpcFollowing(QStringLiteral("ぁぃ"));
    QCOMPARE(option.pcFollowing(), QStringLiteral("ぁぃ"));
    option.SetPunctuationMode(wbfLevel1);
    QCOMPARE(option.pcFollowing(), Level1Rules().Following);
    memo.SetWriting(true);
    QCOMPARE(option.pcFollowing(), QStringLiteral("ぁぃ"));
    QCOMPARE(option.PunctuationMode(), wbfLevel1);
}

void TExtMemoTest::refusedPunctuationIsCleared_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("kept");
    QTest::newRow("ordinary") << QStringLiteral("、。）」") << true;
    QTest::newRow("longest the buffer holds") << QString(2047, u'」') << true;
    QTest::newRow("one too long") << QString(2048, u'」') << false;
    QTest::newRow("line end") << QStringLiteral("、\r\n") << false;
    QTest::newRow("tab") << QStringLiteral("\t") << false;
}

void TExtMemoTest::refusedPunctuationIsCleared() {
    QFETCH(QString, text);
    QFETCH(bool, kept);
    TExtMemo memo;
    memo.WordWrapOption().SetpcDelimiter(QStringLiteral("x"));
    memo.WordWrapOption().SetpcDelimiter(text);
    QCOMPARE(memo.WordWrapOption().pcDelimiter(), kept ? text : QString());
    // The control agrees with the object: the custom set in force is what the object reports.
    QCOMPARE(memo.ControlPunctuation(PC_DELIMITER), memo.WordWrapOption().pcDelimiter());
    // Without an owner nothing refuses.
    TWordWrapOption free;
    free.SetpcDelimiter(text);
    QCOMPARE(free.pcDelimiter(), text);
}

void TExtMemoTest::levelRowsComeFromTheControl() {
    TExtMemo memo;
    TWordWrapOption& option = memo.WordWrapOption();
    const uint32_t before = memo.ControlWordWrapMode();
    option.SetPunctuationMode(wbfLevel2);
    QCOMPARE(option.pcFollowing(), Level2Rules().Following);
    QCOMPARE(option.pcOverFlow(), Level2Rules().OverFlowChars);
    option.SetPunctuationMode(wbfLevel1);
    QCOMPARE(option.pcLeading(), Level1Rules().Leading);
    QCOMPARE(option.pcDelimiter(), Level1Rules().Delimiters);
    QVERIFY(Level1Rules().Following != Level2Rules().Following);
    QCOMPARE(memo.ControlWordWrapMode(), (before & ~0x380u) | WBF_LEVEL1);
}

void TExtMemoTest::editAreaOnFormatRect_data() {
    QTest::addColumn<bool>("lineSelect");
    QTest::addColumn<QList<int>>("margin"); // left, top, bottom
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("overflow");
    QTest::addColumn<QRect>("rect"); // bottom given as the distance from the client bottom
    QTest::newRow("plain") << true << QList<int>{20, 5, 7} << 300 << 16 << QRect(20, 5, 316, 7);
    QTest::newRow("left 3 raised to 10 for the selection bar")
        << true << QList<int>{3, 0, 0} << 200 << 16 << QRect(10, 0, 216, 0);
    QTest::newRow("left 3 kept without the bar")
        << false << QList<int>{3, 0, 0} << 200 << 16 << QRect(3, 0, 216, 0);
    QTest::newRow("no overflow") << false << QList<int>{0, 2, 4} << 320 << 0 << QRect(0, 2, 320, 4);
}

void TExtMemoTest::editAreaOnFormatRect() {
    QFETCH(bool, lineSelect);
    QFETCH(QList<int>, margin);
    QFETCH(int, width);
    QFETCH(int, overflow);
    QFETCH(QRect, rect);
    TShownMemo shown;
    TExtMemo& memo = shown.Memo;
    memo.SetLineSelect(lineSelect);
    TEditArea& area = memo.EditArea();
    area.SetEnabled(true);
    area.Margin().SetLeft(margin[0]);
    area.Margin().SetTop(margin[1]);
    area.Margin().SetBottom(margin[2]);
    area.SetWidth(width);
    area.SetOverFlow(overflow);
    const int clientBottom = memo.viewport()->height() - 1;
    const QRect r = memo.FormatRect();
    QCOMPARE(r.topLeft(), rect.topLeft());
    QCOMPARE(r.width(), rect.width());
    QCOMPARE(clientBottom - r.bottom(), rect.height());
    QCOMPARE(memo.OverflowWidth(), overflow);
    QCOMPARE(area.Margin().Left(), rect.left());
    // The rectangle's bottom follows the window.
    memo.resize(memo.width(), memo.height() + 40);
    QCOMPARE(memo.viewport()->height() - 1 - memo.FormatRect().bottom(), rect.height());
}

void TExtMemoTest::editAreaWrapsAtWidth() {
    TShownMemo shown;
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(QString(30, u'あ'));
    memo.EditArea().SetWidth(300);
    memo.EditArea().SetOverFlow(16);
    memo.EditArea().SetEnabled(true);
    // 16 pixels a character: 18 fit in 300, the 19th would end at 304.
    QCOMPARE(memo.LineCount(), 2);
    QCOMPARE(memo.LineIndex(1), 18);
}

void TExtMemoTest::disabledEditAreaKeepsRectangle() {
    TShownMemo shown;
    TExtMemo& memo = shown.Memo;
    const QRect initial = memo.FormatRect();
    memo.EditArea().SetWidth(100); // not enabled: nothing applied
    QCOMPARE(memo.FormatRect(), initial);
    memo.EditArea().SetEnabled(true);
    const QRect applied = memo.FormatRect();
    QCOMPARE(applied.width(), 100 + memo.EditArea().OverFlow());
    memo.EditArea().SetEnabled(false);
    QCOMPARE(memo.FormatRect(), applied);
    memo.EditArea().SetWidth(150);
    QCOMPARE(memo.FormatRect(), applied);
}

void TExtMemoTest::editAreaOffWhenVerticalOrNoWrap() {
    for (bool vertical : {true, false}) {
        TShownMemo shown;
        TExtMemo& memo = shown.Memo;
        if (vertical)
            memo.SetVertical(true);
        else
            memo.SetWordWrap(false);
        const QRect initial = memo.FormatRect();
        memo.EditArea().SetEnabled(true);
        memo.EditArea().SetWidth(100);
        memo.EditArea().Margin().SetLeft(40);
        QCOMPARE(memo.FormatRect(), initial);
        QCOMPARE(memo.OverflowWidth(), 0);
    }
}

void TExtMemoTest::assignedEditAreaKeepsEnabled() {
    TShownMemo shown;
    TExtMemo& memo = shown.Memo;
    TEditArea source;
    source.SetEnabled(true);
    source.Margin().SetLeft(30);
    source.Margin().SetTop(4);
    source.SetWidth(123);
    source.SetOverFlow(9);
    const QRect initial = memo.FormatRect();
    memo.SetEditArea(source);
    QVERIFY(!memo.EditArea().Enabled());
    QCOMPARE(memo.FormatRect(), initial);
    QCOMPARE(memo.EditArea().Width(), 123);
    QCOMPARE(memo.EditArea().OverFlow(), 9);
    QCOMPARE(memo.EditArea().Margin().Top(), 4);
    memo.EditArea().SetEnabled(true);
    QCOMPARE(memo.FormatRect(), QRect(30, 4, 132, memo.viewport()->height() - 4));
}

void TExtMemoTest::creationDerivesEditArea() {
    TShownMemo shown;
    TExtMemo& memo = shown.Memo;
    memo.Buffer().SetText(QStringLiteral("本文\r\n二行目"));
    memo.Buffer().SetModified(true);
    memo.EditArea().SetEnabled(true);
    memo.EditArea().SetWidth(77);
    memo.EditArea().Margin().SetTop(13);
    memo.EditArea().Margin().SetBottom(21);
    memo.SetLineSelect(false); // recreates the window
    const QRect r = memo.FormatRect();
    const TEditArea& area = memo.EditArea();
    QCOMPARE(area.Margin().Left(), r.left());
    QCOMPARE(area.Margin().Top(), r.top());
    QCOMPARE(area.Margin().Bottom(), memo.viewport()->height() - 1 - r.bottom());
    QCOMPARE(area.OverFlow(), 16);
    QCOMPARE(area.Width(), r.width() - 16);
    QVERIFY(area.Width() > 300);
    QVERIFY(!memo.SelectionBar());
    QCOMPARE(memo.Buffer().Text(0, memo.TextLength()), QStringLiteral("本文\r\n二行目"));
    QVERIFY(memo.Buffer().Modified());
    // Applying the derived values reproduces the live rectangle.
    memo.EditArea().SetWidth(area.Width() + 1);
    memo.EditArea().SetWidth(area.Width() - 1);
    QCOMPARE(memo.FormatRect(), r);
}

void TExtMemoTest::overFlowIsOneFullWidthCharacter() {
    TShownMemo shown;
    QCOMPARE(QFontInfo(shown.Memo.font()).family(), QStringLiteral("IPAGothic"));
    QFont ipa(QStringLiteral("IPAGothic"));
    ipa.setPixelSize(16);
    const int square = QFontMetrics(ipa).horizontalAdvance(QString(QChar(0x25A1)));
    QCOMPARE(square, 16);
    QCOMPARE(shown.Memo.EditArea().OverFlow(), square);
}

void TExtMemoTest::currentColumn_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::newRow("start") << QStringLiteral("abc") << 0 << 0 << 0;
    QTest::newRow("half-width") << QStringLiteral("abc") << 2 << 0 << 2;
    QTest::newRow("full-width counts 2") << QStringLiteral("あいう") << 2 << 0 << 4;
    QTest::newRow("mixed") << QStringLiteral("aあb") << 3 << 0 << 4;
    QTest::newRow("half-width katakana counts 1") << QStringLiteral("ｱｲ") << 2 << 0 << 2;
    QTest::newRow("full-width Latin counts 2") << QStringLiteral("ＡＢ") << 1 << 0 << 2;
    QTest::newRow("surrogate pair is one wide character")
        << QStringLiteral("\U0002000Ba") << 3 << 0 << 3;
    QTest::newRow("second line") << QStringLiteral("xy\r\nあa") << 6 << 1 << 3;
    QTest::newRow("after a line end") << QStringLiteral("xy\r\nあa") << 4 << 1 << 0;
    QTest::newRow("wrapped line counts from its display start")
        << QString(30, u'あ') << 20 << 1 << 4;
}

void TExtMemoTest::currentColumn() {
    QFETCH(QString, text);
    QFETCH(int, selStart);
    TShownMemo shown;
    TExtMemo& memo = shown.Memo;
    memo.EditArea().SetWidth(300);
    memo.EditArea().SetEnabled(true);
    memo.Buffer().SetText(text);
    memo.SetSelection(selStart, selStart + 1 <= text.size() ? selStart + 1 : selStart);
    QTEST(int(memo.CurrentLine()), "line");
    QTEST(int(memo.CurrentColumn()), "column");
}

void TExtMemoTest::imeColorsReachComposition() {
    TProbeMemo memo;
    TImeColor watching;
    watching.SeticText(clRed);
    watching.SeticBackground(clBtnFace);
    watching.SetStyle(fsBold | fsStrikeOut);
    memo.ImeColors().SetWatchingTransfered(watching);
    // Sent to the control resolved to plain RGB.
    QCOMPARE(memo.ControlImeColors()[1].Background, ColorToRgb(clBtnFace, memo.palette()));
    QCOMPARE(memo.ControlImeColors()[1].Effects, 1u | 8u);
    const QTextCharFormat f = memo.ImeFormat(isWatchingTransfered);
    QCOMPARE(f.foreground().color(), QColor(255, 0, 0));
    QCOMPARE(f.background().color(), memo.palette().color(QPalette::Button));
    QCOMPARE(f.fontWeight(), int(QFont::Bold));
    QVERIFY(f.fontStrikeOut());
    QVERIFY(!f.fontUnderline());
    QVERIFY(!f.fontItalic());
    // The other segments keep their own colours.
    const QTextCharFormat other = memo.ImeFormat(isWatchingUntransfered);
    QCOMPARE(other.foreground().color(), QColor(255, 255, 255));
    QCOMPARE(other.background().color(), QColor(0, 0, 0));
}

void TExtMemoTest::equalImeColorsSendNothing() {
    TExtMemo memo;
    TImeColors owned;
    owned.Assign(memo.ImeColors()); // the values the control reported
    // The control is told something else directly; the owned object does not know.
    TCompColors direct = memo.ControlImeColors();
    direct[2].Text = 0x123456;
    memo.SetControlImeColors(direct);
    memo.SetImeColors(owned); // equal to the owned values: no request
    QCOMPARE(memo.ControlImeColors()[2].Text, 0x123456u);
    // One colour differing sends all four.
    owned.Untransfered().SetStyle(fsItalic);
    memo.SetImeColors(owned);
    QCOMPARE(memo.ControlImeColors()[2].Text, 0u);
    QCOMPARE(memo.ControlImeColors()[0].Effects, uint32_t(fsItalic));
}

void TExtMemoTest::controlImeColorsByDefault() {
    TExtMemo memo;
    TImeColors& colors = memo.ImeColors();
    const TColor text[] = {clBlack, clBlack, clBlack, clWhite};
    const TColor background[] = {clWhite, clGray, clWhite, clBlack};
    const TFontStyles style[] = {fsUnderline, {}, fsUnderline, {}};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(colors.Color(i).icText(), text[i]);
        QCOMPARE(colors.Color(i).icBackground(), background[i]);
        QCOMPARE(colors.Color(i).Style(), style[i]);
    }
    // While loading, reading does not replace what was set.
    memo.SetLoading(true);
    colors.Transfered().SeticText(clRed);
    QCOMPARE(memo.ImeColors().Transfered().icText(), clRed);
}

QTEST_MAIN(TExtMemoTest)
#include "ExtMemoTest.moc"
