// The editor control's option objects and the control's extras: stored rule, assignment,
// change reporting, the edit area on the formatting rectangle, the window-creation step, the
// line-break options and the composition colours.

#include "editor/ExtMemo.h"
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

QFont EditorFont() {
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(16);
    return font;
}

// A control with the editing window's font, shown so that its viewport has its real size.
struct TShownMemo {
    TExtMemo Memo;
    explicit TShownMemo(QSize size = QSize(500, 300)) {
        Memo.SetTextFont(EditorFont());
        Memo.resize(size);
        Memo.show();
        if (!QTest::qWaitForWindowExposed(&Memo))
            qWarning("editor window not exposed");
        Memo.RecreateWnd();
    }
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

QTEST_MAIN(TExtMemoTest)
#include "ExtMemoTest.moc"
