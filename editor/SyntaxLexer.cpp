#include "editor/SyntaxLexer.h"

#include <array>
#include <bit>
#include <cstring>
#include <string_view>

namespace {

enum THost : uint8_t {
    hmText,
    hmTag,         // inside a tag, after its name
    hmAttributeEq, // after an attribute's '=', before its value
    hmValueDouble, // in a "…" attribute value
    hmValueSingle, // in a '…' attribute value
    hmComment,     // <!-- … -->
    hmDeclaration, // <!DOCTYPE …>, <? … >
    hmScript,      // JavaScript inside <script>
    hmScriptOther, // a <script> of another type: text up to </script>
    hmStyle,       // CSS inside <style>
    hmJsFile,
    hmCssFile
};
enum TTag : uint8_t { tkOther, tkScript, tkScriptOther, tkStyle };
enum TAttribute : uint8_t { akOther, akType, akEvent };
enum TJs : uint8_t { jmCode, jmComment, jmSingle, jmDouble, jmTemplate };
enum TCss : uint8_t { cmSelector, cmBlock, cmValue, cmAtRule, cmAtRuleBlock, cmComment };

constexpr int MaxTemplates = 3;
constexpr int MaxBraces = 7;

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\f' || c == u'\r' || c == u'\n' || c == 0x3000;
}
bool IsAsciiLetter(char16_t c) {
    return (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool IsJsIdentifier(char16_t c) {
    return IsAsciiLetter(c) || IsDigit(c) || c == u'_' || c == u'$' || c >= 0x80;
}
bool IsCssName(char16_t c) {
    return IsAsciiLetter(c) || IsDigit(c) || c == u'-' || c == u'_' || c >= 0x80;
}
char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c | 0x20) : c;
}
// Whether text at pos starts with the lower-case ASCII word, in any case.
bool StartsWithNoCase(QStringView text, qsizetype pos, std::u16string_view word) {
    if (pos + qsizetype(word.size()) > text.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Lower(text[pos + qsizetype(i)].unicode()) != word[i])
            return false;
    return true;
}
bool EqualsNoCase(QStringView text, std::u16string_view word) {
    return text.size() == qsizetype(word.size()) && StartsWithNoCase(text, 0, word);
}

// JavaScript's reserved words and the literals that read like them; words that are keywords
// only in some places (of, get, from) stay uncoloured, as they are often plain names.
constexpr std::u16string_view Keywords[] = {
    u"async",     u"await",      u"break",   u"case",   u"catch",    u"class",  u"const",
    u"continue",  u"debugger",   u"default", u"delete", u"do",       u"else",   u"export",
    u"extends",   u"false",      u"finally", u"for",    u"function", u"if",     u"import",
    u"in",        u"instanceof", u"let",     u"new",    u"null",     u"return", u"static",
    u"super",     u"switch",     u"this",    u"throw",  u"true",     u"try",    u"typeof",
    u"undefined", u"var",        u"void",    u"while",  u"with",     u"yield"};

bool IsKeyword(QStringView word) {
    if (word.size() < 2 || word.size() > 10 || word[0] < u'a' || word[0] > u'y')
        return false;
    for (std::u16string_view k : Keywords)
        if (k[0] == word[0].unicode() && qsizetype(k.size()) == word.size() &&
            std::memcmp(k.data(), word.utf16(), k.size() * sizeof(char16_t)) == 0)
            return true;
    return false;
}
// After these words an operand follows, so a '/' starts a regular expression.
bool KeywordBeforeOperand(QStringView word) {
    for (std::u16string_view k :
         {u"return", u"typeof", u"instanceof", u"in", u"of", u"new", u"delete", u"void", u"throw",
          u"case", u"do", u"else", u"yield", u"await", u"extends"})
        if (qsizetype(k.size()) == word.size() &&
            std::memcmp(k.data(), word.utf16(), k.size() * sizeof(char16_t)) == 0)
            return true;
    return false;
}

// At-rules whose block holds declarations rather than rules.
bool AtRuleHoldsDeclarations(QStringView name) {
    for (std::u16string_view k : {u"@font-face", u"@page", u"@counter-style", u"@property",
                                  u"@font-palette-values", u"@viewport"})
        if (EqualsNoCase(name, k))
            return true;
    return false;
}

