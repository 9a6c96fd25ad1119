// Any bytes, decoded into a text buffer as the editor loads a file and written back as a save
// writes it, come back byte for byte: in the encoding the detector picks and in any encoding
// the file can be reopened in (where the saved file starts with that encoding's byte-order
// mark). Decoding happens in memory, so that a run reaches thousands of inputs a second.

#include "editor/TextBuffer.h"
#include "platform/CharacterDecoding.h"
#include "tests/fuzz/FuzzFiles.h"

#include <algorithm>
#include <iconv.h>
#include <vector>

namespace {

TDecodeResult Load(QByteArrayView bytes, TTextEncoding encoding, TTextBuffer& buffer) {
    TDecodeResult decoded = DecodeText(bytes, encoding, buffer.BeginLoad());
    buffer.EndLoad();
    return decoded;
}

// The text through the encoder piece by piece, the remembered byte stretches as they were.
QByteArray Saved(const TTextBuffer& buffer, const TDecodeResult& decoded, TTextEncoding encoding) {
    TTextEncoder encoder(encoding, decoded.PreferredForms);
    QByteArray out = encoder.Bom();
    qsizetype pos = 0;
    auto encodeUpTo = [&](qsizetype end) {
        buffer.ForEachPiece(
            pos, end - pos,
            [&](QLatin1StringView piece) {
                Check(!encoder.EncodeLatin1(piece, out), "decoded text cannot be encoded");
            },
            [&](QStringView piece) {
                Check(!encoder.Encode(piece, out), "decoded text cannot be encoded");
            });
    };
    for (const TByteException& stretch : decoded.Exceptions) {
        Check(stretch.Pos >= pos && stretch.Pos + stretch.Length <= buffer.Length(),
              "byte stretches overlap or lie outside the text");
        encodeUpTo(stretch.Pos);
        encoder.Flush(out);
        out += stretch.Bytes;
        pos = stretch.Pos + stretch.Length;
    }
    encodeUpTo(buffer.Length());
    encoder.Flush(out);
    return out;
}

} // namespace

// The decoders open and close converters for EUC-JP and ISO-2022-JP per call; a converter of each
// kept open for the whole run keeps glibc from unloading and reloading their modules for every
// input, which would cost most of the run's time.
struct THeldConverters {
    std::vector<iconv_t> Handles;
    ~THeldConverters() {
        for (iconv_t handle : Handles)
            iconv_close(handle);
    }
};

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static THeldConverters held;
    for (const char* name : {"EUC-JP-MS", "ISO-2022-JP-2"}) {
        held.Handles.push_back(iconv_open("UTF-16LE", name));
        held.Handles.push_back(iconv_open(name, "UTF-16LE"));
    }
    Check(std::ranges::find(held.Handles, iconv_t(-1)) == held.Handles.end(),
          "no converter for a Japanese encoding");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));

    // The loader takes valid UTF-8 as it decodes it; the detector must agree, and decoding it
    // again as UTF-8 must give the same text.
    const TTextEncoding detected = DetectEncoding(bytes);
    if (!DetectWithoutUtf8(bytes)) {
        TStringSink strict;
        if (DecodeIfUtf8(bytes, strict)) {
            Check(detected == teUtf8, "valid UTF-8 is detected as another encoding");
            TStringSink lenient;
            DecodeText(bytes, teUtf8, lenient);
            Check(strict.Text == lenient.Text, "the two UTF-8 decoders disagree");
        }
    }

    // Text that is only read (search in files) gets the characters a load gets.
    const TTextEncoding tabled = size % 2 ? teEucJp : teIso2022Jp;
    TStringSink loaded, read;
    DecodeText(bytes, tabled, loaded);
    DecodeCharacters(bytes, tabled, read);
    Check(loaded.Text == read.Text, "the characters alone decode otherwise than a load");

    // Each input is saved in its detected encoding and reopened in one more, chosen by its
    // length, so that every encoding meets every kind of input over a run at half the cost.
    const TTextEncoding all[] = {teUtf8,      teUtf8Bom, teUtf16LE, teUtf16BE,
                                 teIso2022Jp, teEucJp,   teCp932};
    for (TTextEncoding e : {detected, all[size % std::size(all)]}) {
        const QByteArray bom = TTextEncoder(e, {}).Bom();
        const bool hasBom = bytes.startsWith(bom);
        Check(e != detected || hasBom, "an encoding with a byte-order mark detected without it");
        TTextBuffer buffer;
        const TDecodeResult decoded = Load(bytes, e, buffer);
        Check(decoded.Length == buffer.Length(), "the decoder miscounts its text");
        Check(Saved(buffer, decoded, e) ==
                  (hasBom ? bytes.toByteArray() : bom + bytes.toByteArray()),
              "a text saved unchanged differs from its file");
    }
    return 0;
}
