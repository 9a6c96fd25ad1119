#pragma once
// Loading a file into a text buffer and saving it back: the file's own encoding and line ends
// are kept, unchanged text is written back byte for byte, and a save replaces the file
// atomically or not at all.

#include "editor/TextBuffer.h"
#include "platform/EncodingChoice.h"
#include "platform/TextCodec.h"

#include <QString>

struct TFileFormat {
    TTextEncoding Encoding = teUtf8;
    TLineEnd LineEnd = leCrLf; // what Enter inserts
    TLineEndKind LineEnds = lkNone;
    TPreferredForms PreferredForms;
    // Every line break is written as LineEnd (the user chose the line ends on saving); otherwise
    // the text's own breaks are written as they are.
    bool UniformLineEnds = false;
};

// How the status bar shows a file's format: "Shift_JIS (CP932)  CR LF".
QString FormatCaption(const TFileFormat& format);

// Reads, detects and decodes; throws EQuorvelError("ファイル %s は開けません") when it cannot read.
TFileFormat LoadTextFile(const QString& path, TTextBuffer& buffer);
// Decodes with a given encoding instead of the detected one.
TFileFormat LoadTextFile(const QString& path, TTextBuffer& buffer, TTextEncoding encoding);

// Encodes the whole text and replaces the file; throws EQuorvelError, leaving the old file and
// the buffer as they were, when a character cannot be encoded or the file cannot be written.
void SaveTextFile(const QString& path, const TTextBuffer& buffer, const TFileFormat& format);
// The same for a text loaded in textEncoding: when format.Encoding writes other bytes, the
// original bytes the buffer keeps are not written; its characters are encoded instead, and a
// byte that did not decode, having no character, refuses the save.
void SaveTextFile(const QString& path, const TTextBuffer& buffer, const TFileFormat& format,
                  TTextEncoding textEncoding);
