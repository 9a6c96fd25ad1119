#pragma once
// Character classes for words: Ctrl+arrows, double-clicks and whole-word search agree that a
// word is a run of one script (kanji, hiragana, katakana, Latin letters and digits).

#include <QChar>
#include <algorithm>
#include <cstdint>

enum TCharClass : uint8_t { ccSpace, ccBreak, ccLatin, ccKanji, ccHiragana, ccKatakana, ccOther };

inline TCharClass ClassOf(char16_t c) {
    if (c == '\r' || c == '\n')
        return ccBreak;
    if (c == ' ' || c == '\t' || c == 0x3000)
        return ccSpace;
    if ((c >= 0x3041 && c <= 0x309F) || c == 0x30FC)
        return ccHiragana;
    if ((c >= 0x30A0 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F))
        return ccKatakana;
    if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || c == 0x3005 ||
        (c >= 0xF900 && c <= 0xFAFF) || QChar::isSurrogate(c))
        return ccKanji;
    if (QChar::isLetterOrNumber(c) || c == '_')
        return ccLatin;
    return ccOther;
}

// ー and the iteration marks ゝゞヽヾ々 stand inside kana or kanji words (テストページ, サーバー,
// 人々): they belong to the run of the character before them.
inline bool ExtendsRun(char16_t c) {
    return c == 0x30FC || c == 0x309D || c == 0x309E || c == 0x30FD || c == 0x30FE || c == 0x3005;
}

inline bool IsKanaOrKanji(TCharClass c) {
    return c == ccKanji || c == ccHiragana || c == ccKatakana;
}

// Whether c continues a run of class run.
inline bool InRun(TCharClass run, char16_t c) {
    return ClassOf(c) == run || (ExtendsRun(c) && IsKanaOrKanji(run));
}

// The class of the run the character at i stands in; at(i) gives the character at i.
template <typename TAt> TCharClass RunClassAt(const TAt& at, qsizetype i) {
    qsizetype j = i;
    while (j > 0 && ExtendsRun(at(j)))
        --j;
    const TCharClass before = ClassOf(at(j));
    return j < i && IsKanaOrKanji(before) ? before : ClassOf(at(i));
}

// Whether a word may begin or end between the neighbours outside and inside in a text of n
// characters: nothing lies outside, or the run inside is of blanks, breaks or punctuation, or
// the character outside does not continue the run.
template <typename TAt>
bool IsWordBoundary(const TAt& at, qsizetype n, qsizetype outside, qsizetype inside) {
    if (outside < 0 || outside >= n)
        return true;
    const TCharClass run = RunClassAt(at, std::min(outside, inside));
    return run == ccSpace || run == ccBreak || run == ccOther ||
           !InRun(run, at(std::max(outside, inside)));
}
