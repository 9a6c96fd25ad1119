#pragma once
// Decoding and encoding of the text files the editor works on. Every byte sequence survives a
// decode and encode unchanged: bytes that do not decode become escape characters (a lone low
// surrogate U+DC00 + byte, which no decoder of ours ever produces from valid input), and stretches
// whose canonical encoding differs from the file's own bytes are remembered as byte exceptions.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

enum TTextEncoding : uint8_t {
    teUtf8,
    teUtf8Bom,
    teUtf16LE,
    teUtf16BE,
    teIso2022Jp,
    teEucJp,
    teCp932,
};

enum TLineEnd : uint8_t { leCrLf, leLf, leCr };

// What the line ends of a loaded file were, as the developer tool reports them.
enum TLineEndKind : uint8_t { lkCrLf, lkLf, lkCr, lkMixed, lkNone };

QString EncodingName(TTextEncoding encoding);
std::optional<TTextEncoding> EncodingFromName(QStringView name);
QString LineEndKindName(TLineEndKind kind);
QString LineEndText(TLineEnd lineEnd);

constexpr char16_t EscapeBase = 0xDC00;
inline bool IsByteEscape(char16_t c) {
    return c >= EscapeBase && c <= EscapeBase + 0xFF;
}
inline char16_t ByteEscape(uint8_t b) {
    return char16_t(EscapeBase + b);
}

// Original bytes of a stretch of text that the encoder alone would not reproduce. Positions are
// UTF-16 offsets into the decoded text.
struct TByteException {
    qsizetype Pos = 0;
    qsizetype Length = 0;
    QByteArray Bytes;
    bool operator==(const TByteException&) const = default;
};

// The per-file memory of how characters with two byte forms were written (CP932 only), so that a
// character typed later takes the form the file already uses.
using TPreferredForms = QHash<char16_t, QByteArray>;

// Receives decoded text in pieces; the text buffer builds its chunks from them.
class TTextSink {
public:
    virtual ~TTextSink() = default;
    virtual void AppendLatin1(const char* data, qsizetype length) = 0;
    virtual void AppendUtf16(const char16_t* data, qsizetype length) = 0;
    // The decoder will not read the first `bytes` bytes of its input again.
    virtual void Consumed(qsizetype bytes) { Q_UNUSED(bytes); }
};

// Collects decoded text into one string (small texts: settings lines, tests).
class TStringSink : public TTextSink {
public:
    QString Text;
    void AppendLatin1(const char* data, qsizetype length) override {
        Text.append(QLatin1StringView(data, length));
    }
    void AppendUtf16(const char16_t* data, qsizetype length) override {
        Text.append(QStringView(data, length));
    }
};

struct TDecodeResult {
    qsizetype Length = 0; // UTF-16 units written to the sink
    qsizetype EscapedBytes = 0;
    std::vector<TByteException> Exceptions;
    TPreferredForms PreferredForms;
};

TTextEncoding DetectEncoding(QByteArrayView bytes);
struct TLineEndCounts {
    qsizetype CrLf = 0, Lf = 0, Cr = 0;
    TLineEndKind Kind() const;
    // The line end most lines use; CR LF when there is none.
    TLineEnd Dominant() const;
};
TLineEndCounts CountLineEnds(QByteArrayView bytes, TTextEncoding encoding);

// What detection can tell without decoding: a byte-order mark, or ISO-2022-JP escapes in 7-bit
// text; otherwise nothing, and the caller tries UTF-8 (DecodeIfUtf8) before DetectEncoding.
std::optional<TTextEncoding> DetectWithoutUtf8(QByteArrayView bytes);
// Decodes valid UTF-8 into the sink; nothing when a byte sequence is not valid UTF-8 (the sink
// then holds a partial text the caller discards).
std::optional<TDecodeResult> DecodeIfUtf8(QByteArrayView bytes, TTextSink& sink);
// Decodes the whole file content (with its BOM, if any) into the sink.
TDecodeResult DecodeText(QByteArrayView bytes, TTextEncoding encoding, TTextSink& sink);

// Where an encoder stopped: the first character the encoding cannot hold.
struct TEncodeError {
    qsizetype Pos = 0;
    char32_t Char = 0;
};

// Streams text into bytes. Feed pieces in order; pieces never split a surrogate pair.
class TTextEncoder {
public:
    TTextEncoder(TTextEncoding encoding, const TPreferredForms& forms);
    ~TTextEncoder();
    TTextEncoder(const TTextEncoder&) = delete;
    TTextEncoder& operator=(const TTextEncoder&) = delete;

    QByteArray Bom() const;
    // Appends the encoding of the piece; on failure returns the offset within the piece.
    std::optional<qsizetype> Encode(QStringView piece, QByteArray& out);
    std::optional<qsizetype> EncodeLatin1(QLatin1StringView piece, QByteArray& out);
    // Ends a line for stateful encodings (back to ASCII before a line end and at the end).
    void Flush(QByteArray& out);

private:
    struct TState;
    TState* FState;
};

// Convenience for small texts and tests: the whole encoding, or the first unencodable character.
std::optional<TEncodeError> EncodeString(QStringView text, TTextEncoding encoding,
                                         const TPreferredForms& forms, QByteArray& out);
