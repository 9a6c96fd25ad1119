#pragma once
// Colours for HTML pages with their scripts and styles, JavaScript and CSS: a pure function of
// (the state at a paragraph's start, the paragraph's text) to colour runs and the state at its
// end. No widget, no buffer: the editor keeps one end state per paragraph and asks again only
// where a state changed.
//
// It runs over every paragraph of a large file in the background, so it looks at each character
// once, allocates nothing, and writes no runs when asked only for the end state. It follows what
// a browser does where that decides colours: `</script` ends a script even inside a string or a
// comment, an attribute value's closing quote ends an event handler's script, a `/` starts a
// regular expression only where an operand may stand.

#include <QStringView>
#include <cstdint>
#include <vector>

enum TSyntaxLanguage : uint8_t { slNone, slHtml, slJavaScript, slCss };

enum TSyntaxKind : uint8_t {
    skPlain,
    skTag,       // < name > of HTML tags
    skAttribute, // HTML attribute names
    skValue,     // HTML attribute values
    skEntity,    // &amp; &#12354;
    skComment,   // in all three languages
    skDoctype,   // <!DOCTYPE html> and other declarations
    skKeyword,   // JavaScript keywords, CSS !important
    skString,    // JavaScript and CSS strings, template literals
    skRegExp,    // JavaScript regular-expression literals
    skNumber,    // numbers, CSS lengths and hex colours
    skSelector,  // CSS selectors
    skProperty,  // CSS property names
    skCssValue,  // CSS values
    skAtRule,    // @media, @import
    skKindCount
};

struct TSyntaxRun {
    int32_t Start = 0; // offset in the text given to the lexer
    int32_t Length = 0;
    TSyntaxKind Kind = skPlain;
    bool operator==(const TSyntaxRun&) const = default;
};

// Everything the lexer must remember at a line end, in 32 bits: the editor keeps one per
// paragraph, 4 MB for a 100 MB page.
struct TLexState {
    uint32_t Host : 4 = 0; // where in the page (text, tag, attribute value, script, ...)
    uint32_t Tag : 2 = 0;  // the tag being read: script, script of another type, style
    uint32_t Attribute : 2 = 0;
    uint32_t Js : 3 = 0;       // code, block comment, string, template literal
    uint32_t JsRegExp : 1 = 0; // a '/' here starts a regular expression
    uint32_t JsTemplates : 2 = 0;
    uint32_t JsBraces : 9 = 0; // open braces in each template's ${ }, 3 bits a level
    uint32_t Css : 3 = 0;      // selector, declarations, value, at-rule, comment
    uint32_t CssReturn : 3 = 0;
    uint32_t CssDepth : 3 = 0;

    bool operator==(const TLexState& other) const { return Bits() == other.Bits(); }
    uint32_t Bits() const;
};
static_assert(sizeof(TLexState) == 4);

TLexState InitialLexState(TSyntaxLanguage language);

// Lexes one paragraph from `state`; appends its coloured runs (never skPlain, in order, adjacent
// runs of one kind joined) to *runs unless it is null, and returns the state at its end.
TLexState LexParagraph(TLexState state, QStringView text, std::vector<TSyntaxRun>* runs);

// The language a file's name asks for: HTML for pages and for untitled windows (an empty name),
// nothing for other names.
TSyntaxLanguage LanguageForFileName(QStringView fileName);
