// Categories ダイアログ, ヒストリー and ウィンドウ. The conditions of one entry never overlap; the
// last form takes every other combination of filled and empty parameters.

#include "snippets/CatalogueBuild.h"

using namespace Qt::StringLiterals;

namespace snippets::build {

namespace {

TSnippetCategory Dialog() {
    return {u"ダイアログ"_s,
            {
                Param(u"アラートの表示", {u"数値/数式", u"文字列"},
                      {When(E2, E1, u"alert(\"{Edit2}\")"), When(E1, E2, u"alert({Edit1})"),
                       Else(u"alert()")}),
                Param(u"確認用ウィンドウの表示", {u"変数(略可)", u"数値/数式", u"文字列"},
                      {When(E1 | E3, E2, u"{Edit1}=confirm(\"{Edit3}\")"),
                       When(E1 | E2, E3, u"{Edit1}=confirm({Edit2})"),
                       When(E3, E1 | E2, u"confirm(\"{Edit3}\")"),
                       When(E2, E1 | E3, u"confirm({Edit2})"), Else(u"confirm()")}),
                Param(u"文字入力ダイアログの表示",
                      {u"変数(略可)", u"表示メッセージ", u"デフォルト入力文字"},
                      {When(E1 | E2 | E3, {}, u"{Edit1}=prompt(\"{Edit2}\",\"{Edit3}\")"),
                       When(E2 | E3, E1, u"prompt(\"{Edit2}\",\"{Edit3}\")"),
                       Else(u"prompt(\"\",\"\")")}),
            }};
}

TSnippetCategory History() {
    return {u"ヒストリー"_s,
            {
                Direct(u"一つ前のページに戻す", u"history.back()"),
                Direct(u"一つ先のページに進む", u"history.forward()"),
                Param(u"リンクを移動する", {u"数値", u"ＵＲＬ"},
                      {When(E2, E1, u"history.go(\"{Edit2}\")"),
                       When(E1, E2, u"history.go({Edit1})"), Else(u"history.go()")}),
                Param(u"ヒストリーオブジェクト", {u"メソッド/プロパティ"},
                      {When(E1, {}, u"history.{Edit1}"), Else(u"history.")}),
                Direct(u"ヒストリーの総数", u"history.length"),
            }};
}

// A member of the named window, or the bare `fallback` for the current one.
TSnippetEntry WindowMember(QStringView name, QStringView member, QStringView fallback) {
    return Param(name, {u"ウィンドウ名(略可)"},
                 {When(E1, {}, u"{Edit1}.%1"_s.arg(member)), Else(fallback)});
}

TSnippetEntry WindowMember(QStringView name, QStringView member) {
    return WindowMember(name, member, member);
}

// Shows or hides one of the window's bars; the choice box offers the two values.
TSnippetEntry WindowBar(QStringView name, QStringView bar) {
    return WithChoice(Param(name, {u"ウィンドウ名(略可)"},
                            {When(E1 | C1, {}, u"{Edit1}.%1.visible = {ComboBox1}"_s.arg(bar)),
                             When(C1, E1, u"%1.visible = {ComboBox1}"_s.arg(bar)),
                             When(E1, C1, u"{Edit1}.%1.visible = "_s.arg(bar)),
                             Else(u"%1.visible = "_s.arg(bar))}),
                      prComboBox1, u"表示", {u"true", u"false"});
}

// A window method taking two numbers.
TSnippetEntry WindowXY(QStringView name, QStringView method, QStringView x, QStringView y) {
    return Param(name, {u"ウィンドウ名(略可)", x, y},
                 {When(E1 | E2 | E3, {}, u"{Edit1}.%1({Edit2},{Edit3})"_s.arg(method)),
                  When(E2 | E3, E1, u"%1({Edit2},{Edit3})"_s.arg(method)),
                  Else(u"%1(,)"_s.arg(method))});
}

TSnippetCategory Window() {
    return {
        u"ウィンドウ"_s,
        {
            WindowMember(u"指定されたウィンドウのページを一つ戻す", u"back()"),
            WindowMember(u"指定ウィンドウを背後に移動", u"blur()"),
            WindowMember(u"指定ウインドウを閉じる", u"close()"),
            WindowMember(u"ウィンドウが閉じているか調べる", u"closed"),
            Param(u"ステータスバーにデフォルトで表示する文字列の設定",
                  {u"ウィンドウ名(略可)", u"文字列"},
                  {When(E1 | E2, {}, u"{Edit1}.defaultStatus = \"{Edit2}\""),
                   When(E2, E1, u"defaultStatus = \"{Edit2}\""),
                   When(E1, E2, u"{Edit1}.defaultStatus = \"\""), Else(u"defaultStatus = \"\"")}),
            WindowMember(u"指定ウィンドウを前面に移動", u"focus()"),
            WindowMember(u"指定されたウインドウのページを一つ進める", u"forward()"),
            WindowMember(u"フレームレートを返す", u"frameRate"),
            WindowMember(u"ホームに移動", u"home()"),
            WindowMember(u"実際の文書が表示される縦の長さ", u"innerHeight", u"innerHeight ="),
            WindowMember(u"実際の文書が表示される横の長さ", u"innerWidth", u"innerWidth ="),
            WindowBar(u"ロケーションバーの表示の設定", u"locationbar"),
            WindowBar(u"メニューバーの表示の設定", u"menubar"),
            WindowXY(u"ウィンドウの表示位置を変える", u"moveBy", u"オフセットＸ", u"オフセットＹ"),
            WindowXY(u"ウィンドウの表示開始位置の指定", u"moveTo", u"ウィンド縦幅",
                     u"ウィンド横幅"),
            Param(u"ウィンドウを開く", {u"ＵＲＬ(略可)", u"ウィンドウ名(略可)", u"表示設定(略可)"},
                  {When(E1 | E2 | E3, {}, u"window.open(\"{Edit1}\",\"{Edit2}\",\"{Edit3}\")"),
                   When(E2 | E3, E1, u"window.open(\"\",\"{Edit2}\",\"{Edit3}\")"),
                   When(E1 | E2, E3, u"window.open(\"{Edit1}\",\"{Edit2}\")"),
                   When(E3, E1 | E2, u"window.open(\"\",\"\",\"{Edit3}\")"),
                   Else(u"window.open()")}),
            WindowMember(u"オープン元のウィンドウを示す", u"opener"),
            WindowMember(u"ウィンドウの縦幅を返す", u"outerHeight", u"outerHeight ="),
            WindowMember(u"ウィンドウの横幅を返す", u"outerWidth", u"outerWidth ="),
            WindowBar(u"パーソナルバーの表示の設定", u"personalbar"),
            WindowMember(u"文書の印刷", u"print()"),
            WindowXY(u"ウィンドウサイズの変更", u"resizeBy", u"オフセットＸ", u"オフセットＹ"),
            WindowXY(u"ウィドウサイズの指定", u"resizeTo", u"ウィンド縦幅", u"ウィンド横幅"),
            WindowXY(u"ウィンドウ内容の表示開始位置の指定", u"scroll", u"Ｘ座標", u"Ｙ座標"),
            WindowBar(u"スクロールバーの表示の設定", u"scrollbars"),
            WindowXY(u"ウィンドウ内容の表示開始位置を変更", u"scrollBy", u"オフセットＸ",
                     u"オフセットＹ"),
            WindowXY(u"ウィンドウ内容の表示開始位置の指定", u"scrollTo", u"Ｘ座標", u"Ｙ座標"),
            Param(u"ステータスバーに文字や数値を表示する",
                  {u"ウィンドウ名(略可)", u"数値/数式または", u"文字列"},
                  {When(E1 | E2, {}, u"{Edit1}.status = {Edit2}"),
                   When(E2, E1, u"status = {Edit2}"),
                   When(E1 | E3, E2, u"{Edit1}.status = \"{Edit3}\""),
                   When(E3, E1 | E2, u"status = \"{Edit3}\""), Else(u"status =")}),
            WindowBar(u"ステータスバーの表示の設定", u"statusbar"),
            WindowMember(u"読み込みを中止する", u"stop()"),
            WindowBar(u"ツールバーの表示の設定", u"toolbar"),
            // JavaScript's own true and false: a capitalised True is an undefined name there.
            WithChoice(Param(u"各種バーの表示を設定", {u"ウィンドウ名(略可)", u"各種バー名"},
                             {When(E1 | E2 | C1, {}, u"{Edit1}.{Edit2}.visible = {ComboBox1}"),
                              When(E2 | C1, E1, u"{Edit2}.visible = {ComboBox1}"),
                              When(E1 | E2, C1, u"{Edit1}.{Edit2}.visible = "),
                              When(E2, E1 | C1, u"{Edit2}.visible = "), Else(u"visible =")}),
                       prComboBox1, u"表示", {u"true", u"false"}),
            Param(u"ウィンドウオブジェクト", {u"メソッド/プロパティ"},
                  {When(E1, {}, u"window.{Edit1}"), Else(u"window.")}),
        }};
}

} // namespace

std::vector<TSnippetCategory> CatalogueDialogWindow() {
    return {Dialog(), History(), Window()};
}

} // namespace snippets::build
