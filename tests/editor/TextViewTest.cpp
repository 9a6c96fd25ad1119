// The text control driven as a user drives it: keys, mouse, input method, on wrapped text.

#include "editor/TextView.h"
#include "editor/LineNumberGutter.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Kanji and kana cannot go through QTest::keyClicks: send the key event with its text.
void Type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(w, Qt::Key(key), mods);
}

} // namespace

class TTextViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { delete FView; }
    void TypingAndLineEnds();
    void BackspaceNeverSplitsCrLf();
    void CaretKeys_data();
    void CaretKeys();
    void WordsAreRunsOfOneScript();
    void MouseClickDragAndDoubleClick();
    void SelectionBarSelectsLines();
    void InputMethodCompositionAndCommit();
    void ReadOnlyRefusesEveryEdit();
    void PasteTakesTheDocumentsLineEnds();
    void PointAndCharRoundTripOnWrappedText();
    void WrapFollowsFormatRect();
    void FindForwardBackwardWholeWord();
    void OverwriteReplacesCharacters();
    void AccessibleTextCaretAndSelection();
    void PrintsEveryLineOnPages();
    void KeyEventsAndAHandlerThatTakesTheKey();
    void LinesBelowAnEditMoveWithIt();
    void CaretStaysAtWrappedLineEnds();
    void UpDownKeepTheColumnAcrossShorterLines();
    void KanaWordsKeepLongVowelAndIterationMarks_data();
    void KanaWordsKeepLongVowelAndIterationMarks();
    void SelectionBarByLinesAndParagraphs();
    void CompositionWrapsAndEndsWhereItStands();
    void ScrollBarAndTopMarginAgreeWithTheView();
    void ColumnsCountAsShiftJisUsersDo_data();
    void ColumnsCountAsShiftJisUsersDo();
    void FullWidthSymbolsTakeTheJapaneseFont();
    void EnterKeepsTheIndentation_data();
    void EnterKeepsTheIndentation();
    void LineNumbersBesideTheText();
    void ColoursFollowTheTextAsItChanges();
    void PairsAreHighlightedAndJumpedTo();

private:
    TTextView* FView = nullptr;
};

void TTextViewTest::init() {
    FView = new TTextView;
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    FView->SetTextFont(font);
    FView->resize(400, 300);
    FView->show();
    FView->setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(FView));
}

void TTextViewTest::TypingAndLineEnds() {
    Type(FView, QStringLiteral("日本語"));
    Key(FView, Qt::Key_Return);
    Type(FView, QStringLiteral("abc"));
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("日本語\r\nabc"));
    FView->SetLineEnd(leLf);
    Key(FView, Qt::Key_Return);
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("日本語\r\nabc\n"));
    QCOMPARE(FView->CaretPos(), FView->Buffer().Length());
    QVERIFY(FView->Buffer().Modified());
    // The word typed after the first line end and the Enter that closed it are one step.
    Key(FView, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("日本語\r\n"));
    Key(FView, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("日本語\r\nabc\n"));
}

void TTextViewTest::BackspaceNeverSplitsCrLf() {
    FView->Buffer().SetText(QStringLiteral("ab\r\ncd😀"));
    FView->SetSelection(4, 4);
    Key(FView, Qt::Key_Backspace);
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("abcd😀"));
    FView->SetSelection(6, 6);
    Key(FView, Qt::Key_Backspace);
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("abcd"));
    FView->Buffer().SetText(QStringLiteral("x\r\ny"));
    FView->SetSelection(1, 1);
    Key(FView, Qt::Key_Right);
    QCOMPARE(FView->CaretPos(), 3);
    Key(FView, Qt::Key_Left);
    QCOMPARE(FView->CaretPos(), 1);
    Key(FView, Qt::Key_Delete);
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("xy"));
}

void TTextViewTest::CaretKeys_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    // "line one\r\nline two\r\nend"
    QTest::newRow("right") << 0 << int(Qt::Key_Right) << 0 << 1 << 1;
    QTest::newRow("shift right") << 0 << int(Qt::Key_Right) << int(Qt::ShiftModifier) << 0 << 1;
    QTest::newRow("end") << 2 << int(Qt::Key_End) << 0 << 8 << 8;
    QTest::newRow("home") << 13 << int(Qt::Key_Home) << 0 << 10 << 10;
    QTest::newRow("down keeps column") << 2 << int(Qt::Key_Down) << 0 << 12 << 12;
    QTest::newRow("up") << 12 << int(Qt::Key_Up) << 0 << 2 << 2;
    QTest::newRow("ctrl end") << 0 << int(Qt::Key_End) << int(Qt::ControlModifier) << 23 << 23;
    QTest::newRow("shift ctrl home")
        << 13 << int(Qt::Key_Home) << int(Qt::ShiftModifier | Qt::ControlModifier) << 13 << 0;
    QTest::newRow("ctrl right") << 0 << int(Qt::Key_Right) << int(Qt::ControlModifier) << 5 << 5;
    QTest::newRow("down from last line goes to end") << 21 << int(Qt::Key_Down) << 0 << 23 << 23;
}

