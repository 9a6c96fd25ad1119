// Categories 基本 .. ナビゲーター. Their rules are tried in order, so a later form may assume that
// an earlier one did not apply.

#include "snippets/CatalogueBuild.h"

using namespace Qt::StringLiterals;

namespace snippets::build {

namespace {

TSnippetCategory Basic() {
    return {u"基本"_s,
            {
                Direct(u"JavaScript ヘッダ",
                       u"<SCRIPT Language=\"JavaScript\">\r\n<!--\r\n\r\n// -->\r\n</SCRIPT>"),
                Direct(u"function 文", u"function {\r\n\r\n}"),
                Direct(u"for 文", u"for\r\n{\r\n\r\n}"),
            }};
}

TSnippetCategory Array() {
    return {
        u"配列"_s,
        {
            Param(u"配列の生成",
                  {u"配列名", u"確保する配列要素数(略可)", u"設定する配列内容(略可)"},
                  {When(E1 | E2, {}, u"{Edit1} = new Array({Edit2})"),
                   When(E1 | E3, {}, u"{Edit1} = new Array({Edit3})"), Else(u" = new Array()")}),
            Param(u"配列内容の連結", {u"配列名", u"連結文字(略可)"},
                  {When(E2, {}, u"{Edit1}.join([\"{Edit2}\"])"), Else(u"{Edit1}.join()")}),
            Param(u"配列要素数を返す", {u"配列名"}, {Else(u"{Edit1}.length")}),
            Param(u"配列要素を逆順に並べ替える", {u"配列名"}, {Else(u"{Edit1}.reverse()")}),
            Param(u"配列を並び替える", {u"配列名", u"比較関数名(略可)"},
                  {Else(u"{Edit1}.sort({Edit2})")}),
        }};
}

// A number or, in the partner edit, an expression.
TSnippetEntry MathOne(QStringView name, QStringView f) {
    return Param(name, {u"数値", u"数式"},
                 {When(E1, {}, u"Math.%1({Edit1})"_s.arg(f)), Else(u"Math.%1({Edit2})"_s.arg(f))});
}

TSnippetEntry MathTwo(QStringView name, QStringView f) {
    return Param(name, {u"数値/数式", u"数値/数式"}, {Else(u"Math.%1({Edit1},{Edit2})"_s.arg(f))});
}

TSnippetCategory Arithmetic() {
    return {u"演算"_s,
            {
                MathOne(u"絶対値を求める", u"abs"),
                MathOne(u"アークコサインを求める", u"acos"),
                MathOne(u"アークサインを求める", u"asin"),
                MathOne(u"アークタンジェントを求める", u"atan"),
                MathTwo(u"X,Y の座標から角度を求める", u"atan2"),
                MathOne(u"もっとも大きく近い正数を求める", u"ceil"),
                MathOne(u"コサインを求める", u"cos"),
                Direct(u"自然対数の底を求める", u"Math.E"),
                MathOne(u"E を基数とする指数を求める", u"exp"),
                MathOne(u"もっとも小さい整数値を求める", u"floor"),
                Direct(u"１０の自然対数の値", u"Math.LN10"),
                Direct(u"２の自然対数の値", u"Math.LN2"),
                MathOne(u"常用対数を求めます", u"log"),
                Direct(u"E の常用対数の値", u"Math.LOG10E"),
                Direct(u"２を底とする E の対数の値", u"Math.LOG2E"),
                Direct(u"数学関数オブジェクト", u"new Math()"),
                MathTwo(u"２つの数値を比較して大きい方の値", u"max"),
                MathTwo(u"２つの数値を比較して小さい方の値", u"min"),
                Direct(u"円周率の値", u"Math.PI"),
                MathTwo(u"べき乗を求める", u"pow"),
                Direct(u"乱数を発生させる", u"Math.random()"),
                MathOne(u"値を四捨五入する", u"round"),
                MathOne(u"サインを求める", u"sin"),
                MathOne(u"平方根を求める", u"sqrt"),
                Direct(u"２の平方根の半分の値", u"Math.SQRT1_2"),
                Direct(u"２の平方根の値", u"Math.SQRT2"),
                MathOne(u"タンジェントを求める", u"tan"),
            }};
}

TSnippetCategory Conversion() {
    return {
        u"変換／演算"_s,
        {
            Param(u"文字列のアスキーコードを返す", {u"文字列"}, {Else(u"escape(\"{Edit1}\")")}),
            Param(u"文字列を数式として演算", {u"文字列", u"数式"},
                  {When(E1, {}, u"eval(\"{Edit1}\")"), Else(u"eval(\"{Edit2}\")")}),
            Param(u"数値かどうか調べる", {u"文字列", u"数値"},
                  {When(E1, {}, u"isNaN(\"{Edit1}\")"), Else(u"isNaN(\"{Edit2}\")")}),
            Param(u"少数を含む文字列を数値にする", {u"文字列"}, {Else(u"parseFloat(\"{Edit1}\")")}),
            Param(u"文字列を整数値にする", {u"文字列", u"基数(略可)"},
                  {When(E2, {}, u"parseInt(\"{Edit1}\",{Edit2})"), Else(u"parseInt(\"{Edit1}\")")}),
            Param(u"n 進数に変換", {u"変数", u"基数"}, {Else(u"{Edit1}.toString({Edit2})")}),
            Param(u"ISO Latin 1 文字列をアスキー文字列に変換", {u"ISO Latin 1文字列"},
                  {Else(u"unescape(\"{Edit1}\")")}),
            Param(u"何も返さない値を返す", {u"評価式"}, {Else(u"void({Edit1})")}),
        }};
}

TSnippetEntry DateGet(QStringView name, QStringView method) {
    return Param(name, {u"Date オブジェクト名"}, {Else(u"{Edit1}.%1()"_s.arg(method))});
}

// The value to set comes as a number or expression, or in the partner edit as a string.
TSnippetEntry DateSet(QStringView name, QStringView method, QStringView unit) {
    const QString number = u"設定する%1(数値/数式)"_s.arg(unit);
    const QString string = u"設定する%1(文字列)"_s.arg(unit);
    return Param(name, {u"Date オブジェクト名", number, string},
                 {When(E1 | E2, {}, u"{Edit1}.%1({Edit2})"_s.arg(method)),
                  When(E1 | E3, {}, u"{Edit1}.%1(\"{Edit3}\")"_s.arg(method)),
                  Else(u".%1()"_s.arg(method))});
}

TSnippetCategory Date() {
    return {u"日付"_s,
            {
                Param(u"日付オブジェクト", {u"メソッド", u"生成するオブジェクト名"},
                      {When(E1, E2, u"Date.{Edit1}"), When(E2, E1, u"{Edit2}= new Date"),
                       Else(u"Date")}),
                DateGet(u"現在の日付", u"getDate"),
                DateGet(u"現在の曜日", u"getDay"),
                DateGet(u"現在の時間", u"getHours"),
                DateGet(u"現在の時間(分)", u"getMinutes"),
                DateGet(u"現在の時間(秒)", u"getSeconds"),
                DateGet(u"現在の月", u"getMonth"),
                DateGet(u"1970.1.1.00:00:00 からの秒数", u"getTime"),
                DateGet(u"グリニッジ標準時からの時差", u"getTimezoneOffset"),
                DateGet(u"現在の西暦年", u"getYear"),
                Param(u"1970.1.1.00:00:00 からの ﾐﾘ 秒", {u"日付文字列"},
                      {Else(u"Date.parse(\"{Edit1}\")")}),
                DateSet(u"日付を設定する", u"setDate", u"日付"),
                DateSet(u"時間を設定する", u"setHours", u"時間"),
                DateSet(u"分を設定する", u"setMinutes", u"分"),
                DateSet(u"秒を設定する", u"setSeconds", u"秒"),
                DateSet(u"月を設定する", u"setMonth", u"月"),
                DateSet(u"1970.1.1.00:00:00 を基にした時間を設定", u"setTime", u"時間"),
                DateSet(u"年を設定する", u"setYear", u"年"),
                DateGet(u"グリニッジ標準時を文字列に変換したものを返す", u"toGMTString"),
                DateGet(u"ローカル時刻を文字列に変換したものを返す", u"toLocaleString"),
                Direct(u"1970.1.1.00:00:00 からの ミリセコンドを求める", u"Date.UTC(,,,,,)"),
            }};
}

// A method or property of a string literal; without the string only the member is given.
TSnippetEntry StringMember(QStringView name, QStringView member) {
    return Param(name, {u"文字列"},
                 {When(E1, {}, u"\"{Edit1}\".%1"_s.arg(member)), Else(u".%1"_s.arg(member))});
}

TSnippetCategory String() {
    return {
        u"文字列"_s,
        {
            StringMember(u"文字サイズを大きくする", u"big()"),
            StringMember(u"文字を点滅させる", u"blink()"),
            StringMember(u"文字をふと文字にする", u"bold()"),
            Param(u"１文字抜き出す", {u"文字列", u"抜き出す位置"},
                  {When(E1 | E2, {}, u"\"{Edit1}\".charAt({Edit2})"),
                   When(E2, E1, u".charAt({Edit2})"), Else(u".charAt()")}),
            Param(u"ドキュメント内の文字列を検索する", {u"検索文字列"},
                  {Else(u"find(\"{Edit1}\")")}),
            StringMember(u"文字を等幅文字にする", u"fixed()"),
            Param(u"文字色の設定", {u"文字列", u"カラー名/カラーコード名"},
                  {When(E1 | E2, {}, u"\"{Edit1}\".fontcolor(\"{Edit2}\")"),
                   Else(u"\"\".fontcolor(\"\")")}),
            Param(u"文字サイズを変更する", {u"文字列", u"数値(1-7)"},
                  {When(E1 | E2, {}, u"\"{Edit1}\".fontsize({Edit2})"), Else(u"\"\".fontsize()")}),
            Param(u"指定した文字列を検索", {u"検索される文字", u"検索文字", u"開始位置"},
                  {When(E1 | E2 | E3, {}, u"{Edit1}.indexOf({Edit2},{Edit3})"),
                   Else(u".indexOf(,)")}),
            StringMember(u"文字を斜体にする", u"italics()"),
            Param(u"指定した文字列を末尾から検索", {u"検索される文字", u"検索文字", u"開始位置"},
                  {When(E1 | E2 | E3, {}, u"{Edit1}.lastIndexOf({Edit2},{Edit3})"),
                   Else(u".lastIndexOf(,)")}),
            StringMember(u"文字列の長さを返す", u"length"),
            Param(u"文字列にハイパーリンクを指定", {u"文字列", u"ＵＲＬ"},
                  {When(E1 | E2, {}, u"\"{Edit1}\".link(\"{Edit2}\")"), Else(u"\"\".link(\"\")")}),
            Param(
                u"一致する文字列があるか調べる", {u"検索される文字", u"検索文字"},
                {When(E1 | E2, {}, u"\"{Edit1}\".match(\"{Edit2}\")"), Else(u"\"\".match(\"\")")}),
            Param(u"文字列の置換", {u"元の文字", u"置換される文字", u"置換する文字"},
                  {When(E1 | E2 | E3, {}, u"\"{Edit1}\".replace(\"{Edit2}\",\"{Edit3}\")"),
                   Else(u"\"\".replace(\"\",\"\")")}),
            StringMember(u"文字サイズを小さくする", u"small()"),
            Param(u"指定文字で文字列を分割する",
                  {u"配列/変数", u"文字列", u"文字列変数", u"検索文字"},
                  {When(E1 | E2 | E4, {}, u"{Edit1} = \"{Edit2}\".split(\"{Edit4}\")"),
                   When(E1 | E3 | E4, {}, u"{Edit1} = {Edit3}.split(\"{Edit4}\")"),
                   Else(u".split(\"\")")}),
            StringMember(u"取消線の表示", u"strike()"),
            StringMember(u"下付文字にする", u"sub()"),
            Param(u"指定位置から指定数文字を抜き出す",
                  {u"文字列", u"抜き出す先頭位置", u"抜き出す文字数"},
                  {When(E1 | E2 | E3, {}, u"\"{Edit1}\".substr({Edit2},{Edit3})"),
                   Else(u"\"\".substr(,)")}),
            Param(u"指定範囲の文字列を抜き出す",
                  {u"文字列", u"抜き出す先頭位置", u"抜き出す終了位置"},
                  {When(E1 | E2 | E3, {}, u"\"{Edit1}\".substring({Edit2},{Edit3})"),
                   Else(u"\"\".substring(,)")}),
            StringMember(u"上付文字にする", u"sup()"),
            StringMember(u"文字列全体を小文字にする", u"toLowerCase()"),
            StringMember(u"文字列全体を大文字にする", u"toUpperCase()"),
        }};
}

// An image by its name or, in the partner edit, by its index in document.images.
TSnippetEntry ImageProperty(QStringView name, QStringView property) {
    return Param(name, {u"画像名", u"画像参照番号"},
                 {When(E1, {}, u"document.{Edit1}.%1"_s.arg(property)),
                  When(E2, {}, u"document.images[{Edit2}].%1"_s.arg(property)),
                  Else(u"document..%1"_s.arg(property))});
}

TSnippetCategory Image() {
    return {u"画像"_s,
            {
                ImageProperty(u"画像の枠の太さを返す", u"border"),
                ImageProperty(u"画像が完全に読み込まれたかを返す", u"complete"),
                ImageProperty(u"画像の縦幅を返す", u"height"),
                ImageProperty(u"画像とテキストの横の間隔を返す", u"hspace"),
                Param(u"新しい画像の生成", {u"縦幅", u"横幅"},
                      {When(E1 | E2, {}, u"Image({Edit1},{Edit2})"), Else(u"Image(,)")}),
                Direct(u"画像の枚数を返す", u"document.images.length"),
                ImageProperty(u"低解像度用画像のアドレスを指定", u"lowsrc"),
                ImageProperty(u"画像の名前を返す", u"name"),
                ImageProperty(u"画像のアドレスを指定", u"src"),
                ImageProperty(u"画像とテキストの縦の間隔を返す", u"vspace"),
                ImageProperty(u"画像の横幅を返す", u"width"),
            }};
}

// An HTML handler attribute: mixed case, its value quoted.
TSnippetEntry HandlerAttribute(QStringView name, QStringView handler) {
    return Param(name, {u"命令"}, {Else(u"%1=\"{Edit1}\""_s.arg(handler))});
}

// A handler property assigned from script: lower case, its value a function, not quoted.
TSnippetEntry HandlerProperty(QStringView name, QStringView handler) {
    return Param(name, {u"イベントハンドラ/関数名"}, {Else(u"%1={Edit1}"_s.arg(handler))});
}

TSnippetEntry EventCoordinate(QStringView name, QStringView property) {
    return Param(name, {u"イベント名"}, {Else(u"{Edit1}.%1"_s.arg(property))});
}

TSnippetCategory Event() {
    return {u"イベント"_s,
            {
                Param(u"イベントを返す", {u"プロパティ"},
                      {When(E1, {}, u"event.{Edit1}"), Else(u"event")}),
                Direct(u"マウスのレイヤー上のＸ座標を返す", u"event.layerX"),
                Direct(u"マウスのレイヤー上のＹ座標を返す", u"event.layerY"),
                Direct(u"修飾キーの番号を返す", u"event.modifiers"),
                HandlerAttribute(u"画像の読み込みがキャンセルされたとき", u"onAbort"),
                HandlerAttribute(u"マウスポインタが離れたとき", u"onBlur"),
                HandlerAttribute(u"フォームの内容を変化させたとき", u"onChange"),
                HandlerAttribute(u"クリックしたとき", u"onClick"),
                HandlerProperty(u"ドラッグ＆ドロップの可否の設定", u"ondragdrop"),
                HandlerAttribute(u"画像読み込みエラーのとき", u"onError"),
                HandlerAttribute(u"マウスポインタを合わせたとき", u"onFocus"),
                HandlerProperty(u"キーダウンイベントの時の処理先を指定", u"onkeydown"),
                HandlerProperty(u"キープレスイベント時の処理先を指定", u"onkeypress"),
                HandlerProperty(u"キーアップイベント時の処理先を指定", u"onkeyup"),
                HandlerAttribute(u"ドキュメントや画像が完全に読み込まれたとき", u"onLoad"),
                HandlerProperty(u"マウスダウンイベント時の処理先を指定", u"onmousedown"),
                HandlerAttribute(u"マウスポインタがアンカーから離れたとき", u"onMouseOut"),
                HandlerAttribute(u"マウスポインタがアンカーに重なったとき", u"onMouseOver"),
                HandlerProperty(u"マウスアップイベント時の処理先を指定", u"onmouseup"),
                HandlerProperty(u"ウィンドウ移動時の処理先を指定", u"onmove"),
                HandlerAttribute(u"フォームのリセットボタンを押したとき", u"onReset"),
                HandlerProperty(u"ウィンドウサイズ変更時の処理先を指定", u"onresize"),
                HandlerAttribute(u"テキストエリアを選択したとき", u"onSelect"),
                HandlerAttribute(u"データフォームを送信するとき", u"onSubmit"),
                HandlerAttribute(u"ページを切り替えたとき", u"onUnload"),
                EventCoordinate(u"マウスのページ上のＸ座標を返す", u"pageX"),
                EventCoordinate(u"マウスのページ上のＹ座標を返す", u"pageY"),
                EventCoordinate(u"マウスのスクリーン上のＸ座標を返す", u"screenX"),
                EventCoordinate(u"マウスのスクリーン上のＹ座標を返す", u"screenY"),
                Direct(u"イベントタイプを返す", u"event.type"),
                Direct(u"入力されたキーのアスキーコード", u"event.which"),
                Direct(u"マウスのＸ座標を返す", u"event.x"),
                Direct(u"マウスのＹ座標を返す", u"event.y"),
            }};
}

// Sets a document colour when one is given, else names the property.
TSnippetEntry DocumentColour(QStringView name, QStringView property) {
    return Param(name, {u"カラーコード名/カラー名"},
                 {When(E1, {}, u"document.%1 = \"{Edit1}\""_s.arg(property)),
                  Else(u"document.%1"_s.arg(property))});
}

// A quoted string or, in the partner edit, an expression.
TSnippetEntry DocumentWrite(QStringView name, QStringView method) {
    return Param(name, {u"文字列または", u"数式"},
                 {When(E1, {}, u"document.%1(\"{Edit1}\")"_s.arg(method)),
                  Else(u"document.%1({Edit2})"_s.arg(method))});
}

TSnippetCategory Document() {
    return {u"ドキュメント"_s,
            {
                DocumentColour(u"リンク中の文字色を設定", u"alinkColor"),
                Param(u"アンカーを参照", {u"参照番号"},
                      {When(E1, {}, u"document.anchors[{Edit1}]"), Else(u"document.anchors")}),
                Param(u"Java アプレットの参照", {u"参照番号", u"メソッド/プロパティ"},
                      {When(E1 | E2, {}, u"document.applets[{Edit1}].{Edit2}"),
                       Else(u"document.applets")}),
                DocumentColour(u"背景色の設定", u"bgColor"),
                Direct(u"ドキュメントをクリアー", u"document.clear()"),
                Direct(u"ドキュメントを閉じる", u"document.close()"),
                Param(u"cookie の参照／変更", {u"書き込む内容"},
                      {Else(u"document.cookie = \"{Edit1}\"")}),
                Param(u"ドキュメントオブジェクト", {u"メソッド/プロパティ"},
                      {Else(u"document.{Edit1}")}),
                Param(u"プラグインオブジェクトの参照", {u"EMBT 参照番号", u"メソッド/プロパティ"},
                      {When(E1 | E2, {}, u"document.embeds[{Edit1}].{Edit2}"),
                       When(E2, E1, u"document.embeds.{Edit2}"), Else(u"document.embeds")}),
                DocumentColour(u"通常の文字色を設定", u"fgColor"),
                Param(u"選択された文字を返す", {u"ウィンドウ名(略可)"},
                      {Else(u"{Edit1}getSelection()")}),
                Direct(u"ファイルの最終変更日", u"document.lastModified"),
                DocumentColour(u"まだリンクされていないリンク文字色を設定", u"linkColor"),
                Param(u"MIME 形式ドキュメントを開く", {u"文書形式(略可)"},
                      {Else(u"document.open({Edit1})")}),
                Direct(u"リンクジャンプ元のＵＲＬを返す", u"document.referrer"),
                Direct(u"ドキュメントのタイトルを返す", u"document.title"),
                DocumentColour(u"リンク済みのリンク文字色を設定", u"vlinkColor"),
                DocumentWrite(u"文字や数値を表示する", u"write"),
                DocumentWrite(u"文字や数値を改行して表示する", u"writeln"),
            }};
}

TSnippetCategory Navigator() {
    return {u"ナビゲーター"_s,
            {
                Direct(u"プラウザのコード名を返す", u"navigator.appCodeName"),
                Direct(u"アプリケーション名を返す", u"navigator.appName"),
                Direct(u"バージョンと機種名を返す", u"navigator.appVersion"),
                Param(u"MIME タイプ／プラグインの簡易説明", {u"参照番号"},
                      {Else(u"navigator.mimeTypes[{Edit1}].description")}),
                Param(u"プラグイン使用可能かの是非", {u"MIME タイプ", u"配列参照番号"},
                      {When(E1, {}, u"navigator.mimeTypes[\"{Edit1}\"].enabledPlugin"),
                       Else(u"navigator.mimeTypes[{Edit2}].enabledPlugin")}),
                Param(u"プラグイン名を返す", {u"プラグイン参照番号"},
                      {Else(u"navigator.plugins[{Edit1}].filename")}),
                Direct(u"Java アプレット実行可能かの是非", u"navigator.javaEnabled()"),
                Direct(u"言語セットを返す", u"navigator.language"),
                Direct(u"MIME タイプ数／プラグイン数", u"navigator.mimeTypes.length"),
                Param(u"MIME タイプを返す", {u"MIME タイプ参照番号"},
                      {Else(u"navigator.mimeTypes[{Edit1}]")}),
                Param(u"ナビゲーターオブジェクト", {u"メソッド/プロパティ"},
                      {Else(u"navigator.{Edit1}")}),
                Direct(u"プラットフォームを返す", u"navigator.platform"),
                Param(u"プラグインの参照", {u"プラグイン参照番号", u"プロパティ"},
                      {When(E1 | E2, {}, u"navigator.plugins[{Edit1}].{Edit2}"),
                       When(E2, E1, u"navigator.plugins.{Edit2}"), Else(u"navigator.plugins[]")}),
                Param(u"使用可能な拡張子を返す", {u"MIME タイプ参照番号"},
                      {Else(u"navigator.mimeTypes[{Edit1}].suffixes")}),
                Direct(u"データを送信の可否", u"navigator.taintEnabled()"),
                Param(u"MIME ／プラグインのタイプを返す", {u"MIME タイプ参照番号"},
                      {Else(u"navigator.mimeTypes[{Edit1}].type")}),
                Direct(u"エージェントを返す", u"navigator.userAgent"),
            }};
}

} // namespace

std::vector<TSnippetCategory> CatalogueBasic() {
    return {Basic(),  Array(), Arithmetic(), Conversion(), Date(),
            String(), Image(), Event(),      Document(),   Navigator()};
}

} // namespace snippets::build
