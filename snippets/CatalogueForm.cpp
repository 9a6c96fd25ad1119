// Category フォーム. A form is addressed by its name (Edit1) or its index in document.forms
// (Edit2); an element by its name (Edit3) or its index in the form's elements (usually Edit4).
// The conditions of one entry never overlap; the last form takes every other combination.

#include "snippets/CatalogueBuild.h"

using namespace Qt::StringLiterals;

namespace snippets::build {

namespace {

// A property or method of the form itself.
TSnippetEntry FormMember(QStringView name, QStringView tail) {
    return Param(name, {u"フォーム名", u"参照番号"},
                 {When(E2, E1, u"document.forms[{Edit2}]%1"_s.arg(tail)),
                  When({}, E1 | E2, u"document.%1"_s.arg(tail)),
                  Else(u"document.{Edit1}%1"_s.arg(tail))});
}

// The four ways of reaching an element (form by name or index, element by name or index) followed
// by `tail`; `more` are further parameters every way needs, `number` the edit with the element's
// index.
std::vector<TOutputForm> ElementForms(QStringView tail, TParamSet more, TParamRow number,
                                      QStringView skeleton) {
    const QString index = QString::number(int(number) + 1);
    const TParamFlag n = RowFlag(number);
    return {
        When(E1 | E3 | more, {}, u"document.{Edit1}.{Edit3}%1"_s.arg(tail)),
        When(E2 | E3 | more, E1, u"document.forms[{Edit2}].{Edit3}%1"_s.arg(tail)),
        When(E1 | n | more, E3, u"document.{Edit1}.elements[{Edit%1}]%2"_s.arg(index, tail)),
        When(E2 | n | more, E1 | E3,
             u"document.forms[{Edit2}].elements[{Edit%1}]%2"_s.arg(index, tail)),
        Else(skeleton),
    };
}

// Element by name or index in rows 3 and 4, nothing more.
TSnippetEntry Element(QStringView name, QStringView tail, QStringView skeleton) {
    return Param(name, {u"フォーム名", u"参照番号", u"エレメント名", u"参照番号"},
                 ElementForms(tail, {}, prEdit4, skeleton));
}

// A named object of the form and one of its members; no index alternative for the object.
TSnippetEntry NamedObject(QStringView name, QStringView object, QStringView member,
                          QStringView skeleton) {
    return Param(name, {u"フォーム名", u"参照番号", object, member},
                 {When(E1 | E3 | E4, {}, u"document.{Edit1}.{Edit3}.{Edit4}"),
                  When(E2 | E3 | E4, E1, u"document.forms[{Edit2}].{Edit3}.{Edit4}"),
                  Else(skeleton)});
}

// An input object whose member is in row 4 and whose index alternative is in row 5.
TSnippetEntry InputObject(QStringView name, QStringView object) {
    return Param(
        name,
        {u"フォーム名", u"参照番号", object, u"プロパティメ/ソッド/イベントハンドラ", u"参照番号"},
        ElementForms(u".{Edit4}", E4, prEdit5, u"document..elements[]."));
}

// A select element's option (index in row 5) and one of its properties.
TSnippetEntry OptionProperty(QStringView name, QStringView object, QStringView property) {
    return Param(name, {u"フォーム名", u"参照番号", object, u"参照番号", u"参照番号"},
                 ElementForms(u".options[{Edit5}].%1"_s.arg(property), E5, prEdit4,
                              u"document...options[].%1"_s.arg(property)));
}

TSnippetEntry Taint(QStringView name, QStringView caption) {
    return Param(name, {caption}, {When(E1, {}, u"taint({Edit1})"), Else(u"taint()")});
}

TSnippetCategory Form() {
    return {
        u"フォーム"_s,
        {
            FormMember(u"フォームの送信先の参照／指定", u".action"),
            Element(u"入力エリアからポインタを離す", u".blur()", u"document...blur()"),
            NamedObject(u"ボタンの参照／設定", u"ボタンオブジェクト名",
                        u"メソッド/プロパティ/ハンドラ", u"document..."),
            NamedObject(u"チェックボックスの参照／設定", u"チェックボックスオブジェクト名",
                        u"メソッド/プロパティ/ハンドラ", u"document..."),
            Element(u"チェックボックスおよびラジオボタンの状態を設定", u".checked",
                    u"document...checked"),
            Element(u"ボタンを自動的にクリックする", u".click()", u"document...click()"),
            Element(u"チェックボックスおよびラジオボタンの初期状態を返す", u".defaultChecked",
                    u"document...defaultChecked"),
            // The option's index is left as a word for the user to replace.
            Element(u"ポップアップメニュー項目がデフォルト選択か返す",
                    u".options[参照番号].defaultSelected",
                    u"document...options[参照番号].defaultSelected"),
            FormMember(u"テキストエリアのデフォルト文字を返す", u".defaultValue"),
            Param(u"フォーム内のエレメントの参照／設定",
                  {u"フォーム名", u"参照番号", u"参照番号", u"メソッド/プロパティ/ハンドラ"},
                  {When(E1 | E3 | E4, {}, u"document.{Edit1}.elements[{Edit3}].{Edit4}"),
                   When(E2 | E3 | E4, E1, u"document.forms[{Edit2}].elements[{Edit3}].{Edit4}"),
                   Else(u"document..elements[].")}),
            FormMember(u"フォームの送信形式を参照／設定", u".encoding"),
            Param(u"ファイルアップロードオブジェクト",
                  {u"フォーム名", u"参照番号", u"エレメント名", u"参照番号",
                   u"メソッド/プロパティ/ハンドラ"},
                  ElementForms(u".{Edit5}", E5, prEdit4, u"document...")),
            Element(u"入力エリアにポインタを合わす", u".focus()", u"document...focus()"),
            Element(u"エレメントが属するフォームを示す", u".form", u"this.form"),
            Param(u"フォームの参照／設定",
                  {u"フォーム名", u"参照番号", u"メソッド/プロパティ/ハンドラ"},
                  {When(E1 | E3, {}, u"document.{Edit1}.{Edit3}"),
                   When(E2 | E3, E1, u"document.forms[{Edit2}].{Edit3}"), Else(u"document..")}),
            Param(u"hidden オブジェクト",
                  {u"フォーム名", u"参照番号", u"オブジェクト名", u"メソッド/プロパティ",
                   u"参照番号"},
                  ElementForms(u".{Edit4}", E4, prEdit5, u"document...")),
            OptionProperty(u"ポップアップメニューの参照番号を返す", u"オブジェクト名", u"index"),
            Param(u"フォームのエレメント数を返す",
                  {u"フォーム名", u"参照番号", u"ﾎﾞﾀﾝ/ｾﾚｸﾄｵﾌﾞｼﾞｪｸﾄ 名", u"参照番号"},
                  {When(E1 | E3, {}, u"document.{Edit1}.{Edit3}.length"),
                   When(E2 | E4, E1, u"document.forms[{Edit2}].elements[{Edit4}].length"),
                   When(E1 | E4, E3, u"document.{Edit1}.elements[{Edit4}].length"),
                   When(E1, E3 | E4, u"document.{Edit1}.length"),
                   When(E2, E1 | E3 | E4, u"document.forms[{Edit2}].length"),
                   Else(u"document..length")}),
            FormMember(u"フォームの送信方法を返す", u".method"),
            Element(u"フォーム名またはエレメント名を返す", u".name", u"this.name"),
            Param(
                u"ポップアップメニューの項目を参照する",
                {u"フォーム名", u"参照番号", u"ｾﾚｸﾄｵﾌﾞｼﾞｪｸﾄ 名", u"参照番号", u"プロパティ",
                 u"参照番号"},
                {When(E1 | E3 | E5 | E6, {}, u"document.{Edit1}.{Edit3}.options[{Edit6}].{Edit5}"),
                 When(E2 | E3 | E5 | E6, E1,
                      u"document.forms[{Edit2}].{Edit3}.options[{Edit6}].{Edit5}"),
                 When(E1 | E4 | E5 | E6, E3,
                      u"document.{Edit1}.elements[{Edit4}].options[{Edit6}].{Edit5}"),
                 When(E1 | E3 | E5, E6, u"document.{Edit1}.{Edit3}.options.{Edit5}"),
                 When(E2 | E4 | E5 | E6, E1 | E3,
                      u"document.forms[{Edit2}].elements[{Edit4}].options[{Edit6}].{Edit5}"),
                 When(E2 | E3 | E5, E1 | E6, u"document.forms[{Edit2}].{Edit3}.options.{Edit5}"),
                 When(E1 | E4 | E5, E3 | E6, u"document.{Edit1}.elements[{Edit4}].options.{Edit5}"),
                 When(E2 | E4 | E5, E1 | E3 | E6,
                      u"document.forms[{Edit2}].elements[{Edit4}].options.{Edit5}"),
                 Else(u"document...options.")}),
            InputObject(u"パスワード入力オブジェクト", u"パスワードオブジェクト名"),
            InputObject(u"ラジオボタンオブジェクト", u"ラジオボタンオブジェクト名"),
            InputObject(u"リセットボタンオブジェクト", u"リセットボタンオブジェクト名"),
            FormMember(u"フォームの内容をリセットする", u".reset()"),
            InputObject(u"セレクトオブジェクト", u"セレクトボタンオブジェクト名"),
            Element(u"入力エリアの文字を選択状態にする", u".select()", u"document...select()"),
            OptionProperty(u"ポップアップメニューの選択状態を返す", u"オブジェクト名", u"selected"),
            // The select element by name or index in rows 3/4 with the option in row 7, or by
            // name or index in rows 5/6 for its selected index alone.
            Param(
                u"ポップアップメニューの選択肢の番号を返す",
                {u"フォーム名", u"参照番号", u"セレクトオブジェクト名", u"参照番号",
                 u"エレメント名", u"参照番号", u"参照番号"},
                {When(E1 | E3 | E7, E5 | E6,
                      u"document.{Edit1}.{Edit3}.options[{Edit7}].selectedIndex"),
                 When(E2 | E3 | E7, E1 | E5 | E6,
                      u"document.forms[{Edit2}].{Edit3}.options[{Edit7}].selectedIndex"),
                 When(E1 | E4 | E7, E3 | E5 | E6,
                      u"document.{Edit1}.elements[{Edit4}].options[{Edit7}].selectedIndex"),
                 When(E1 | E5, E3 | E4 | E7, u"document.{Edit1}.{Edit5}.selectedIndex"),
                 When(E2 | E4 | E7, E1 | E3 | E5 | E6,
                      u"document.forms[{Edit2}].elements[{Edit4}].options[{Edit7}].selectedIndex"),
                 When(E2 | E5, E1 | E3 | E4 | E7, u"document.forms[{Edit2}].{Edit5}.selectedIndex"),
                 When(E1 | E6, E3 | E4 | E5 | E7,
                      u"document.{Edit1}.elements[{Edit6}].selectedIndex"),
                 When(E2 | E6, E1 | E3 | E4 | E5 | E7,
                      u"document.forms[{Edit2}].elements[{Edit6}].selectedIndex"),
                 Else(u"document...options[].selectedIndex")}),
            Param(
                u"送信オブジェクト",
                {u"フォーム名", u"参照番号", u"サブミットオブジェクト名",
                 u"プロパティ/メソッド/ハンドラ", u"参照番号"},
                {When(E1 | E4 | E5, E3, u"document.{Edit1}.elements[{Edit5}].{Edit4}"),
                 When(E1 | E3 | E4, E5, u"document.{Edit1}.{Edit3}.{Edit4}"),
                 When(E2 | E4 | E5, E1 | E3, u"document.forms[{Edit2}].elements[{Edit5}].{Edit4}"),
                 When(E2 | E3 | E4, E1 | E5, u"document.forms[{Edit2}].{Edit3}.{Edit4}"),
                 Else(u"document..elements[].")}),
            Element(u"フォームの内容を送信する", u".submit()", u"document...submit()"),
            Taint(u"データが不正に送信されないようにする", u"データテイン可能プロパティ"),
            FormMember(u"送信後のウィンドウを指定", u".target"),
            NamedObject(u"テキストオブジェクト", u"テキストオブジェクト名",
                        u"メソッド/プロパティ/イベントハンドラ", u"document..elements[]."),
            OptionProperty(u"ポップアップメニュー項目テキストの参照／設定", u"ｾﾚｸﾄｵﾌﾞｼﾞｪｸﾄ 名",
                           u"text"),
            Param(u"テキストエリアオブジェクト",
                  {u"フォーム名", u"参照番号", u"オブジェクト名", u"参照番号",
                   u"メソッド/プロパティ"},
                  ElementForms(u".{Edit5}", E5, prEdit4, u"document...")),
            Element(u"フォームエレメントの形式を返す", u".type", u"document...type"),
            Taint(u"データを送信できるようにする", u"解除するデータテインプロパティ"),
            Element(u"値または文字を参照／設定", u".value", u"document...value"),
        }};
}

} // namespace

std::vector<TSnippetCategory> CatalogueForm() {
    return {Form()};
}

} // namespace snippets::build