void TTextViewTest::CaretKeys() {
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    FView->Buffer().SetText(QStringLiteral("line one\r\nline two\r\nend"));
    FView->SetSelection(start, start);
    Key(FView, key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(FView->Selection(), (TSelection{anchor, caret}));
}

void TTextViewTest::WordsAreRunsOfOneScript() {
    FView->Buffer().SetText(QStringLiteral("漢字かなカナabc 次"));
    FView->SetSelection(0, 0);
    std::vector<qsizetype> stops;
    for (int i = 0; i < 5; ++i) {
        Key(FView, Qt::Key_Right, Qt::ControlModifier);
        stops.push_back(FView->CaretPos());
    }
    QCOMPARE(stops, (std::vector<qsizetype>{2, 4, 6, 10, 11}));
    QPoint p = FView->PosFromChar(3);
    QTest::mouseDClick(FView->viewport(), Qt::LeftButton, {}, p + QPoint(2, 4));
    QCOMPARE(FView->SelText(), QStringLiteral("かな"));
}

void TTextViewTest::MouseClickDragAndDoubleClick() {
    FView->Buffer().SetText(QStringLiteral("first line\r\nsecond line"));
    QWidget* vp = FView->viewport();
    QPoint a = FView->PosFromChar(2) + QPoint(1, 4);
    QPoint b = FView->PosFromChar(15) + QPoint(1, 4);
    QTest::mouseClick(vp, Qt::LeftButton, {}, a);
    QCOMPARE(FView->CaretPos(), 2);
    QTest::mousePress(vp, Qt::LeftButton, {}, a);
    QTest::mouseMove(vp, b);
    QMouseEvent move(QEvent::MouseMove, b, vp->mapToGlobal(b), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, b);
    QCOMPARE(FView->Selection(), (TSelection{2, 15}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, FView->PosFromChar(20) + QPoint(1, 4));
    QCOMPARE(FView->Selection(), (TSelection{2, 20}));
}

void TTextViewTest::SelectionBarSelectsLines() {
    FView->Buffer().SetText(QStringLiteral("one\r\ntwo\r\nthree"));
    QVERIFY(FView->SelectionBar());
    QWidget* vp = FView->viewport();
    QPoint inBar(2, FView->PosFromChar(5).y() + 4);
    QTest::mouseClick(vp, Qt::LeftButton, {}, inBar);
    QCOMPARE(FView->SelText(), QStringLiteral("two\r\n"));
    FView->SetSelectionBar(false);
    QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(0, inBar.y()));
    QCOMPARE(FView->SelLength(), 0);
}

void TTextViewTest::InputMethodCompositionAndCommit() {
    Type(FView, QStringLiteral("ab"));
    FView->SetSelection(1, 1);
    QInputMethodEvent preedit(QStringLiteral("にほん"), {});
    QApplication::sendEvent(FView, &preedit);
    QVERIFY(FView->Composing());
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("ab")); // composition is not text yet
    QRect caret = FView->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY(caret.left() > FView->PosFromChar(1).x()); // after the composed characters
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("日本"));
    QApplication::sendEvent(FView, &commit);
    QVERIFY(!FView->Composing());
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("a日本b"));
    QCOMPARE(FView->CaretPos(), 3);
    QCOMPARE(FView->inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("a日本b"));
    // One undo takes the whole commit back; a cancelled composition leaves nothing.
    FView->Undo();
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("ab"));
    QInputMethodEvent again(QStringLiteral("か"), {});
    QApplication::sendEvent(FView, &again);
    QInputMethodEvent cancel;
    QApplication::sendEvent(FView, &cancel);
    QVERIFY(!FView->Composing());
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("ab"));
}

