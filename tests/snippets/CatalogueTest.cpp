// The catalogue's shape and the rules that hold for every entry: whatever the data says about one
// entry, it must be an entry the windows can prepare and OK can always build.

#include "snippets/SnippetEngine.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace snippets;

Q_DECLARE_METATYPE(snippets::TParamRow)

namespace {

QString Where(int category, int item) {
    return u"%1/%2 %3"_s.arg(category).arg(item).arg(Entry(category, item)->FName);
}

// Every placeholder a pattern uses, as rows; an opening brace that starts no placeholder is
// reported as a row of -1.
QList<int> PatternRows(const QString& pattern) {
    static const QRegularExpression brace(
        u"\\{(Edit([1-7])\\}|ComboBox1\\}|ComboBox2 entry\\})?"_s);
    QList<int> rows;
    for (auto it = brace.globalMatch(pattern); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).isEmpty())
            rows.append(-1);
        else if (!m.captured(2).isEmpty())
            rows.append(m.captured(2).toInt() - 1);
        else
            rows.append(m.captured(1).startsWith(u"ComboBox1"_s) ? prComboBox1 : prComboBox2);
    }
    return rows;
}

template <typename F> void ForEachEntry(F f) {
    for (int category = 0; category < CategoryCount(); ++category)
        for (int item = 0; item < ItemNames(category).size(); ++item)
            f(category, item, *Entry(category, item));
}

} // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void categories_data();
    void categories();
    void total();
    void duplicatesAreOwnEntries_data();
    void duplicatesAreOwnEntries();
    void onlyKnownDuplicates();
    void noEntryOutsideTheCatalogue_data();
    void noEntryOutsideTheCatalogue();
    void kindsCarryTheirData();
    void rowsAreOpenedInOrder();
    void choiceBoxesAreFilledWhenOpened();
    void lastFormTakesEveryOtherCase();
    void patternsUseOpenRowsOnly();
    void conditionedFormsNeedWhatTheyInsert();
    void conditionsNeverOverlap();
    void partners_data();
    void partners();
    void partnerChecksNameParameterEntries();
    void noFormNeedsBothPartners();
};

void CatalogueTest::categories_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");

    auto row = [](int category, const char16_t* name, int count, const char16_t* first,
                  const char16_t* last) {
        QTest::addRow("%d", category) << category << QString::fromUtf16(name) << count
                                      << QString::fromUtf16(first) << QString::fromUtf16(last);
    };
    row(0, u"基本", 3, u"JavaScript ヘッダ", u"for 文");
    row(1, u"配列", 5, u"配列の生成", u"配列を並び替える");
    row(2, u"演算", 27, u"絶対値を求める", u"タンジェントを求める");
    row(3, u"変換／演算", 8, u"文字列のアスキーコードを返す", u"何も返さない値を返す");
    row(4, u"日付", 21, u"日付オブジェクト", u"1970.1.1.00:00:00 からの ミリセコンドを求める");
    row(5, u"文字列", 24, u"文字サイズを大きくする", u"文字列全体を大文字にする");
    row(6, u"画像", 11, u"画像の枠の太さを返す", u"画像の横幅を返す");
    row(7, u"イベント", 33, u"イベントを返す", u"マウスのＹ座標を返す");
    row(8, u"ドキュメント", 19, u"リンク中の文字色を設定", u"文字や数値を改行して表示する");
    row(9, u"ナビゲーター", 17, u"プラウザのコード名を返す", u"エージェントを返す");
    row(10, u"ダイアログ", 3, u"アラートの表示", u"文字入力ダイアログの表示");
    row(11, u"ヒストリー", 5, u"一つ前のページに戻す", u"ヒストリーの総数");
    row(12, u"ウィンドウ", 33, u"指定されたウィンドウのページを一つ戻す",
        u"ウィンドウオブジェクト");
    row(13, u"フォーム", 39, u"フォームの送信先の参照／指定", u"値または文字を参照／設定");
    row(14, u"スクリーン", 5, u"画面の色数を返す", u"画面の横幅を返す");
    row(15, u"フレーム", 10, u"デフォルト文字列の指定", u"最初に定義されたフレームを示す");
    row(16, u"リンク", 21, u"ドキュメントにアンカーを加える", u"ドキュメントのＵＲＬを返す");
    row(17, u"レイヤー", 28, u"上に重なっているレイヤーを返す", u"Ｚ座標の指定");
    row(18, u"タイマー", 4, u"インターバルタイマーのクリア", u"指定したタイマーの設定");
    row(19, u"その他", 9, u"定義関数の引数を返す", u"オブジェクトの値");
    row(20, u"オリジナル", 2, u"オリジナルテンプレートを開く", u"オリジナルテンプレートとして保存");
}