// What a <script type="…"> runs as JavaScript: no type, a JavaScript MIME type, or a module.
bool IsJavaScriptType(QStringView type) {
    type = type.trimmed();
    if (const qsizetype semicolon = type.indexOf(u';'); semicolon >= 0)
        type = type.left(semicolon).trimmed();
    if (type.isEmpty())
        return true;
    for (std::u16string_view k :
         {u"module", u"text/javascript", u"application/javascript", u"text/ecmascript",
          u"application/ecmascript", u"application/x-javascript", u"application/x-ecmascript",
          u"text/x-javascript", u"text/x-ecmascript", u"text/jscript", u"text/livescript",
          u"text/javascript1.0", u"text/javascript1.1", u"text/javascript1.2",
          u"text/javascript1.3", u"text/javascript1.4", u"text/javascript1.5"})
        if (EqualsNoCase(type, k))
            return true;
    return false;
}

class TLexer {
public:
    TLexer(TLexState state, QStringView text, std::vector<TSyntaxRun>* runs)
        : S(state), T(text), Runs(runs) {}

    TLexState Run() {
        while (P < T.size())
            Step();
        EndLine();
        return S;
    }

private:
    void Emit(qsizetype from, qsizetype to, TSyntaxKind kind) {
        if (!Runs || to <= from || kind == skPlain)
            return;
        if (!Runs->empty()) {
            TSyntaxRun& last = Runs->back();
            if (last.Kind == kind && last.Start + last.Length == from) {
                last.Length = int32_t(to - last.Start);
                return;
            }
        }
        Runs->push_back({int32_t(from), int32_t(to - from), kind});
    }
    char16_t At(qsizetype i) const { return i < T.size() ? T[i].unicode() : char16_t(0); }
    qsizetype Find(std::u16string_view what, qsizetype from, qsizetype to) const {
        const qsizetype found = T.first(to).indexOf(
            QStringView(what.data(), qsizetype(what.size())), std::min(from, to));
        return found < 0 ? to : found;
    }

    void Step() {
        switch (S.Host) {
        case hmText:
            Text();
            break;
        case hmTag:
            Tag();
            break;
        case hmAttributeEq:
            AttributeEq();
            break;
        case hmValueDouble:
            Value(u'"');
            break;
        case hmValueSingle:
            Value(u'\'');
            break;
        case hmComment:
            Closed(u"-->", skComment);
            break;
        case hmDeclaration:
            Closed(u">", skDoctype);
            break;
        case hmScript:
            Embedded(u"</script", [this](qsizetype end) { Js(end); });
            break;
        case hmScriptOther:
            Embedded(u"</script", [this](qsizetype end) { P = end; });
            break;
        case hmStyle:
            Embedded(u"</style", [this](qsizetype end) { Css(end); });
            break;
        case hmJsFile:
            Js(T.size());
            break;
        case hmCssFile:
            Css(T.size());
            break;
        default:
            P = T.size();
            break;
        }
    }

    // ---- HTML