void TTextViewTest::ReadOnlyRefusesEveryEdit() {
    Type(FView, QStringLiteral("keep"));
    FView->SetReadOnly(true);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    FView->SelectAll();
    Type(FView, QStringLiteral("x"));
    Key(FView, Qt::Key_Backspace);
    Key(FView, Qt::Key_Return);
    Key(FView, Qt::Key_V, Qt::ControlModifier);
    Key(FView, Qt::Key_X, Qt::ControlModifier);
    Key(FView, Qt::Key_Z, Qt::ControlModifier);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("漢"));
    QApplication::sendEvent(FView, &commit);
    QVERIFY(!FView->ReplaceSelection(QStringLiteral("snippet")));
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("keep"));
    // The caret still moves.
    Key(FView, Qt::Key_Home);
    QCOMPARE(FView->CaretPos(), 0);
    QCOMPARE(FView->inputMethodQuery(Qt::ImEnabled).toBool(), false);
}

void TTextViewTest::PasteTakesTheDocumentsLineEnds() {
    FView->SetLineEnd(leCrLf);
    QApplication::clipboard()->setText(QStringLiteral("a\nb\rc\r\nd"));
    Key(FView, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("a\r\nb\r\nc\r\nd"));
    FView->SelectAll();
    Key(FView, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a\r\nb\r\nc\r\nd"));
}

void TTextViewTest::PointAndCharRoundTripOnWrappedText() {
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("折り返しの、テストです。");
    FView->Buffer().SetText(text + QStringLiteral("\r\nlast"));
    QVERIFY(FView->WordWrap());
    QVERIFY(FView->LineCount() > 10);
    for (qsizetype pos : {0, 1, 17, 100, 250, 479, 482, 485}) {
        QPoint p = FView->PosFromChar(pos);
        FView->EnsureCaretVisible();
        QCOMPARE(FView->CharFromPos(p + QPoint(1, 3)), pos);
        QCOMPARE(FView->LineIndex(FView->LineFromChar(pos)) <= pos, true);
    }
    // Display lines: each starts where the previous ends, and every line fits the width.
    qsizetype previous = -1;
    for (qsizetype line = 0; line < FView->LineCount(); ++line) {
        qsizetype start = FView->LineIndex(line);
        QVERIFY(start > previous);
        previous = start;
    }
    QCOMPARE(FView->LineIndex(FView->LineCount()), -1);
}

void TTextViewTest::WrapFollowsFormatRect() {
    FView->Buffer().SetText(QString(100, u'あ'));
    const qsizetype wide = FView->LineCount();
    FView->SetFormatRect(QRect(10, 0, 16 * 10, 200)); // ten full-width characters
    QCOMPARE(FView->LineCount(), 10);
    QCOMPARE(FView->LineIndex(1), 10);
    QVERIFY(wide < 10);
    FView->SetWordWrap(false);
    QCOMPARE(FView->LineCount(), 1);
    FView->SetSelection(100, 100);
    FView->EnsureCaretVisible();
    QVERIFY(FView->horizontalScrollBar()->value() > 0);
}

void TTextViewTest::FindForwardBackwardWholeWord() {
    FView->Buffer().SetText(QStringLiteral("var value = Val; valid val"));
    TFindOptions none;
    QCOMPARE(FView->Find(QStringLiteral("val"), 0, 100, none), 4);
    QCOMPARE(FView->Find(QStringLiteral("val"), 5, 100, none), 12);
    TFindOptions matchCase{true, false};
    QCOMPARE(FView->Find(QStringLiteral("val"), 5, 100, matchCase), 17);
    TFindOptions whole{false, true};
    QCOMPARE(FView->Find(QStringLiteral("val"), 0, 100, whole), 12);
    QCOMPARE(FView->Find(QStringLiteral("val"), 26, 0, whole), 23);
    QCOMPARE(FView->Find(QStringLiteral("val"), 22, 0, none), 17);
    QCOMPARE(FView->Find(QStringLiteral("nothing"), 0, 26, none), std::nullopt);
}

void TTextViewTest::OverwriteReplacesCharacters() {
    Type(FView, QStringLiteral("abc"));
    Key(FView, Qt::Key_Return);
    Type(FView, QStringLiteral("d"));
    FView->SetSelection(0, 0);
    Key(FView, Qt::Key_Insert);
    QVERIFY(FView->OverwriteMode());
    Type(FView, QStringLiteral("XYZW"));
    // Overwriting stops at the line end instead of eating it.
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("XYZW\r\nd"));
}