void CatalogueTest::categories() {
    QFETCH(int, category);
    QFETCH(QString, name);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, last);

    QCOMPARE(CategoryNames().value(category), name);
    const QStringList items = ItemNames(category);
    QCOMPARE(items.size(), count);
    QCOMPARE(items.first(), first);
    QCOMPARE(items.last(), last);
    for (int item = 0; item < count; ++item) {
        QVERIFY(Entry(category, item));
        QCOMPARE(Entry(category, item)->FName, items[item]);
        QVERIFY2(!items[item].trimmed().isEmpty() && items[item] == items[item].trimmed(),
                 qPrintable(Where(category, item)));
    }
}

void CatalogueTest::total() {
    QCOMPARE(CategoryCount(), 21);
    int total = 0;
    ForEachEntry([&](int, int, const TSnippetEntry&) { ++total; });
    QCOMPARE(total, 327);
}

void CatalogueTest::duplicatesAreOwnEntries_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("name");

    QTest::newRow("ウィンドウ 23/26") << 12 << 23 << 26 << u"ウィンドウ内容の表示開始位置の指定"_s;
    QTest::newRow("レイヤー 0/22") << 17 << 0 << 22 << u"上に重なっているレイヤーを返す"_s;
    QTest::newRow("レイヤー 1/23") << 17 << 1 << 23 << u"下に重なっているレイヤーを返す"_s;
}

void CatalogueTest::duplicatesAreOwnEntries() {
    QFETCH(int, category);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, name);

    QCOMPARE(ItemNames(category).value(first), name);
    QCOMPARE(ItemNames(category).value(second), name);
    QVERIFY(Entry(category, first) != Entry(category, second));

    // Same name, same rows, yet each builds its own text.
    TParamValues values;
    for (QString& edit : values.FEdits)
        edit = u"x"_s;
    const std::optional<QString> a = BuildOutput(category, first, values);
    const std::optional<QString> b = BuildOutput(category, second, values);
    QVERIFY(a && b);
    QVERIFY2(*a != *b, qPrintable(*a));
}

void CatalogueTest::onlyKnownDuplicates() {
    int duplicates = 0;
    for (int category = 0; category < CategoryCount(); ++category) {
        const QStringList names = ItemNames(category);
        duplicates += int(names.size() - QSet<QString>(names.begin(), names.end()).size());
    }
    QCOMPARE(duplicates, 3);
}

void CatalogueTest::noEntryOutsideTheCatalogue_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("item");

    QTest::newRow("no item selected") << 0 << -1;
    QTest::newRow("past the last item") << 0 << 3;
    QTest::newRow("past the last item of フォーム") << 13 << 39;
    QTest::newRow("category -1") << -1 << 0;
    QTest::newRow("category 21") << 21 << 0;
}

void CatalogueTest::noEntryOutsideTheCatalogue() {
    QFETCH(int, category);
    QFETCH(int, item);

    QCOMPARE(Entry(category, item), nullptr);
    QCOMPARE(BuildOutput(category, item, TParamValues{}), std::nullopt);
    if (category < 0 || category >= 21)
        QVERIFY(ItemNames(category).isEmpty());
}

void CatalogueTest::kindsCarryTheirData() {
    ForEachEntry([](int category, int item, const TSnippetEntry& entry) {
        const QString where = Where(category, item);
        switch (entry.FKind) {
        case skDirect:
            QVERIFY2(!entry.FText.isEmpty(), qPrintable(where));
            break;
        case skMessage:
            QVERIFY2(entry.FText == u"作成中"_s, qPrintable(where));
            break;
        case skParam:
            QVERIFY2(entry.FText.isEmpty(), qPrintable(where));
            QVERIFY2(OpenRows(entry) != TParamSet(), qPrintable(where));
            QVERIFY2(!entry.FForms.empty(), qPrintable(where));
            break;
        case skNone:
            QVERIFY2(entry.FText.isEmpty(), qPrintable(where));
            break;
        }
        if (entry.FKind != skParam) {
            QVERIFY2(OpenRows(entry) == TParamSet() && entry.FForms.empty() &&
                         !entry.FComboBox1Items && !entry.FComboBox2Items,
                     qPrintable(where));
        }
    });
}

void CatalogueTest::rowsAreOpenedInOrder() {
    // The edits an entry uses are Edit1..EditN; the focused control is one of the opened.
    ForEachEntry([](int category, int item, const TSnippetEntry& entry) {
        if (entry.FKind != skParam)
            return;
        const QString where = Where(category, item);
        bool closedSeen = false;
        for (int row = 0; row < EditCount; ++row) {
            const bool open = IsOpen(entry, TParamRow(row));
            QVERIFY2(!(open && closedSeen), qPrintable(where));
            closedSeen = closedSeen || !open;
        }
        QVERIFY2(IsOpen(entry, entry.FFocus), qPrintable(where));
        if (category <= 9) {
            QVERIFY2(!IsOpen(entry, prComboBox1) && !IsOpen(entry, prComboBox2), qPrintable(where));
            QVERIFY2(OpenRows(entry).toInt() <= 0xF, qPrintable(where)); // 1 to 4 edits
        }
    });
}