    void Text() {
        const qsizetype n = T.size();
        while (P < n && T[P] != u'<' && T[P] != u'&')
            ++P;
        if (P >= n)
            return;
        if (T[P] == u'&') {
            Entity();
            return;
        }
        const qsizetype start = P;
        if (StartsWithNoCase(T, P, u"<!--")) {
            P += 4;
            Emit(start, P, skComment);
            S.Host = hmComment;
        } else if (At(P + 1) == u'!' || At(P + 1) == u'?') {
            P += 2;
            Emit(start, P, skDoctype);
            S.Host = hmDeclaration;
        } else if (At(P + 1) == u'/' && IsAsciiLetter(At(P + 2))) {
            P += 2;
            TagName();
            Emit(start, P, skTag);
            S.Tag = tkOther;
            S.Host = hmTag;
        } else if (IsAsciiLetter(At(P + 1))) {
            ++P;
            const qsizetype name = P;
            TagName();
            const QStringView tag = T.sliced(name, P - name);
            S.Tag = EqualsNoCase(tag, u"script")  ? tkScript
                    : EqualsNoCase(tag, u"style") ? tkStyle
                                                  : tkOther;
            Emit(start, P, skTag);
            S.Host = hmTag;
        } else {
            ++P;
        }
    }
    void TagName() {
        while (P < T.size() && !IsSpace(T[P].unicode()) && T[P] != u'>' && T[P] != u'/')
            ++P;
    }
    // &name; &#12354; &#x3042; — a reference is coloured only when it is complete.
    void Entity() {
        const qsizetype start = P++;
        qsizetype i = P;
        if (At(i) == u'#') {
            ++i;
            const bool hex = (At(i) | 0x20) == u'x';
            i += hex ? 1 : 0;
            const qsizetype digits = i;
            while (i < T.size() && i - digits < 8 &&
                   (IsDigit(T[i].unicode()) ||
                    (hex && (T[i].unicode() | 0x20) >= u'a' && (T[i].unicode() | 0x20) <= u'f')))
                ++i;
            if (i == digits)
                return;
        } else {
            const qsizetype name = i;
            while (i < T.size() && i - name < 32 &&
                   (IsAsciiLetter(T[i].unicode()) || IsDigit(T[i].unicode())))
                ++i;
            if (i == name)
                return;
        }
        if (At(i) != u';')
            return;
        P = i + 1;
        Emit(start, P, skEntity);
    }
    // Past blanks; false at the end of the text.
    bool SkipSpaces() {
        while (P < T.size() && IsSpace(T[P].unicode()))
            ++P;
        return P < T.size();
    }
    void Tag() {
        if (!SkipSpaces())
            return;
        const qsizetype n = T.size();
        const char16_t c = T[P].unicode();
        if (c == u'>' || (c == u'/' && At(P + 1) == u'>')) {
            EndTag();
        } else if (c == u'=') {
            ++P;
            S.Host = hmAttributeEq;
        } else if (c == u'/' || c == u'"' || c == u'\'' || c == u'<') {
            ++P;
        } else {
            const qsizetype start = P;
            while (P < n && !IsSpace(T[P].unicode()) && T[P] != u'=' && T[P] != u'>' &&
                   T[P] != u'/' && T[P] != u'"' && T[P] != u'\'' && T[P] != u'<')
                ++P;
            const QStringView name = T.sliced(start, P - start);
            S.Attribute = name.size() > 2 && StartsWithNoCase(name, 0, u"on") ? akEvent
                          : S.Tag == tkScript && EqualsNoCase(name, u"type")  ? akType
                                                                              : akOther;
            Emit(start, P, skAttribute);
        }
    }
    // '>' or '/>': the text after a script or style tag is its code.
    void EndTag() {
        const qsizetype start = P;
        P += T[P] == u'/' ? 2 : 1;
        Emit(start, P, skTag);
        switch (S.Tag) {
        case tkScript:
            S.Host = hmScript;
            StartJs();
            break;
        case tkScriptOther:
            S.Host = hmScriptOther;
            break;
        case tkStyle:
            S.Host = hmStyle;
            StartCss();
            break;
        default:
            S.Host = hmText;
            break;
        }
        S.Tag = tkOther;
        S.Attribute = akOther;
    }
    void AttributeEq() {
        if (!SkipSpaces())
            return;
        const qsizetype n = T.size();
        const char16_t c = T[P].unicode();
        if (c == u'>') {
            EndTag();
        } else if (c == u'"' || c == u'\'') {
            Emit(P, P + 1, skValue);
            ++P;
            S.Host = c == u'"' ? hmValueDouble : hmValueSingle;
            if (S.Attribute == akEvent)
                StartJs();
            ValueFrom = P;
        } else {
            const qsizetype start = P;
            while (P < n && !IsSpace(T[P].unicode()) && T[P] != u'>')
                ++P;
            Emit(start, P, skValue);
            EndValue(T.sliced(start, P - start));
        }
    }
    void Value(char16_t quote) {
        const qsizetype start = P;
        const qsizetype close = Find(quote == u'"' ? u"\"" : u"'", P, T.size());
        if (S.Attribute == akEvent) {
            Js(close);
            EndJsLine(close == T.size());
        } else {
            Emit(start, close, skValue);
        }
        P = close;
        if (close < T.size()) {
            Emit(close, close + 1, skValue);
            ++P;
            // A type value split over lines is taken as it was written, as JavaScript.
            EndValue(ValueFrom >= 0 ? T.sliced(ValueFrom, close - ValueFrom) : QStringView());
        }
    }
    void EndValue(QStringView value) {
        if (S.Attribute == akType && !IsJavaScriptType(value))
            S.Tag = tkScriptOther;
        S.Attribute = akOther;
        S.Host = hmTag;
        S.Js = jmCode;
        S.JsTemplates = 0;
        ValueFrom = -1;
    }
    void Closed(std::u16string_view end, TSyntaxKind kind) {
        const qsizetype start = P;
        const qsizetype found = Find(end, P, T.size());
        P = found < T.size() ? found + qsizetype(end.size()) : found;
        Emit(start, P, kind);
        if (found < T.size())
            S.Host = hmText;
    }
    // Script and style end at their closing tag wherever it stands, as in a browser.
    template <typename F> void Embedded(std::u16string_view closing, F&& lex) {
        qsizetype end = P;
        for (;; ++end) {
            end = Find(u"</", end, T.size());
            if (end >= T.size())
                break;
            const qsizetype after = end + qsizetype(closing.size());
            if (StartsWithNoCase(T, end, closing) &&
                (after >= T.size() || IsSpace(T[after].unicode()) || T[after] == u'>' ||
                 T[after] == u'/'))
                break;
        }
        lex(end);
        P = end;
        if (end >= T.size())
            return;
        P = end + qsizetype(closing.size());
        Emit(end, P, skTag);
        S.Host = hmTag;
        S.Tag = tkOther;
        StartJs();
        StartCss();
    }