void TTextViewTest::AccessibleTextCaretAndSelection() {
    FView->Buffer().SetText(QStringLiteral("読み上げ\r\ntext"));
    FView->SetSelection(2, 4);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(FView);
    QVERIFY(a);
    QCOMPARE(a->role(), QAccessible::EditableText);
    QCOMPARE(a->text(QAccessible::Value), QStringLiteral("読み上げ\r\ntext"));
    QAccessibleTextInterface* text = a->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), 10);
    QCOMPARE(text->cursorPosition(), 4);
    int start = -1, end = -1;
    text->selection(0, &start, &end);
    QCOMPARE(std::make_pair(start, end), std::make_pair(2, 4));
    QCOMPARE(text->text(6, 10), QStringLiteral("text"));
    auto* editable = static_cast<QAccessibleEditableTextInterface*>(
        a->interface_cast(QAccessible::EditableTextInterface));
    QVERIFY(editable);
    editable->replaceText(0, 2, QStringLiteral("書き"));
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("書き上げ\r\ntext"));
    FView->SetReadOnly(true);
    editable->insertText(0, QStringLiteral("x"));
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("書き上げ\r\ntext"));
    QVERIFY(a->state().readOnly);
}

// Printing to PDF: a long text fills several pages, a short one one page.
void TTextViewTest::PrintsEveryLineOnPages() {
    QTemporaryDir dir;
    auto pages = [&](const QString& text) {
        FView->Buffer().SetText(text);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = dir.filePath(QStringLiteral("out.pdf"));
        printer.setOutputFileName(path);
        FView->Print(&printer, QStringLiteral("印刷テスト"));
        QFile pdf(path);
        if (!pdf.open(QIODevice::ReadOnly))
            return -1;
        if (printer.docName() != QStringLiteral("印刷テスト"))
            return -2; // the job is named after the title
        return int(pdf.readAll().count("/Type /Page\n"));
    };
    QCOMPARE(pages(QStringLiteral("一行だけ")), 1);
    QString many;
    for (int i = 0; i < 200; ++i)
        many +=
            QStringLiteral("行 %1 の折り返される長い長い長い長い長い長い長い長い長い長い文章\r\n")
                .arg(i);
    QVERIFY(pages(many) >= 4);
}

void TTextViewTest::KeyEventsAndAHandlerThatTakesTheKey() {
    QSignalSpy down(FView, &TTextView::KeyDown), press(FView, &TTextView::KeyPress),
        up(FView, &TTextView::KeyUp);
    QTest::keyClick(FView, Qt::Key_A);
    QCOMPARE(down.count(), 1);
    QCOMPARE(press.count(), 1);
    QCOMPARE(press.at(0).at(0).toString(), QStringLiteral("a"));
    QCOMPARE(up.count(), 1);
    QTest::keyClick(FView, Qt::Key_Left);
    QCOMPARE(press.count(), 1); // movement types nothing
    // A KeyDown handler that accepts the key keeps it from the control.
    connect(FView, &TTextView::KeyDown, this, [](QKeyEvent* e) {
        if (e->key() == Qt::Key_B)
            e->accept();
    });
    QTest::keyClick(FView, Qt::Key_B);
    QTest::keyClick(FView, Qt::Key_C);
    QTest::keyClick(FView, Qt::Key_F, Qt::AltModifier); // an accelerator nobody took
    QCOMPARE(FView->Buffer().Text(), QStringLiteral("ca"));
}

// Shaped lines are kept across an edit in another paragraph; their positions must follow it.
void TTextViewTest::LinesBelowAnEditMoveWithIt() {
    FView->Buffer().SetText(QStringLiteral("first\r\nsecond\r\nthird line"));
    FView->grab(); // shape the visible lines
    FView->SetSelection(2, 2);
    Type(FView, QStringLiteral("漢字"));
    FView->grab();
    const qsizetype third = FView->Buffer().LineStart(2);
    QCOMPARE(FView->Buffer().Text(third, 5), QStringLiteral("third"));
    for (qsizetype pos : {third, third + 3, third + 10}) {
        QPoint p = FView->PosFromChar(pos);
        QCOMPARE(FView->CharFromPos(p + QPoint(1, 3)), pos);
    }
    QCOMPARE(FView->PosFromChar(third).x(), FView->PosFromChar(0).x());
    Key(FView, Qt::Key_Backspace);
    FView->grab();
    QCOMPARE(FView->CharFromPos(FView->PosFromChar(third - 1) + QPoint(1, 3)), third - 1);
}

namespace {
// Ten full-width characters a display line.
const QRect TenCells(10, 2, 160, 280);
QPoint Inside(QPoint topLeft) {
    return topLeft + QPoint(1, 4);
}
} // namespace

