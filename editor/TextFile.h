#pragma once
// Loading a file into a text buffer and saving it back: the file's own encoding and line ends
// are kept, unchanged text is written back byte for byte, and a save replaces the file
// atomically or not at all.

#include "editor/TextBuffer.h"
#include "platform/TextCodec.h"

#include <QString>

struct TFileFormat {
    TTextEncoding Encoding = teUtf8;
    TLineEnd LineEnd = leCrLf; // what Enter inserts
    TLineEndKind LineEnds = lkNone;
    TPreferredForms PreferredForms;
};

// Reads, detects and decodes; throws EQuorvelError("ファイル %s は開けません") when it cannot read.
TFileFormat LoadTextFile(const QString& path, TTextBuffer& buffer);
// Decodes with a given encoding instead of the detected one.
TFileFormat LoadTextFile(const QString& path, TTextBuffer& buffer, TTextEncoding encoding);

// Encodes the whole text and replaces the file; throws EQuorvelError, leaving the old file and
// the buffer as they were, when a character cannot be encoded or the file cannot be written.
void SaveTextFile(const QString& path, const TTextBuffer& buffer, const TFileFormat& format);

QString OpenErrorMessage(const QString& path);
QString CreateErrorMessage(const QString& path);