    // ---- JavaScript

    void StartJs() {
        S.Js = jmCode;
        S.JsRegExp = 1;
        S.JsTemplates = 0;
        S.JsBraces = 0;
    }
    int Braces() const { return int(S.JsBraces >> (3 * (S.JsTemplates - 1))) & 7; }
    void SetBraces(int count) {
        const int shift = 3 * (S.JsTemplates - 1);
        S.JsBraces = (S.JsBraces & ~(7u << shift)) | (uint32_t(count) << shift);
    }
    // A string or regular expression left open at a line end ends there, unless a backslash
    // continues it.
    void EndJsLine(bool lineEnd) {
        if (lineEnd && (S.Js == jmSingle || S.Js == jmDouble) && (T.isEmpty() || T.back() != u'\\'))
            S.Js = jmCode;
    }
    void Js(qsizetype end) {
        while (P < end) {
            switch (S.Js) {
            case jmComment: {
                const qsizetype start = P;
                const qsizetype close = Find(u"*/", P, end);
                P = close < end ? close + 2 : end;
                Emit(start, P, skComment);
                if (close < end)
                    S.Js = jmCode;
                break;
            }
            case jmSingle:
            case jmDouble:
                JsString(end, S.Js == jmSingle ? u'\'' : u'"');
                break;
            case jmTemplate:
                JsTemplate(end);
                break;
            default:
                JsCode(end);
                break;
            }
        }
    }
    void JsString(qsizetype end, char16_t quote) {
        const qsizetype start = P;
        while (P < end && T[P] != quote)
            P += T[P] == u'\\' ? 2 : 1;
        P = std::min(P, end);
        if (P < end) {
            ++P;
            S.Js = jmCode;
            S.JsRegExp = 0;
        }
        Emit(start, P, skString);
    }
    void JsTemplate(qsizetype end) {
        const qsizetype start = P;
        while (P < end && T[P] != u'`' && !(T[P] == u'$' && At(P + 1) == u'{'))
            P += T[P] == u'\\' ? 2 : 1;
        P = std::min(P, end);
        if (P >= end) {
            Emit(start, P, skString);
        } else if (T[P] == u'`') {
            ++P;
            Emit(start, P, skString);
            S.JsTemplates = S.JsTemplates - 1;
            S.Js = jmCode;
            S.JsRegExp = 0;
        } else {
            Emit(start, P, skString);
            P += 2;
            SetBraces(0);
            S.Js = jmCode;
            S.JsRegExp = 1;
        }
    }
    void JsCode(qsizetype end) {
        const char16_t c = T[P].unicode();
        const qsizetype start = P;
        if (IsSpace(c)) {
            ++P;
        } else if (c == u'/' && At(P + 1) == u'/' && P + 1 < end) {
            P = end;
            Emit(start, P, skComment);
        } else if (c == u'/' && At(P + 1) == u'*' && P + 1 < end) {
            P += 2;
            Emit(start, P, skComment);
            S.Js = jmComment;
        } else if (c == u'/' && S.JsRegExp) {
            RegExp(end);
        } else if (c == u'\'' || c == u'"') {
            ++P;
            Emit(start, P, skString);
            S.Js = c == u'"' ? jmDouble : jmSingle;
        } else if (c == u'`') {
            ++P;
            Emit(start, P, skString);
            if (S.JsTemplates < MaxTemplates)
                S.JsTemplates = S.JsTemplates + 1;
            S.Js = jmTemplate;
        } else if (c == u'{' || c == u'}') {
            ++P;
            S.JsRegExp = 1;
            if (S.JsTemplates > 0) {
                const int braces = Braces();
                if (c == u'{')
                    SetBraces(std::min(braces + 1, MaxBraces));
                else if (braces > 0)
                    SetBraces(braces - 1);
                else
                    S.Js = jmTemplate; // the } of ${ }
            }
        } else if (IsDigit(c) || (c == u'.' && IsDigit(At(P + 1)))) {
            Number(end);
            S.JsRegExp = 0;
        } else if (IsJsIdentifier(c) || c == u'\\') {
            while (P < end && (IsJsIdentifier(T[P].unicode()) || T[P] == u'\\'))
                ++P;
            const QStringView word = T.sliced(start, P - start);
            const bool member = start > 0 && T[start - 1] == u'.';
            if (!member && IsKeyword(word))
                Emit(start, P, skKeyword);
            S.JsRegExp = !member && KeywordBeforeOperand(word);
        } else if (c == u')' || c == u']') {
            ++P;
            S.JsRegExp = 0;
        } else if ((c == u'+' || c == u'-') && At(P + 1) == c) {
            P += 2; // a++ / 2 divides more often than ++/re/ matches
            S.JsRegExp = 0;
        } else {
            ++P;
            S.JsRegExp = 1;
        }
    }
    void Number(qsizetype end) {
        const qsizetype start = P;
        bool exponent = false;
        const bool hex = T[P] == u'0' && (At(P + 1) | 0x20) == u'x';
        while (P < end) {
            const char16_t c = T[P].unicode();
            if (IsDigit(c) || IsAsciiLetter(c) || c == u'_' || c == u'.') {
                exponent = !hex && (c | 0x20) == u'e';
                ++P;
            } else if (exponent && (c == u'+' || c == u'-')) {
                exponent = false;
                ++P;
            } else {
                break;
            }
        }
        Emit(start, P, skNumber);
    }
    // /…/flags; a class [...] may hold a '/'. One left open at the end is coloured as far as it
    // goes, as the browser will report it.
    void RegExp(qsizetype end) {
        const qsizetype start = P++;
        bool inClass = false;
        while (P < end) {
            const char16_t c = T[P].unicode();
            if (c == u'\\') {
                P += 2;
                continue;
            }
            ++P;
            if (c == u'[')
                inClass = true;
            else if (c == u']')
                inClass = false;
            else if (c == u'/' && !inClass)
                break;
        }
        P = std::min(P, end);
        while (P < end && IsAsciiLetter(T[P].unicode()))
            ++P;
        Emit(start, P, skRegExp);
        S.JsRegExp = 0;
    }

