#pragma once
// Character classes for words: Ctrl+arrows, double-clicks and whole-word search agree that a
// word is a run of one script (kanji, hiragana, katakana, Latin letters and digits).

#include <QChar>
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