void CatalogueTest::choiceBoxesAreFilledWhenOpened() {
    ForEachEntry([](int category, int item, const TSnippetEntry& entry) {
        const QString where = Where(category, item);
        QCOMPARE(bool(entry.FComboBox1Items), IsOpen(entry, prComboBox1));
        QCOMPARE(bool(entry.FComboBox2Items), IsOpen(entry, prComboBox2));
        for (const auto& items : {entry.FComboBox1Items, entry.FComboBox2Items}) {
            if (!items)
                continue;
            QVERIFY2(items->size() >= 2, qPrintable(where));
            for (const QString& choice : *items)
                QVERIFY2(!choice.isEmpty() && choice != u"True"_s && choice != u"False"_s,
                         qPrintable(where));
        }
    });
}

void CatalogueTest::lastFormTakesEveryOtherCase() {
    // Any form after an unconditional one could never be chosen.
    ForEachEntry([](int category, int item, const TSnippetEntry& entry) {
        if (entry.FKind != skParam)
            return;
        const QString where = Where(category, item);
        const TOutputForm& last = entry.FForms.back();
        QVERIFY2(last.FFilled == TParamSet() && last.FEmpty == TParamSet(), qPrintable(where));
        for (size_t i = 0; i + 1 < entry.FForms.size(); ++i) {
            const TOutputForm& form = entry.FForms[i];
            QVERIFY2(form.FFilled != TParamSet() || form.FEmpty != TParamSet(), qPrintable(where));
            QVERIFY2(!(form.FFilled & form.FEmpty), qPrintable(where));
        }
    });
}

void CatalogueTest::patternsUseOpenRowsOnly() {
    ForEachEntry([](int category, int item, const TSnippetEntry& entry) {
        const QString where = Where(category, item);
        const TParamSet open = OpenRows(entry);
        for (const TOutputForm& form : entry.FForms) {
            QVERIFY2(((form.FFilled | form.FEmpty) & ~open) == TParamSet(), qPrintable(where));
            QVERIFY2(!(form.FFilled & pfComboBox2) && !(form.FEmpty & pfComboBox2),
                     qPrintable(where));
            for (int row : PatternRows(form.FPattern)) {
                QVERIFY2(row >= 0, qPrintable(where + u": "_s + form.FPattern));
                QVERIFY2(open.testFlag(RowFlag(TParamRow(row))),
                         qPrintable(where + u": "_s + form.FPattern));
            }
        }
    });
}

void CatalogueTest::conditionedFormsNeedWhatTheyInsert() {
    // From ダイアログ on, a form with a condition never inserts an edit it lets be empty.
    ForEachEntry([](int category, int item, const TSnippetEntry& entry) {
        if (category < 10)
            return;
        for (const TOutputForm& form : entry.FForms) {
            if (form.FFilled == TParamSet() && form.FEmpty == TParamSet())
                continue;
            for (int row : PatternRows(form.FPattern))
                if (row != prComboBox2)
                    QVERIFY2(form.FFilled.testFlag(RowFlag(TParamRow(row))),
                             qPrintable(Where(category, item) + u": "_s + form.FPattern));
        }
    });
}

void CatalogueTest::conditionsNeverOverlap() {
    // From ダイアログ on the forms are not an ordered list: at most one condition may hold for
    // any combination of filled and empty parameters.
    ForEachEntry([](int category, int item, const TSnippetEntry& entry) {
        if (category < 10 || entry.FKind != skParam)
            return;
        QList<TParamFlag> rows;
        for (int row = 0; row < prComboBox2; ++row)
            if (IsOpen(entry, TParamRow(row)))
                rows.append(RowFlag(TParamRow(row)));
        for (int combo = 0; combo < (1 << rows.size()); ++combo) {
            TParamSet filled;
            for (int bit = 0; bit < rows.size(); ++bit)
                if (combo & (1 << bit))
                    filled |= rows[bit];
            int matching = 0;
            for (size_t i = 0; i + 1 < entry.FForms.size(); ++i) {
                const TOutputForm& form = entry.FForms[i];
                if ((filled & form.FFilled) == form.FFilled && !(filled & form.FEmpty))
                    ++matching;
            }
            QVERIFY2(matching <= 1,
                     qPrintable(Where(category, item) + u" filled %1"_s.arg(filled.toInt())));
        }
    });
}