    // ---- CSS

    void StartCss() {
        S.Css = cmSelector;
        S.CssDepth = 0;
        S.CssReturn = 0;
    }
    void Css(qsizetype end) {
        while (P < end) {
            const qsizetype start = P;
            const char16_t c = T[P].unicode();
            if (S.Css == cmComment) {
                const qsizetype close = Find(u"*/", P, end);
                P = close < end ? close + 2 : end;
                Emit(start, P, skComment);
                if (close < end)
                    S.Css = S.CssReturn;
            } else if (IsSpace(c)) {
                ++P;
            } else if (c == u'/' && At(P + 1) == u'*' && P + 1 < end) {
                P += 2;
                Emit(start, P, skComment);
                S.CssReturn = S.Css;
                S.Css = cmComment;
            } else if (c == u'"' || c == u'\'') {
                // A string left open ends at the line end, as CSS says.
                ++P;
                while (P < end && T[P] != c)
                    P += T[P] == u'\\' ? 2 : 1;
                P = std::min(P < end ? P + 1 : P, end);
                Emit(start, P, skString);
            } else if (c == u'{') {
                ++P;
                S.CssDepth = std::min<uint32_t>(S.CssDepth + 1, 7);
                S.Css = S.Css == cmAtRule ? cmSelector : cmBlock;
            } else if (c == u'}') {
                ++P;
                S.CssDepth = S.CssDepth > 0 ? S.CssDepth - 1 : 0;
                S.Css = cmSelector;
            } else if (c == u';') {
                ++P;
                if (S.Css == cmValue)
                    S.Css = cmBlock;
                else if (S.Css == cmAtRule)
                    S.Css = cmSelector;
            } else if (c == u'@' && IsCssName(At(P + 1))) {
                ++P;
                while (P < end && IsCssName(T[P].unicode()))
                    ++P;
                Emit(start, P, skAtRule);
                S.Css =
                    AtRuleHoldsDeclarations(T.sliced(start, P - start)) ? cmAtRuleBlock : cmAtRule;
            } else {
                CssToken(end);
            }
        }
    }
    void CssToken(qsizetype end) {
        const qsizetype start = P;
        const char16_t c = T[P].unicode();
        switch (S.Css) {
        case cmSelector:
            while (P < end && T[P] != u'{' && T[P] != u'}' && T[P] != u'"' && T[P] != u'\'' &&
                   !(T[P] == u'/' && At(P + 1) == u'*') && !IsSpace(T[P].unicode()))
                ++P;
            Emit(start, std::max(P, start + 1), skSelector);
            P = std::max(P, start + 1);
            break;
        case cmBlock:
        case cmAtRuleBlock:
            if (IsCssName(c)) {
                while (P < end && IsCssName(T[P].unicode()))
                    ++P;
                Emit(start, P, skProperty);
            } else {
                ++P;
                if (c == u':')
                    S.Css = cmValue;
            }
            break;
        default: // a value, or an at-rule's prelude
            if (IsDigit(c) || ((c == u'.' || c == u'-' || c == u'+') && IsDigit(At(P + 1))) ||
                (c == u'#' && IsCssName(At(P + 1)))) {
                ++P;
                while (P < end && (IsCssName(T[P].unicode()) || T[P] == u'.' || T[P] == u'%'))
                    ++P;
                Emit(start, P, skNumber);
            } else if (c == u'!' && StartsWithNoCase(T, P + 1, u"important")) {
                P += 10;
                Emit(start, P, skKeyword);
            } else if (IsCssName(c)) {
                while (P < end && IsCssName(T[P].unicode()))
                    ++P;
                Emit(start, P, S.Css == cmValue ? skCssValue : skPlain);
            } else {
                ++P;
            }
            break;
        }
    }