// A wrapped line's end and the next line's start are one position: End, Shift+End and a click
// right of the text keep the caret at the end of its own line.
void TTextViewTest::CaretStaysAtWrappedLineEnds() {
    FView->SetFormatRect(TenCells);
    FView->Buffer().SetText(QString(25, u'あ') + QStringLiteral("\r\nnext"));
    const int row0 = FView->PosFromChar(0).y();
    auto caretRow = [&] {
        return FView->inputMethodQuery(Qt::ImCursorRectangle).toRect().y();
    };
    FView->SetSelection(3, 3);
    Key(FView, Qt::Key_End);
    QCOMPARE(FView->CaretPos(), 10);
    QCOMPARE(FView->CaretLine(), (TDisplayLine{0, 0}));
    QCOMPARE(caretRow(), row0);
    Key(FView, Qt::Key_End);
    QCOMPARE(FView->CaretPos(), 10);
    QCOMPARE(FView->CaretLine(), (TDisplayLine{0, 0}));
    Key(FView, Qt::Key_Home);
    QCOMPARE(FView->CaretPos(), 0);
    FView->SetSelection(3, 3);
    Key(FView, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(FView->Selection(), (TSelection{3, 10}));
    // Placed by the program, the position is the next line's start; Home stays there.
    FView->SetSelection(10, 10);
    QCOMPARE(FView->CaretLine(), (TDisplayLine{0, 1}));
    Key(FView, Qt::Key_Home);
    QCOMPARE(FView->CaretPos(), 10);
    QTest::mouseClick(FView->viewport(), Qt::LeftButton, {},
                      QPoint(TenCells.right() - 2, row0 + 4));
    QCOMPARE(FView->CaretPos(), 10);
    QCOMPARE(caretRow(), row0);
    QVERIFY(FView->CaretAtLineEnd());
    // Typing there goes on at the end of the line and leaves the caret after the new text.
    Type(FView, QStringLiteral("x"));
    QCOMPARE(FView->Buffer().At(10), u'x');
    QVERIFY(!FView->CaretAtLineEnd());
}

void TTextViewTest::UpDownKeepTheColumnAcrossShorterLines() {
    FView->SetFormatRect(TenCells);
    // A paragraph of lines 10, 10 and 5 wide, a short one, another long one.
    FView->Buffer().SetText(QString(25, u'あ') + QStringLiteral("\r\n短い\r\n") +
                            QString(25, u'い'));
    FView->SetSelection(17, 17);
    std::vector<qsizetype> down, up;
    for (int i = 0; i < 3; ++i) {
        Key(FView, Qt::Key_Down);
        down.push_back(FView->CaretPos());
    }
    for (int i = 0; i < 3; ++i) {
        Key(FView, Qt::Key_Up);
        up.push_back(FView->CaretPos());
    }
    QCOMPARE(down, (std::vector<qsizetype>{25, 29, 38}));
    QCOMPARE(up, (std::vector<qsizetype>{29, 25, 17}));
    // Down onto a wrapped line shortened by kinsoku (「 may not end it) lands at its end, on it.
    FView->Buffer().SetText(QString(10, u'い') + QString(9, u'あ') + QStringLiteral("「") +
                            QString(15, u'う'));
    FView->SetSelection(10, 10);
    Key(FView, Qt::Key_End);
    Key(FView, Qt::Key_Up);
    Key(FView, Qt::Key_Down);
    QCOMPARE(FView->CaretPos(), 19);
    QCOMPARE(FView->CaretLine(), (TDisplayLine{0, 1}));
}

void TTextViewTest::KanaWordsKeepLongVowelAndIterationMarks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("at");
    QTest::addColumn<QString>("word");
    QTest::newRow("katakana with long vowel")
        << QStringLiteral("テストページを") << 4 << QStringLiteral("テストページ");
    QTest::newRow("long vowels inside")
        << QStringLiteral("のデータベース") << 3 << QStringLiteral("データベース");
    QTest::newRow("on the long vowel")
        << QStringLiteral("サーバーへ") << 3 << QStringLiteral("サーバー");
    QTest::newRow("kanji iteration mark")
        << QStringLiteral("人々の") << 1 << QStringLiteral("人々");
    QTest::newRow("kana iteration mark")
        << QStringLiteral("こゝろ") << 0 << QStringLiteral("こゝろ");
    QTest::newRow("long vowel after hiragana")
        << QStringLiteral("あーカナ") << 2 << QStringLiteral("カナ");
}

