#pragma once
// The encodings and line ends a user picks when saving, and the names they are shown under.

#include "platform/TextCodec.h"

#include <QString>

// The encodings and line ends the user chooses from, in the order the choice boxes list them.
inline constexpr TTextEncoding ChoosableEncodings[] = {teUtf8,      teUtf8Bom, teCp932,  teEucJp,
                                                       teIso2022Jp, teUtf16LE, teUtf16BE};
inline constexpr TLineEnd ChoosableLineEnds[] = {leCrLf, leLf, leCr};
// How the user sees them: "Shift_JIS (CP932)", "CR LF".
QString EncodingCaption(TTextEncoding encoding);
QString LineEndCaption(TLineEnd lineEnd);
