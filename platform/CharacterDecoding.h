#pragma once
// Decoding text that is only read, never written back (search in files): the same characters
// DecodeText gives, without the byte exceptions a save needs. EUC-JP and ISO-2022-JP go through
// tables learned once from the system's converter instead of calling it line by line: a search
// over a site decodes hundreds of megabytes, and the converter reads EUC-JP at 30 MB/s.

#include "platform/TextCodec.h"

void DecodeCharacters(QByteArrayView bytes, TTextEncoding encoding, TTextSink& sink);