void TTextViewTest::KanaWordsKeepLongVowelAndIterationMarks() {
    QFETCH(QString, text);
    QFETCH(int, at);
    QFETCH(QString, word);
    FView->Buffer().SetText(text + QStringLiteral("。"));
    const QPoint p = FView->PosFromChar(at) + QPoint(2, 4);
    QTest::mouseDClick(FView->viewport(), Qt::LeftButton, {}, p);
    QCOMPARE(FView->SelText(), word);
    // Ctrl+arrows stop at the same edges.
    const qsizetype start = text.indexOf(word);
    FView->SetSelection(start, start);
    Key(FView, Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(FView->CaretPos(), start + word.size());
    Key(FView, Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(FView->CaretPos(), start);
}

void TTextViewTest::SelectionBarByLinesAndParagraphs() {
    FView->SetFormatRect(TenCells);
    FView->Buffer().SetText(QString(25, u'あ') + QStringLiteral("\r\nnext\r\nlast"));
    QWidget* vp = FView->viewport();
    auto bar = [&](qsizetype pos) {
        return QPoint(3, FView->PosFromChar(pos).y() + 4);
    };
    QTest::mouseClick(vp, Qt::LeftButton, {}, bar(10));
    QCOMPARE(FView->Selection(), (TSelection{10, 20}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, bar(29));
    QCOMPARE(FView->Selection(), (TSelection{10, 33}));
    QTest::mouseDClick(vp, Qt::LeftButton, {}, bar(12));
    QCOMPARE(FView->Selection(), (TSelection{0, 27}));
    QTest::mouseMove(vp, bar(12));
    QCOMPARE(vp->cursor().shape(), Qt::BitmapCursor);
    QTest::mouseMove(vp, FView->PosFromChar(12) + QPoint(2, 4));
    QCOMPARE(vp->cursor().shape(), Qt::IBeamCursor);
}

// At the right edge the composition wraps with the text, the candidate window is asked for at
// its cursor, and a click or leaving the control commits it where it stands.
void TTextViewTest::CompositionWrapsAndEndsWhereItStands() {
    FView->SetFormatRect(TenCells);
    FView->Buffer().SetText(QString(8, u'あ'));
    FView->SetSelection(8, 8);
    QInputMethodEvent preedit(QStringLiteral("にほんご"), {});
    QApplication::sendEvent(FView, &preedit);
    const QRect cursor = FView->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QPoint first = FView->PosFromChar(0);
    QCOMPARE(cursor.y(), first.y() + int(FView->Advances().LineHeight()));
    QVERIFY2(qAbs(cursor.x() - (first.x() + 32)) <= 1, qPrintable(QString::number(cursor.x())));
    QTest::mouseClick(FView->viewport(), Qt::LeftButton, {}, Inside(FView->PosFromChar(2)));
    QVERIFY(!FView->Composing());
    QCOMPARE(FView->Buffer().Text(), QString(8, u'あ') + QStringLiteral("にほんご"));
    QCOMPARE(FView->CaretPos(), 2);
    // A composition longer than a line goes on over the rows below, the text after it too.
    FView->SetSelection(8, 8);
    QInputMethodEvent longer(QString(25, u'か'), {});
    QApplication::sendEvent(FView, &longer);
    const QRect end = FView->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QCOMPARE(end.y(), first.y() + 3 * int(FView->Advances().LineHeight()));
    QVERIFY2(qAbs(end.x() - (first.x() + 3 * 16)) <= 1, qPrintable(QString::number(end.x())));
    QInputMethodEvent cancel;
    QApplication::sendEvent(FView, &cancel);
    QInputMethodEvent again(QStringLiteral("か"), {});
    FView->SetSelection(2, 2);
    QApplication::sendEvent(FView, &again);
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(FView, &out);
    QVERIFY(!FView->Composing());
    QCOMPARE(FView->Buffer().Text().mid(2, 1), QStringLiteral("か"));
}

void TTextViewTest::ScrollBarAndTopMarginAgreeWithTheView() {
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << QStringLiteral("line %1").arg(i);
    FView->Buffer().SetText(lines.join(QStringLiteral("\r\n")));
    QScrollBar* bar = FView->verticalScrollBar();
    for (int i = 0; i < 12; ++i) {
        Key(FView, Qt::Key_PageDown);
        QCOMPARE(FView->FirstVisibleLine(), qsizetype(bar->value()));
    }
    QCOMPARE(bar->value(), bar->maximum());
    QTest::mouseClick(FView->viewport(), Qt::LeftButton, {}, QPoint(40, 0));
    QCOMPARE(FView->LineFromChar(FView->CaretPos()), FView->FirstVisibleLine());
    // Made smaller, as tiling does, a window that hides text shows its scroll bar.
    FView->Buffer().SetText(lines.mid(0, 10).join(QStringLiteral("\r\n")));
    FView->resize(400, 400);
    QTRY_VERIFY(!bar->isVisible());
    FView->resize(400, int(FView->Advances().LineHeight() * 9.5) + 8);
    QTRY_VERIFY(bar->isVisible());
}

void TTextViewTest::ColumnsCountAsShiftJisUsersDo_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("column");
    QTest::newRow("ascii") << QStringLiteral("abc") << 3;
    QTest::newRow("kana") << QStringLiteral("かな") << 4;
    QTest::newRow("marks and arrows") << QStringLiteral("○●□※→") << 10;
    QTest::newRow("greek and cyrillic") << QStringLiteral("αЖ") << 4;
    QTest::newRow("circled and box drawing") << QStringLiteral("①─│") << 6;
    QTest::newRow("half-width katakana") << QStringLiteral("ｱｲ") << 2;
    QTest::newRow("surrogate pair") << QStringLiteral("𠮷a") << 3;
}

// The status bar's column: from the paragraph's start, whatever the wrap.
void TTextViewTest::ColumnsCountAsShiftJisUsersDo() {
    QFETCH(QString, before);
    QFETCH(int, column);
    FView->SetFormatRect(TenCells);
    const QString text = QStringLiteral("first\r\n") + QString(12, u'あ') + before;
    FView->Buffer().SetText(text + QStringLiteral("tail"));
    FView->SetSelection(text.size(), text.size());
    QCOMPARE(FView->CaretParagraph(), 1);
    QCOMPARE(FView->CaretParagraphColumn(), 24 + column);
    // Moving back and typing keep the count true.
    Key(FView, Qt::Key_Left);
    Key(FView, Qt::Key_Right);
    Type(FView, QStringLiteral("ー"));
    QCOMPARE(FView->CaretParagraphColumn(), 24 + column + 2);
    FView->SetSelection(7, 7);
    QCOMPARE(FView->CaretParagraphColumn(), 0);
}

// With a Latin font, α ○ × are drawn and measured in the Japanese font, as wide as kana.
void TTextViewTest::FullWidthSymbolsTakeTheJapaneseFont() {
    QFont latin(QStringLiteral("DejaVu Sans Mono"));
    latin.setPixelSize(16);
    if (QFontInfo(latin).family() != latin.family())
        QSKIP("DejaVu Sans Mono is not installed");
    FView->SetTextFont(latin);
    const TAdvanceTable& advances = FView->Advances();
    for (char16_t c : {u'α', u'○', u'×'})
        QCOMPARE(advances.Advance(c), advances.Advance(u'あ'));
    QVERIFY(advances.Advance(u'a') < advances.Advance(u'α'));
    const auto ranges = advances.Formats(u"aα○b×");
    QCOMPARE(ranges.size(), 2);
    QCOMPARE(std::make_pair(ranges[0].start, ranges[0].length), std::make_pair(1, 2));
    QCOMPARE(QFontInfo(ranges[1].format.font()).family(), QStringLiteral("IPAGothic"));
}

void TTextViewTest::EnterKeepsTheIndentation_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("after");
    QTest::newRow("tab and spaces")
        << QStringLiteral("\t  if (a) {") << 12 << true << QStringLiteral("\t  if (a) {\r\n\t  ");
    QTest::newRow("full-width spaces")
        << QStringLiteral("　　本文") << 4 << true << QStringLiteral("　　本文\r\n　　");
    QTest::newRow("caret inside the blanks")
        << QStringLiteral("\t\tx") << 1 << true << QStringLiteral("\t\r\n\t\tx");
    QTest::newRow("second paragraph")
        << QStringLiteral("a\r\n  b") << 6 << true << QStringLiteral("a\r\n  b\r\n  ");
    QTest::newRow("off") << QStringLiteral("\t  x") << 4 << false << QStringLiteral("\t  x\r\n");
}

void TTextViewTest::EnterKeepsTheIndentation() {
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(bool, on);
    QFETCH(QString, after);
    FView->SetAutoIndent(on);
    FView->Buffer().SetText(text);
    FView->SetSelection(caret, caret);
    Key(FView, Qt::Key_Return);
    QCOMPARE(FView->Buffer().Text(), after);
    FView->Undo();
    QCOMPARE(FView->Buffer().Text(), text);
}

// The gutter moves the viewport right by its width, grows with the number of paragraphs, and a
// click or a double-click in it selects as the selection bar does.
void TTextViewTest::LineNumbersBesideTheText() {
    FView->Buffer().SetText(QStringLiteral("one\r\ntwo\r\nthree"));
    const int left = FView->viewport()->x();
    FView->SetLineNumbers(true);
    auto* gutter = FView->findChild<TLineNumberGutter*>();
    QVERIFY(gutter);
    QCOMPARE(FView->viewport()->x(), left + gutter->width());
    const int narrow = gutter->width();
    FView->Buffer().Insert(0, QString(200, u'\n'));
    QVERIFY(gutter->width() > narrow);
    FView->Buffer().SetText(QStringLiteral("one\r\ntwo\r\nthree"));
    const QPoint row2(gutter->width() / 2, FView->PosFromChar(5).y() + 4);
    QTest::mouseClick(gutter, Qt::LeftButton, {}, row2);
    QCOMPARE(FView->SelText(), QStringLiteral("two\r\n"));
    FView->SetLineNumbers(false);
    QVERIFY(!FView->findChild<TLineNumberGutter*>());
    QCOMPARE(FView->viewport()->x(), left);
}

// Pixels of a display row drawn in green, the comment colour the test sets: text of any other
// kind is drawn in no green.
static int CommentPixels(TTextView* view, int row) {
    const QImage shot = view->viewport()->grab().toImage();
    const int top = view->PosFromChar(view->LineIndex(row)).y();
    int count = 0;
    for (int y = std::max(0, top); y < std::min(shot.height(), top + 16); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            count += c.green() > c.red() + 60 && c.green() > c.blue() + 60;
        }
    return count;
}

void TTextViewTest::ColoursFollowTheTextAsItChanges() {
    FView->Buffer().SetText(QStringLiteral("<p>一</p>\r\n<b>二</b>\r\n<i>三</i>"));
    TSyntaxPalette palette = DefaultSyntaxPalette();
    palette[skComment] = QColor(0, 160, 0);
    FView->SetSyntaxPalette(palette);
    FView->SetSyntaxLanguage(slHtml);
    QCOMPARE(CommentPixels(FView, 2), 0);
    // Opening a comment at the top colours the lines below at once, closing it takes it back.
    FView->SetSelection(0, 0);
    QTest::keyClicks(FView, QStringLiteral("<!--"));
    QVERIFY(CommentPixels(FView, 2) > 0);
    FView->SetSelection(FView->TextLength(), FView->TextLength());
    QTest::keyClicks(FView, QStringLiteral("-->"));
    QVERIFY(CommentPixels(FView, 2) > 0);
    FView->SetSelection(4, 4);
    QTest::keyClicks(FView, QStringLiteral("-->"));
    QCOMPARE(CommentPixels(FView, 2), 0);
    // A composition inside the comment keeps the text after it coloured.
    FView->SetSelection(2, 2);
    QInputMethodEvent preedit(QStringLiteral("にほん"), {});
    QApplication::sendEvent(FView, &preedit);
    QVERIFY(CommentPixels(FView, 0) > 0);
    QInputMethodEvent commit;
    commit.setCommitString(QString());
    QApplication::sendEvent(FView, &commit);
    FView->SetSyntaxLanguage(slNone);
    QCOMPARE(CommentPixels(FView, 0), 0);
}

void TTextViewTest::PairsAreHighlightedAndJumpedTo() {
    FView->Buffer().SetText(QStringLiteral("f(a, (b)) x"));
    auto highlighted = [this] {
        const QImage shot = FView->viewport()->grab().toImage();
        int count = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < shot.width(); ++x)
                count += shot.pixelColor(x, y) == QColor(0xbf, 0xdf, 0xff);
        return count;
    };
    FView->SetSelection(10, 10);
    QCOMPARE(highlighted(), 0);
    QVERIFY(!FView->JumpToPair());
    // Before a bracket to before its partner and back; after one to after its partner.
    const std::pair<qsizetype, qsizetype> jumps[] = {{1, 8}, {8, 1}, {9, 2}, {6, 8}};
    for (const auto& [from, to] : jumps) {
        FView->SetSelection(from, from);
        QVERIFY(highlighted() > 0);
        QVERIFY(FView->JumpToPair());
        QCOMPARE(FView->CaretPos(), to);
    }
    FView->SetSelection(1, 3); // a selection shows no pair
    QCOMPARE(highlighted(), 0);
}

QTEST_MAIN(TTextViewTest)
#include "TextViewTest.moc"