    void EndLine() {
        if (S.Host == hmScript || S.Host == hmJsFile)
            EndJsLine(true);
    }

    TLexState S;
    QStringView T;
    std::vector<TSyntaxRun>* Runs;
    qsizetype P = 0;
    qsizetype ValueFrom = -1; // where an attribute value begun in this line starts
};

} // namespace

uint32_t TLexState::Bits() const {
    return std::bit_cast<uint32_t>(*this);
}

TLexState InitialLexState(TSyntaxLanguage language) {
    TLexState state;
    state.Host = language == slJavaScript ? hmJsFile : language == slCss ? hmCssFile : hmText;
    state.JsRegExp = 1;
    return state;
}

TLexState LexParagraph(TLexState state, QStringView text, std::vector<TSyntaxRun>* runs) {
    return TLexer(state, text, runs).Run();
}

TSyntaxLanguage LanguageForFileName(QStringView fileName) {
    if (fileName.isEmpty())
        return slHtml;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const qsizetype slash = fileName.lastIndexOf(u'/');
    if (dot < 0 || dot < slash)
        return slNone;
    const QStringView suffix = fileName.sliced(dot + 1);
    if (EqualsNoCase(suffix, u"html") || EqualsNoCase(suffix, u"htm"))
        return slHtml;
    if (EqualsNoCase(suffix, u"js") || EqualsNoCase(suffix, u"mjs"))
        return slJavaScript;
    if (EqualsNoCase(suffix, u"css"))
        return slCss;
    return slNone;
}
