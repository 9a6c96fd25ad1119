// Categories スクリーン .. オリジナル. The conditions of one entry never overlap; the last form
// takes every other combination of filled and empty parameters.

#include "snippets/CatalogueBuild.h"

using namespace Qt::StringLiterals;

namespace snippets::build {

namespace {

TSnippetCategory Screen() {
    return {u"スクリーン"_s,
            {
                Direct(u"画面の色数を返す", u"screen.colorDepth"),
                Direct(u"画面の縦幅を返す", u"screen.height"),
                Direct(u"内部画面の色数を返す", u"screen.pixelDepth"),
                Param(u"スクリーンオブジェクト", {u"プロパティ"},
                      {When(E1, {}, u"screen.{Edit1}"), Else(u"screen.")}),
                Direct(u"画面の横幅を返す", u"screen.width"),
            }};
}

// The window whose frames are meant; the first is selected after the preparation.
TSnippetEntry WithFrameChoice(TSnippetEntry entry) {
    return WithChoice(std::move(entry), prComboBox2, u"フレームの指定",
                      {u"parent", u"top", u"self"});
}

// A property of a frame given by name or, in the partner edit, by index.
TSnippetEntry FrameProperty(QStringView name, QStringView property, QStringView bare) {
    return WithFrameChoice(
        Param(name, {u"フレーム名(略可)", u"フレーム参照番号(略可)"},
              {When(E2, E1, u"{ComboBox2 entry}.frames[{Edit2}].%1"_s.arg(property)),
               When({}, E1 | E2, bare), Else(u"{ComboBox2 entry}.{Edit1}.%1"_s.arg(property))}));
}

// A frame of parent, self or top by name (or member) or by index.
TSnippetEntry FrameOf(QStringView name, QStringView window) {
    return Param(name, {u"フレーム名/メソッド･プロパティ", u"フレーム参照番号"},
                 {When(E2, E1, u"%1.frames[{Edit2}]"_s.arg(window)),
                  When({}, E1 | E2, u"%1."_s.arg(window)), Else(u"%1.{Edit1}"_s.arg(window))});
}

TSnippetCategory Frame() {
    return {
        u"フレーム"_s,
        {
            WithFrameChoice(
                Param(u"デフォルト文字列の指定",
                      {u"フレーム名(略可)", u"フレーム参照番号(略可)", u"文字列"},
                      {When(E1 | E3, {}, u"{ComboBox2 entry}.{Edit1}.defaultStatus = \"{Edit3}\""),
                       When(E2 | E3, E1,
                            u"{ComboBox2 entry}.frames[{Edit2}].defaultStatus = \"{Edit3}\""),
                       When(E3, E1 | E2, u"defaultStatus = \"{Edit3}\""), Else(u"defaultStatus")})),
            FrameProperty(u"フレームレートを返す", u"frameRate", u"frameRate"),
            WithFrameChoice(
                Param(u"フレームオブジェクト",
                      {u"フレーム名", u"フレーム参照番号",
                       u"オブジェクト/メソッド/プロパティ/ハンドラ(略可)",
                       u"メソッド/プロパティ/ハンドラ(略可)"},
                      {When(E1 | E3 | E4, {}, u"{ComboBox2 entry}.{Edit1}.{Edit3}.{Edit4}"),
                       When(E2 | E3 | E4, E1, u"{ComboBox2 entry}.frames[{Edit2}].{Edit3}.{Edit4}"),
                       When(E1 | E4, E3, u"{ComboBox2 entry}.{Edit1}.{Edit4}"),
                       When(E1 | E3, E4, u"{ComboBox2 entry}.{Edit1}.{Edit3}"),
                       When(E2 | E4, E1 | E3, u"{ComboBox2 entry}.frames[{Edit2}].{Edit4}."),
                       When(E2 | E3, E1 | E4, u"{ComboBox2 entry}.frames[{Edit2}].{Edit3}"),
                       When(E1, E3 | E4, u"{ComboBox2 entry}.{Edit1}"),
                       When(E2, E1 | E3 | E4, u"{ComboBox2 entry}.frames[{Edit2}]"),
                       Else(u"{ComboBox2 entry}.")})),
            WithFocus(WithChoice(Param(u"指定フレームレートのフレーム総数を返す", {},
                                       {Else(u"{ComboBox2 entry}")}),
                                 prComboBox2, u"フレームの指定", {u"parent.length", u"top.length"}),
                      prComboBox2),
            FrameProperty(u"フレームのＵＲＬを返す", u"location", u".location"),
            FrameProperty(u"フレーム名を返す", u"name", u".name"),
            FrameOf(u"現在またはウィンドウの親フレームを示す", u"parent"),
            FrameOf(u"自分自身を示す", u"self"),
            Param(u"ステータスバーに文字や数値を表示する", {u"数値/数式", u"文字列"},
                  {When(E2, E1, u"status=\"{Edit2}\""), When({}, E1 | E2, u"status="),
                   Else(u"status={Edit1}")}),
            FrameOf(u"最初に定義されたフレームを示す", u"top"),
        }};
}

// A property of a link by its index in document.links or of an area by its name.
TSnippetEntry LinkProperty(QStringView name, QStringView property) {
    return Param(name, {u"links 参照番号", u"エリア名"},
                 {When(E2, E1, u"document.{Edit2}.%1"_s.arg(property)),
                  When({}, E1 | E2, u"document..%1"_s.arg(property)),
                  Else(u"document.links[{Edit1}].%1"_s.arg(property))});
}

// A link by index or an area by name, and a property or handler of it.
TSnippetEntry LinkMember(QStringView name) {
    return Param(name, {u"links 参照番号", u"エリア名", u"プロパティ/イベントハンドラ"},
                 {When(E1 | E3, {}, u"document.links[{Edit1}].{Edit3}"),
                  When(E2 | E3, E1, u"document.{Edit2}.{Edit3}"), Else(u"document..")});
}

TSnippetCategory Link() {
    return {
        u"リンク"_s,
        {
            Param(u"ドキュメントにアンカーを加える", {u"文字列", u"アンカー名"},
                  {When(E1 | E2, {}, u"\"{Edit1}\".anchor(\"{Edit2}\")"),
                   Else(u"\"\".anchor(\"\")")}),
            Param(u"アンカーオブジェクト", {u"配列参照番号", u"メソッド/プロパティ"},
                  {When(E1 | E2, {}, u"document.anchors[{Edit1}].{Edit2}"),
                   Else(u"document.anchors[].")}),
            LinkMember(u"エリアオブジェクト"),
            Direct(u"ドメイン名の参照／設定", u"document.domain"),
            LinkProperty(u"アンカー名の参照／設定", u"hash"),
            LinkProperty(u"ホスト名とポート名を連結した文字列の参照／設定", u"host"),
            LinkProperty(u"ホスト名の参照／設定", u"hostname"),
            LinkProperty(u"ＵＲＬの参照／設定", u"href"),
            Direct(u"リンク数を返す", u"document.links.length"),
            Param(u"ドキュメントにリンクを加える", {u"文字列", u"ＵＲＬ"},
                  {When(E1 | E2, {}, u"\"{Edit1}\".link(\"{Edit2}\")"), Else(u"\"\".link(\"\")")}),
            LinkMember(u"リンクの参照／設定"),
            Param(u"ロケーションオブジェクト", {u"ウィンドウ名(略可)", u"プロパティ/メソッド"},
                  {When(E1 | E2, {}, u"{Edit1}.document.location.{Edit2}"),
                   When(E2, E1, u"document.location.{Edit2}"), Else(u"document.location")}),
            Param(u"ドキュメントのロケーションを参照／設定", {u"ＵＲＬ"},
                  {When(E1, {}, u"document.location = \"{Edit1}\""), Else(u"document.location")}),
            LinkProperty(u"パス名の参照／設定", u"pathname"),
            LinkProperty(u"ポート番号の参照／設定", u"port"),
            LinkProperty(u"プロトコルを返す", u"protocol"),
            Param(u"ページ内容のリロード", {u"ウィンドウ名(略可)"},
                  {When(E1, {}, u"{Edit1}.location.reload()"), Else(u"location.reload()")}),
            Param(u"ページのＵＲＬを変更", {u"ウィンドウ名(略可)", u"ＵＲＬ"},
                  {When(E1 | E2, {}, u"{Edit1}.location.replace(\"{Edit2}\")"),
                   When(E2, E1, u"location.replace(\"{Edit2}\")"), Else(u"location.replace()")}),
            Direct(u"CGI 等に渡す文字列の参照／設定", u"location.search"),
            LinkProperty(u"ターゲットウィンドウ名の参照／設定", u"target"),
            Direct(u"ドキュメントのＵＲＬを返す", u"document.URL"),
        }};
}

// A property of a layer by its name (quoted) or, in the partner edit, by its index.
TSnippetEntry LayerProperty(QStringView name, QStringView tail) {
    return Param(name, {u"レイヤー名文字列", u"参照番号"},
                 {When(E2, E1, u"document.layers[{Edit2}]%1"_s.arg(tail)),
                  When({}, E1 | E2, u"document.layers[]%1"_s.arg(tail)),
                  Else(u"document.layers[\"{Edit1}\"]%1"_s.arg(tail))});
}

// A layer by name or index and a third parameter that every form needs.
TSnippetEntry LayerWith(QStringView name, QStringView layerCaption, QStringView caption,
                        QStringView tail, QStringView skeleton) {
    return Param(name, {layerCaption, u"参照番号", caption},
                 {When(E1 | E3, {}, u"document.layers[\"{Edit1}\"]%1"_s.arg(tail)),
                  When(E2 | E3, E1, u"document.layers[{Edit2}]%1"_s.arg(tail)), Else(skeleton)});
}

// A layer by name or index and two numbers.
TSnippetEntry LayerXY(QStringView name, QStringView method, QStringView x, QStringView y) {
    return Param(
        name, {u"レイヤー名文字列", u"参照番号", x, y},
        {When(E1 | E3 | E4, {}, u"document.layers[\"{Edit1}\"].%1({Edit3},{Edit4})"_s.arg(method)),
         When(E2 | E3 | E4, E1, u"document.layers[{Edit2}].%1({Edit3},{Edit4})"_s.arg(method)),
         Else(u"document.layers[].%1(,)"_s.arg(method))});
}

TSnippetCategory Layer() {
    return {
        u"レイヤー"_s,
        {
            LayerProperty(u"上に重なっているレイヤーを返す", u".above.name"),
            LayerProperty(u"下に重なっているレイヤーを返す", u".below.name"),
            LayerWith(u"レイヤーの背景色を指定", u"レイヤー名文字列", u"カラー名/カラーコード",
                      u".bgColor = \"{Edit3}\"", u"document.layers[].bgColor = \"\""),
            LayerProperty(u"クリップされたレイヤーの下側の座標を指定", u".clip.bottom"),
            LayerProperty(u"クリップされたレイヤーの縦の長さを設定", u".clip.height"),
            LayerProperty(u"クリップされたレイヤーの左側の座標を指定", u".clip.left"),
            LayerProperty(u"クリップされたレイヤーの右側の座標を指定", u".clip.right"),
            LayerProperty(u"クリップされたレイヤーの上側の座標を指定", u".clip.top"),
            LayerProperty(u"クリップされたレイヤーの横側の長さを設定", u".clip.width"),
            LayerProperty(u"レイヤーの可視状態を設定", u".hidden"),
            LayerProperty(u"レイヤー名を返す(id)", u".id"),
            Param(u"レイヤーオブジェクト", {u"メソッド / プロパティ"},
                  {When(E1, {}, u"document.layer.{Edit1}"), Else(u"document.layer.")}),
            LayerProperty(u"親レイヤーからの左からのオフセットを返す", u".left"),
            Direct(u"子レイヤー数を返す", u"document.layers.length"),
            LayerWith(u"指定レイヤーより手前に表示", u"レイヤー名文字列", u"文字列",
                      u".moveAbove(\"{Edit3}\")", u"document.layers[].moveAbove(\"\")"),
            LayerWith(u"指定レイヤーより奥に表示", u"レイヤー名文字列", u"文字列",
                      u".moveBelow(\"{Edit3}\")", u"document.layers[].moveBelow(\"\")"),
            LayerXY(u"レイヤーの表示位置を指定(moveBy)", u"moveBy", u"差分Ｘ座標", u"差分Ｙ座標"),
            LayerXY(u"レイヤーの表示位置を指定(moveTo)", u"moveTo", u"Ｘ座標", u"Ｙ座標"),
            LayerProperty(u"レイヤー名を返す(name)", u".name"),
            LayerWith(u"親レイヤーを返す", u"レイヤー名文字列",
                      u"オブジェクト/メソッド/プロパティ/ハンドラ", u".parentLayer.{Edit3}",
                      u"document.layers[].parentLayer."),
            LayerXY(u"レイヤーの表示サイズを指定(resizeBy)", u"resizeBy", u"差分Ｘ座標",
                    u"差分Ｙ座標"),
            LayerXY(u"レイヤーの表示サイズを指定(resizeTo)", u"resizeTo", u"Ｘ座標", u"Ｙ座標"),
            LayerProperty(u"上に重なっているレイヤーを返す", u".siblingAbove.name"),
            LayerProperty(u"下に重なっているレイヤーを返す", u".siblingBelow.name"),
            LayerWith(u"レイヤーに表示する文書を指定", u"レイヤー名", u"ＵＲＬ",
                      u".src = \"{Edit3}\"", u"document.layers[].src = \"\""),
            LayerProperty(u"親レイヤーからの上からのオフセットを返す", u".top"),
            WithChoice(
                Param(u"レイヤーの表示の設定", {u"レイヤー名", u"参照番号"},
                      {When(E2, E1, u"document.layers[{Edit2}].visibility = {ComboBox2 entry}"),
                       When({}, E1 | E2, u"document.layers[].visibility = "),
                       Else(u"document.layers[\"{Edit1}\"].visibility = {ComboBox2 entry}")}),
                prComboBox2, u"表示", {u"show", u"hide"}),
            LayerWith(u"Ｚ座標の指定", u"レイヤー名", u"Ｚ座標", u".zIndex = {Edit3}",
                      u"document.layers[].zIndex = "),
        }};
}

TSnippetCategory Timer() {
    return {u"タイマー"_s,
            {
                Param(u"インターバルタイマーのクリア", {u"タイマー変数"},
                      {When(E1, {}, u"clearInterval({Edit1})"), Else(u"clearInterval()")}),
                Param(u"指定したタイマーのクリア", {u"タイマー変数"},
                      {When(E1, {}, u"clearTimeout({Edit1})"), Else(u"clearTimeout()")}),
                Param(u"インターバルタイマーの設定",
                      {u"タイマー変数名", u"実行される命令 / 関数名", u"割り込み秒数(1/1000)"},
                      {When(E1 | E2 | E3, {}, u"{Edit1}=setInterval({Edit2},{Edit3})"),
                       Else(u" = setInterval()")}),
                Param(u"指定したタイマーの設定",
                      {u"タイマー変数名", u"実行される命令 / 関数名", u"割り込み秒数(1/1000)"},
                      {When(E1 | E2 | E3, {}, u"{Edit1}=setTimeout({Edit2},{Edit3})"),
                       Else(u" = setTimeout()")}),
            }};
}

TSnippetCategory Other() {
    return {
        u"その他"_s,
        {
            Param(u"定義関数の引数を返す", {u"関数名(略可)", u"参照番号"},
                  {When(E1 | E2, {}, u"{Edit1}.arguments[{Edit2}]"),
                   When(E2, E1, u"arguments[{Edit2}]"), Else(u"arguments[]")}),
            Param(u"関数の呼び出しもとを返す", {u"関数名(略可)"},
                  {When(E1, {}, u"{Edit1}.caller"), Else(u"caller")}),
            Param(u"作成元のオブジェクトを返す", {u"オブジェクト名"},
                  {When(E1, {}, u"{Edit1}.constructor"), Else(u".constructor")}),
            Param(u"関数の作成", {u"オブジェクト名", u"関数本体"},
                  {When(E1 | E2, {}, u"{Edit1}=new Function(\"{Edit2}\")"),
                   Else(u"=new Function(\"\")")}),
            Param(u"数値オブジェクトの生成", {u"数値オブジェクト名", u"数値(略可)"},
                  {When(E1 | E2, {}, u"{Edit1}=new Number({Edit2})"),
                   When(E1, E2, u"{Edit1}=new Number()"), Else(u" = new Number()")}),
            Param(u"オブジェクトのプロトタイプを作成", {u"オブジェクト名", u"プロパティ名", u"値"},
                  {When(E1 | E2 | E3, {}, u"{Edit1}.prototype.{Edit2}={Edit3}"),
                   Else(u".prototype.=")}),
            Param(u"文字列オブジェクトの生成", {u"文字列オブジェクト名", u"文字列(略可)"},
                  {When(E1 | E2, {}, u"{Edit1}=new String({Edit2})"),
                   When(E1, E2, u"{Edit1}=new String()"), Else(u"= new String()")}),
            Param(u"オブジェクトや変数のタイプを調べる", {u"変数"},
                  {When(E1, {}, u"typeof({Edit1})"), Else(u"typeof()")}),
            Param(u"オブジェクトの値", {u"オブジェクト名"},
                  {When(E1, {}, u"{Edit1}.valueOf()"), Else(u"valueOf()")}),
        }};
}

TSnippetCategory Original() {
    return {u"オリジナル"_s,
            {
                Message(u"オリジナルテンプレートを開く", u"作成中"),
                Nothing(u"オリジナルテンプレートとして保存"),
            }};
}

} // namespace

std::vector<TSnippetCategory> CatalogueScreenToOriginal() {
    return {Screen(), Frame(), Link(), Layer(), Timer(), Other(), Original()};
}

} // namespace snippets::build