void CatalogueTest::partners_data() {
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("item");
    QTest::addColumn<TParamRow>("source");
    QTest::addColumn<QList<TParamRow>>("expected");

    using L = QList<TParamRow>;
    QTest::newRow("演算 cos 1→2") << 2 << 6 << prEdit1 << L{prEdit2};
    QTest::newRow("演算 cos 2→1") << 2 << 6 << prEdit2 << L{prEdit1};
    QTest::newRow("演算 atan2 none") << 2 << 4 << prEdit1 << L{};
    QTest::newRow("演算 tan") << 2 << 26 << prEdit2 << L{prEdit1};
    QTest::newRow("配列 0 2→3") << 1 << 0 << prEdit2 << L{prEdit3};
    QTest::newRow("配列 0 Edit1 none") << 1 << 0 << prEdit1 << L{};
    QTest::newRow("日付 0") << 4 << 0 << prEdit2 << L{prEdit1};
    QTest::newRow("日付 17 3→2") << 4 << 17 << prEdit3 << L{prEdit2};
    QTest::newRow("日付 18 none") << 4 << 18 << prEdit1 << L{};
    QTest::newRow("画像 4 none") << 6 << 4 << prEdit1 << L{};
    QTest::newRow("画像 10") << 6 << 10 << prEdit1 << L{prEdit2};
    QTest::newRow("ウィンドウ 27 2→3") << 12 << 27 << prEdit2 << L{prEdit3};
    QTest::newRow("ウィンドウ 27 Edit1 none") << 12 << 27 << prEdit1 << L{};
    QTest::newRow("ウィンドウ 26 none") << 12 << 26 << prEdit2 << L{};
    QTest::newRow("フォーム 0") << 13 << 0 << prEdit1 << L{prEdit2};
    QTest::newRow("フォーム 28 3→4") << 13 << 28 << prEdit3 << L{prEdit4};
    QTest::newRow("フォーム 28 6→5") << 13 << 28 << prEdit6 << L{prEdit5};
    QTest::newRow("フォーム 28 7 none") << 13 << 28 << prEdit7 << L{};
    QTest::newRow("フォーム 15 3→5") << 13 << 15 << prEdit3 << L{prEdit5};
    QTest::newRow("フォーム 15 4 none") << 13 << 15 << prEdit4 << L{};
    QTest::newRow("フォーム 31 none") << 13 << 31 << prEdit1 << L{};
    QTest::newRow("フォーム 37 none") << 13 << 37 << prEdit1 << L{};
    QTest::newRow("フォーム 38 4→3") << 13 << 38 << prEdit4 << L{prEdit3};
    QTest::newRow("フレーム 9") << 15 << 9 << prEdit2 << L{prEdit1};
    QTest::newRow("リンク 3 none") << 16 << 3 << prEdit1 << L{};
    QTest::newRow("リンク 19") << 16 << 19 << prEdit1 << L{prEdit2};
    QTest::newRow("レイヤー 11 none") << 17 << 11 << prEdit1 << L{};
    QTest::newRow("レイヤー 27") << 17 << 27 << prEdit1 << L{prEdit2};
    QTest::newRow("no item selected") << 13 << -1 << prEdit1 << L{};
    QTest::newRow("ComboBox1 has no partner") << 12 << 31 << prComboBox1 << L{};
}

void CatalogueTest::partners() {
    QFETCH(int, category);
    QFETCH(int, item);
    QFETCH(TParamRow, source);
    QFETCH(QList<TParamRow>, expected);

    QCOMPARE(Partners(category, item, source), expected);
}

void CatalogueTest::partnerChecksNameParameterEntries() {
    for (const TPartnerCheck& check : PartnerChecks()) {
        QVERIFY(check.FFirst != check.FSecond);
        QVERIFY(check.FFirst < prComboBox1 && check.FSecond < prComboBox1);
        QVERIFY(!check.FItems.empty());
        for (int item : check.FItems) {
            const TSnippetEntry* entry = Entry(check.FCategory, item);
            QVERIFY2(entry && entry->FKind == skParam,
                     qPrintable(u"%1/%2"_s.arg(check.FCategory).arg(item)));
            // Symmetric: each edit of the pair follows the other.
            QVERIFY(Partners(check.FCategory, item, check.FFirst).contains(check.FSecond));
            QVERIFY(Partners(check.FCategory, item, check.FSecond).contains(check.FFirst));
        }
    }
}

void CatalogueTest::noFormNeedsBothPartners() {
    // The window never lets both partners hold text, so such a form could not be reached.
    for (const TPartnerCheck& check : PartnerChecks()) {
        const TParamSet both = RowFlag(check.FFirst) | RowFlag(check.FSecond);
        for (int item : check.FItems)
            for (const TOutputForm& form : Entry(check.FCategory, item)->FForms)
                QVERIFY2((form.FFilled & both) != both,
                         qPrintable(Where(check.FCategory, item) + u": "_s + form.FPattern));
    }
}

QTEST_APPLESS_MAIN(CatalogueTest)
#include "CatalogueTest.moc"
