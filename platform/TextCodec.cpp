#include "platform/TextCodec.h"

#include <QMutex>
#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace {

// ---------------------------------------------------------------------------------------------
// iconv wrapper

class TIconv {
public:
    TIconv(const char* to, const char* from) : FHandle(iconv_open(to, from)) {}
    ~TIconv() {
        if (Valid())
            iconv_close(FHandle);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;
    bool Valid() const { return FHandle != iconv_t(-1); }
    void Reset() { iconv(FHandle, nullptr, nullptr, nullptr, nullptr); }
    // Converts as much as it can; returns errno (0 when everything was converted).
    int Convert(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
        char* src = const_cast<char*>(in);
        size_t r = iconv(FHandle, &src, &inLeft, &out, &outLeft);
        int err = r == size_t(-1) ? errno : 0;
        in = src;
        return err;
    }
    void FlushState(QByteArray& outBytes) {
        char buf[16];
        char* out = buf;
        size_t outLeft = sizeof buf;
        iconv(FHandle, nullptr, nullptr, &out, &outLeft);
        outBytes.append(buf, out - buf);
    }

private:
    iconv_t FHandle;
};

// ---------------------------------------------------------------------------------------------
// CP932 tables, learned once from glibc's converter. Our own table walk is an order of magnitude
// faster than calling iconv per character, and it tells which characters have two byte forms.

struct TCp932Tables {
    std::array<char16_t, 65536> Decode{};  // code (lead << 8 | trail, or single byte) -> char
    std::array<uint16_t, 65536> Encode{};  // char -> canonical code; 0 = ask iconv
    std::array<uint8_t, 65536 / 8> Dual{}; // chars reached from more than one code
    std::array<bool, 256> Lead{};
    bool IsDual(char16_t c) const { return Dual[c >> 3] & (1 << (c & 7)); }
};

const TCp932Tables& Cp932() {
    static const TCp932Tables* tables = [] {
        auto* t = new TCp932Tables;
        TIconv dec("UTF-16LE", "CP932");
        std::array<uint8_t, 65536> codes{};
        auto decodeOne = [&](const char* bytes, size_t n) -> char16_t {
            dec.Reset();
            char16_t out[4];
            char* o = reinterpret_cast<char*>(out);
            size_t outLeft = sizeof out;
            const char* in = bytes;
            size_t inLeft = n;
            if (dec.Convert(in, inLeft, o, outLeft) != 0 || inLeft != 0 ||
                o != reinterpret_cast<char*>(out) + 2)
                return 0;
            return out[0];
        };
        for (int b = 0; b < 256; ++b) {
            char byte = char(b);
            char16_t c = b == 0 ? 0 : decodeOne(&byte, 1);
            if (b == 0 || c != 0)
                t->Decode[b] = c;
            if (c == 0 && b != 0) {
                // A lone byte that does not decode may still lead a pair.
                char pair[2] = {byte, char(0x40)};
                char pair2[2] = {byte, char(0x9F)};
                t->Lead[b] = decodeOne(pair, 2) != 0 || decodeOne(pair2, 2) != 0 ||
                             (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
            }
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!t->Lead[lead])
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F)
                    continue;
                char pair[2] = {char(lead), char(trail)};
                if (char16_t c = decodeOne(pair, 2))
                    t->Decode[lead << 8 | trail] = c;
            }
        }
        TIconv enc("CP932", "UTF-16LE");
        for (int code = 1; code < 65536; ++code) {
            char16_t c = t->Decode[code];
            if (c == 0)
                continue;
            if (++codes[c] == 2)
                t->Dual[c >> 3] |= uint8_t(1 << (c & 7));
            if (t->Encode[c] != 0)
                continue;
            enc.Reset();
            const char* in = reinterpret_cast<const char*>(&c);
            size_t inLeft = 2;
            char out[4];
            char* o = out;
            size_t outLeft = sizeof out;
            if (enc.Convert(in, inLeft, o, outLeft) != 0)
                continue;
            if (o - out == 1)
                t->Encode[c] = uint8_t(out[0]);
            else if (o - out == 2)
                t->Encode[c] = uint16_t(uint8_t(out[0]) << 8 | uint8_t(out[1]));
        }
        return t;
    }();
    return *tables;
}

QByteArray CodeBytes(uint16_t code) {
    if (code < 0x100)
        return QByteArray(1, char(code));
    const char pair[2] = {char(code >> 8), char(code & 0xFF)};
    return QByteArray(pair, 2);
}

// ---------------------------------------------------------------------------------------------
// Writing decoded characters to a sink in pieces

class TPieceWriter {
public:
    explicit TPieceWriter(TTextSink& sink) : FSink(sink) {}
    ~TPieceWriter() { Flush(); }
    void Put(char16_t c) {
        if (FUsed == FBuffer.size())
            Flush();
        FBuffer[FUsed++] = c;
        ++FLength;
    }
    // ASCII from the input: a long run goes to the sink as Latin-1 as it is; a short one between
    // wide characters is widened here, so mixed text does not reach the sink in tiny pieces.
    void PutAscii(const uint8_t* data, qsizetype n) {
        if (n >= 512) {
            Flush();
            FSink.AppendLatin1(reinterpret_cast<const char*>(data), n);
            FLength += n;
            return;
        }
        if (FUsed + size_t(n) > FBuffer.size())
            Flush();
        char16_t* out = FBuffer.data() + FUsed;
        for (qsizetype i = 0; i < n; ++i)
            out[i] = data[i];
        FUsed += size_t(n);
        FLength += n;
    }
    void PutUtf16(const char16_t* data, qsizetype n) {
        Flush();
        FSink.AppendUtf16(data, n);
        FLength += n;
    }
    void Flush() {
        if (FUsed) {
            FSink.AppendUtf16(FBuffer.data(), qsizetype(FUsed));
            FUsed = 0;
        }
    }
    qsizetype Length() const { return FLength; }
    void SetInput(const uint8_t* begin) { FInput = begin; }
    // Tells the sink, every few megabytes, how much input lies behind the decoder. Kept as an
    // offset: a pointer that far ahead would point past a small input (or off a null one).
    void Progress(const uint8_t* p) {
        if (FInput && p - FInput >= FNextReport) {
            FSink.Consumed(p - FInput);
            FNextReport = p - FInput + ReportStep;
        }
    }

private:
    static constexpr qsizetype ReportStep = 4 << 20;
    TTextSink& FSink;
    const uint8_t* FInput = nullptr;
    qsizetype FNextReport = ReportStep;
    std::array<char16_t, 8192> FBuffer;
    size_t FUsed = 0;
    qsizetype FLength = 0;
};

// Length of the run of ASCII bytes starting at p.
qsizetype AsciiRun(const uint8_t* p, const uint8_t* end) {
    const uint8_t* start = p;
    while (end - p >= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ull)
            break;
        p += 8;
    }
    while (p < end && *p < 0x80)
        ++p;
    return p - start;
}

// Decodes one UTF-8 sequence at p; returns its length, or 0 when it is not valid.
int Utf8Sequence(const uint8_t* p, const uint8_t* end, char32_t& cp) {
    uint8_t b = *p;
    int n;
    char32_t min;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (end - p < n)
        return 0;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = cp << 6 | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

// UTF-8 with a few damaged bytes (a file cut in the middle of a character, a stray Latin-1
// byte) is still UTF-8: text in another encoding hardly ever forms valid multi-byte sequences,
// so one bad byte in a hundred good sequences is taken as damage, not as another encoding.
bool LooksLikeUtf8(const uint8_t* p, const uint8_t* end) {
    qsizetype good = 0, bad = 0;
    while (p < end) {
        p += AsciiRun(p, end);
        if (p == end)
            break;
        char32_t cp;
        int n = Utf8Sequence(p, end, cp);
        if (n == 0) {
            ++bad, ++p;
            // Each good sequence still to come takes two bytes at least: once even all of them
            // could not outweigh the bad ones, the answer is known (text in another encoding
            // is found out after a few of its characters instead of a pass over the file).
            if (bad * 100 > good + (end - p) / 2)
                return false;
        } else {
            ++good, p += n;
        }
    }
    return bad * 100 <= good;
}

// Decodes UTF-8, escaping bytes that are not valid; with strict set it stops at the first such
// byte instead and returns false, which is how a file is found not to be UTF-8 in the same pass
// that decodes it.
bool DecodeUtf8(const uint8_t* p, const uint8_t* end, TPieceWriter& out, TDecodeResult& result,
                bool strict = false) {
    while (p < end) {
        out.Progress(p);
        qsizetype run = AsciiRun(p, end);
        if (run) {
            out.PutAscii(p, run);
            p += run;
            continue;
        }
        // Kana and kanji are three bytes: decode them here without the general path.
        if ((*p & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
            char16_t c = char16_t((*p & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
            if (c >= 0x800 && !QChar::isSurrogate(c)) {
                out.Put(c);
                p += 3;
                continue;
            }
        }
        char32_t cp;
        int n = Utf8Sequence(p, end, cp);
        if (n == 0) {
            if (strict)
                return false;
            out.Put(ByteEscape(*p++));
            ++result.EscapedBytes;
        } else if (cp >= 0x10000) {
            out.Put(QChar::highSurrogate(cp));
            out.Put(QChar::lowSurrogate(cp));
            p += n;
        } else {
            out.Put(char16_t(cp));
            p += n;
        }
    }
    return true;
}

void DecodeUtf16(const uint8_t* p, const uint8_t* end, bool bigEndian, TPieceWriter& out,
                 TDecodeResult& result) {
    std::array<char16_t, 8192> buf;
    while (end - p >= 2) {
        size_t n = std::min<size_t>(buf.size(), size_t(end - p) / 2);
        for (size_t i = 0; i < n; ++i, p += 2)
            buf[i] = bigEndian ? char16_t(p[0] << 8 | p[1]) : char16_t(p[1] << 8 | p[0]);
        out.PutUtf16(buf.data(), qsizetype(n));
    }
    // Detection never picks UTF-16 for an odd length; a forced odd byte is kept as it was.
    if (p < end) {
        result.Exceptions.push_back({out.Length(), 1, QByteArray(1, char(*p))});
        out.Put(ByteEscape(*p));
        ++result.EscapedBytes;
    }
}

void DecodeCp932(const uint8_t* p, const uint8_t* end, TPieceWriter& out, TDecodeResult& result) {
    const TCp932Tables& t = Cp932();
    QHash<char16_t, uint16_t> seenForm; // dual characters: the form the file uses first
    while (p < end) {
        out.Progress(p);
        qsizetype run = AsciiRun(p, end);
        if (run) {
            out.PutAscii(p, run);
            p += run;
            continue;
        }
        uint8_t b = *p;
        uint16_t code = b;
        char16_t c = t.Decode[b];
        int n = 1;
        if (c == 0 && t.Lead[b] && end - p >= 2 && t.Decode[b << 8 | p[1]] != 0) {
            code = uint16_t(b << 8 | p[1]);
            c = t.Decode[code];
            n = 2;
        }
        if (c == 0) {
            out.Put(ByteEscape(b));
            ++result.EscapedBytes;
            ++p;
            continue;
        }
        if (t.IsDual(c)) {
            auto it = seenForm.find(c);
            if (it == seenForm.end()) {
                seenForm.insert(c, code);
                if (t.Encode[c] != code)
                    result.PreferredForms.insert(c, CodeBytes(code));
            } else if (it.value() != code) {
                result.Exceptions.push_back({out.Length(), 1, CodeBytes(code)});
            }
        }
        out.Put(c);
        p += n;
    }
}

// EUC-JP and ISO-2022-JP go through iconv line by line; a line whose canonical encoding is not
// its own bytes (another escape sequence, the other of two forms) keeps its bytes as an exception.
const char* IconvName(TTextEncoding e) {
    return e == teEucJp ? "EUC-JP-MS" : "ISO-2022-JP-2";
}

qsizetype LineEndAt(const uint8_t* p, const uint8_t* end) {
    const uint8_t* q = p;
    while (q < end && *q != '\n' && *q != '\r')
        ++q;
    if (q < end)
        q += (*q == '\r' && q + 1 < end && q[1] == '\n') ? 2 : 1;
    return q - p;
}

void DecodeWithIconv(const uint8_t* p, const uint8_t* end, TTextEncoding encoding,
                     TPieceWriter& out, TDecodeResult& result) {
    TIconv dec("UTF-16LE", IconvName(encoding));
    std::vector<char16_t> line;
    QByteArray check;
    const TPreferredForms noForms;
    while (p < end) {
        qsizetype n = LineEndAt(p, end);
        line.assign(size_t(n) * 2 + 8, 0);
        const char* in = reinterpret_cast<const char*>(p);
        size_t inLeft = size_t(n);
        char* o = reinterpret_cast<char*>(line.data());
        size_t outLeft = line.size() * 2;
        while (inLeft > 0) {
            if (dec.Convert(in, inLeft, o, outLeft) == 0)
                break;
            // Not decodable here (or cut off at the line end): keep the byte, go on after it.
            char16_t esc = ByteEscape(uint8_t(*in));
            std::memcpy(o, &esc, 2);
            o += 2, outLeft -= 2, ++in, --inLeft;
            ++result.EscapedBytes;
        }
        qsizetype length = qsizetype(o - reinterpret_cast<char*>(line.data())) / 2;
        check.clear();
        QStringView text(line.data(), length);
        if (EncodeString(text, encoding, noForms, check) || check != QByteArrayView(p, n))
            result.Exceptions.push_back(
                {out.Length(), length, QByteArray(reinterpret_cast<const char*>(p), n)});
        out.PutUtf16(line.data(), length);
        p += n;
    }
}

bool HasIso2022Escape(const uint8_t* p, const uint8_t* end) {
    for (; end - p >= 3; ++p) {
        if (p[0] != 0x1B)
            continue;
        if ((p[1] == '$' && (p[2] == 'B' || p[2] == '@' || p[2] == '(')) ||
            (p[1] == '(' && (p[2] == 'J' || p[2] == 'I')))
            return true;
    }
    return false;
}

// Counts the byte sequences that are invalid in EUC-JP and in CP932, and the kana seen by each.
struct TJapaneseScore {
    qsizetype EucErrors = 0, SjisErrors = 0, EucKana = 0, SjisKana = 0;
};

TJapaneseScore ScoreJapanese(const uint8_t* begin, const uint8_t* end) {
    TJapaneseScore s;
    for (const uint8_t* p = begin; p < end;) {
        uint8_t b = *p;
        if (b < 0x80) {
            ++p;
        } else if (b == 0x8E && end - p >= 2 && p[1] >= 0xA1 && p[1] <= 0xDF) {
            p += 2;
        } else if (b == 0x8F && end - p >= 3 && p[1] >= 0xA1 && p[1] <= 0xFE && p[2] >= 0xA1 &&
                   p[2] <= 0xFE) {
            p += 3;
        } else if (b >= 0xA1 && b <= 0xFE && end - p >= 2 && p[1] >= 0xA1 && p[1] <= 0xFE) {
            s.EucKana += (b == 0xA4 || b == 0xA5);
            p += 2;
        } else {
            ++s.EucErrors;
            ++p;
        }
    }
    const TCp932Tables& t = Cp932();
    for (const uint8_t* p = begin; p < end;) {
        uint8_t b = *p;
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) {
            ++p;
        } else if (t.Lead[b] && end - p >= 2 && t.Decode[b << 8 | p[1]] != 0) {
            s.SjisKana += (b == 0x82 || b == 0x83);
            p += 2;
        } else {
            ++s.SjisErrors;
            ++p;
        }
    }
    return s;
}

const char16_t* AsUtf16(QStringView v) {
    return reinterpret_cast<const char16_t*>(v.data());
}

} // namespace

// ---------------------------------------------------------------------------------------------

QString EncodingName(TTextEncoding encoding) {
    switch (encoding) {
    case teUtf8:
        return QStringLiteral("UTF-8");
    case teUtf8Bom:
        return QStringLiteral("UTF-8-BOM");
    case teUtf16LE:
        return QStringLiteral("UTF-16LE");
    case teUtf16BE:
        return QStringLiteral("UTF-16BE");
    case teIso2022Jp:
        return QStringLiteral("ISO-2022-JP");
    case teEucJp:
        return QStringLiteral("EUC-JP");
    case teCp932:
        return QStringLiteral("CP932");
    }
    return {};
}

std::optional<TTextEncoding> EncodingFromName(QStringView name) {
    for (TTextEncoding e : {teUtf8, teUtf8Bom, teUtf16LE, teUtf16BE, teIso2022Jp, teEucJp, teCp932})
        if (name.compare(EncodingName(e), Qt::CaseInsensitive) == 0)
            return e;
    return std::nullopt;
}

QString LineEndKindName(TLineEndKind kind) {
    static const char16_t* names[] = {u"CRLF", u"LF", u"CR", u"MIXED", u"NONE"};
    return QString::fromUtf16(names[kind]);
}

QString LineEndText(TLineEnd lineEnd) {
    switch (lineEnd) {
    case leCrLf:
        return QStringLiteral("\r\n");
    case leLf:
        return QStringLiteral("\n");
    case leCr:
        return QStringLiteral("\r");
    }
    return {};
}

std::optional<TTextEncoding> DetectWithoutUtf8(QByteArrayView bytes) {
    auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    auto* end = p + bytes.size();
    qsizetype n = bytes.size();
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        return teUtf8Bom;
    if (n >= 2 && n % 2 == 0 && p[0] == 0xFF && p[1] == 0xFE)
        return teUtf16LE;
    if (n >= 2 && n % 2 == 0 && p[0] == 0xFE && p[1] == 0xFF)
        return teUtf16BE;
    if (AsciiRun(p, end) == n && HasIso2022Escape(p, end))
        return teIso2022Jp;
    return std::nullopt;
}

TTextEncoding DetectEncoding(QByteArrayView bytes) {
    if (auto known = DetectWithoutUtf8(bytes))
        return *known;
    auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    auto* end = p + bytes.size();
    if (LooksLikeUtf8(p, end))
        return teUtf8;
    // A sample tells EUC-JP from CP932 in all but odd cases; the whole file decides those.
    constexpr qsizetype sample = 4 << 20;
    TJapaneseScore s = ScoreJapanese(p, std::min(end, p + sample));
    if (s.EucErrors == s.SjisErrors && s.EucKana == s.SjisKana && end - p > sample)
        s = ScoreJapanese(p, end);
    if (s.EucErrors != s.SjisErrors)
        return s.EucErrors < s.SjisErrors ? teEucJp : teCp932;
    return s.EucKana > s.SjisKana ? teEucJp : teCp932;
}

TLineEndKind TLineEndCounts::Kind() const {
    int kinds = (CrLf > 0) + (Lf > 0) + (Cr > 0);
    if (kinds == 0)
        return lkNone;
    if (kinds > 1)
        return lkMixed;
    return CrLf ? lkCrLf : Lf ? lkLf : lkCr;
}

TLineEnd TLineEndCounts::Dominant() const {
    if (Lf > CrLf && Lf >= Cr)
        return leLf;
    if (Cr > CrLf && Cr > Lf)
        return leCr;
    return leCrLf;
}

TLineEndCounts CountLineEnds(QByteArrayView bytes, TTextEncoding encoding) {
    TLineEndCounts n;
    auto count = [&](auto unitAt, qsizetype units) {
        for (qsizetype i = 0; i < units; ++i) {
            auto u = unitAt(i);
            if (u > '\r')
                continue;
            if (u == '\r') {
                if (i + 1 < units && unitAt(i + 1) == '\n')
                    ++n.CrLf, ++i;
                else
                    ++n.Cr;
            } else if (u == '\n') {
                ++n.Lf;
            }
        }
    };
    auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    if (encoding == teUtf16LE || encoding == teUtf16BE) {
        bool be = encoding == teUtf16BE;
        count(
            [&](qsizetype i) {
                return be ? (p[2 * i] << 8 | p[2 * i + 1]) : (p[2 * i + 1] << 8 | p[2 * i]);
            },
            bytes.size() / 2);
    } else {
        count([&](qsizetype i) { return int(p[i]); }, bytes.size());
    }
    return n;
}

std::optional<TDecodeResult> DecodeIfUtf8(QByteArrayView bytes, TTextSink& sink) {
    auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    TDecodeResult result;
    TPieceWriter out(sink);
    out.SetInput(p);
    if (!DecodeUtf8(p, p + bytes.size(), out, result, true))
        return std::nullopt;
    out.Flush();
    result.Length = out.Length();
    return result;
}

TDecodeResult DecodeText(QByteArrayView bytes, TTextEncoding encoding, TTextSink& sink) {
    TDecodeResult result;
    auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    auto* end = p + bytes.size();
    TPieceWriter out(sink);
    out.SetInput(p);
    switch (encoding) {
    case teUtf8Bom:
        if (end - p >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
            p += 3;
        [[fallthrough]];
    case teUtf8:
        DecodeUtf8(p, end, out, result);
        break;
    case teUtf16LE:
    case teUtf16BE: {
        bool be = encoding == teUtf16BE;
        if (end - p >= 2 && p[0] == (be ? 0xFE : 0xFF) && p[1] == (be ? 0xFF : 0xFE))
            p += 2;
        DecodeUtf16(p, end, be, out, result);
        break;
    }
    case teCp932:
        DecodeCp932(p, end, out, result);
        break;
    case teEucJp:
    case teIso2022Jp:
        DecodeWithIconv(p, end, encoding, out, result);
        break;
    }
    out.Flush();
    result.Length = out.Length();
    return result;
}

// ---------------------------------------------------------------------------------------------
// Encoding

struct TTextEncoder::TState {
    TTextEncoding Encoding;
    const TPreferredForms& Forms;
    std::unique_ptr<TIconv> Iconv;
    QHash<char16_t, uint16_t> Cp932Fallback; // characters only glibc's own encoder knows
};

TTextEncoder::TTextEncoder(TTextEncoding encoding, const TPreferredForms& forms)
    : FState(new TState{encoding, forms, nullptr, {}}) {
    if (encoding == teEucJp || encoding == teIso2022Jp)
        FState->Iconv = std::make_unique<TIconv>(IconvName(encoding), "UTF-16LE");
}

TTextEncoder::~TTextEncoder() {
    delete FState;
}

QByteArray TTextEncoder::Bom() const {
    switch (FState->Encoding) {
    case teUtf8Bom:
        return QByteArray("\xEF\xBB\xBF");
    case teUtf16LE:
        return QByteArray("\xFF\xFE");
    case teUtf16BE:
        return QByteArray("\xFE\xFF");
    default:
        return {};
    }
}

std::optional<qsizetype> TTextEncoder::EncodeLatin1(QLatin1StringView piece, QByteArray& out) {
    TTextEncoding e = FState->Encoding;
    bool asciiSafe = e == teUtf8 || e == teUtf8Bom || e == teCp932 || e == teEucJp;
    auto* p = reinterpret_cast<const uint8_t*>(piece.data());
    if (asciiSafe && AsciiRun(p, p + piece.size()) == piece.size()) {
        out.append(piece.data(), piece.size());
        return std::nullopt;
    }
    return Encode(QString(piece), out);
}

std::optional<qsizetype> TTextEncoder::Encode(QStringView piece, QByteArray& out) {
    const char16_t* s = AsUtf16(piece);
    qsizetype n = piece.size();
    switch (FState->Encoding) {
    case teUtf8:
    case teUtf8Bom: {
        qsizetype start = 0;
        for (qsizetype i = 0; i <= n; ++i) {
            if (i < n && !QChar::isSurrogate(s[i]))
                continue;
            out.append(QStringView(s + start, i - start).toUtf8());
            if (i == n)
                break;
            if (QChar::isHighSurrogate(s[i]) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
                out.append(QStringView(s + i, 2).toUtf8());
                ++i;
            } else if (IsByteEscape(s[i])) {
                out.append(char(s[i] - EscapeBase));
            } else {
                return i;
            }
            start = i + 1;
        }
        return std::nullopt;
    }
    case teUtf16LE:
    case teUtf16BE: {
        bool be = FState->Encoding == teUtf16BE;
        qsizetype at = out.size();
        out.resize(at + 2 * n);
        char* o = out.data() + at;
        for (qsizetype i = 0; i < n; ++i) {
            o[2 * i + (be ? 0 : 1)] = char(s[i] >> 8);
            o[2 * i + (be ? 1 : 0)] = char(s[i] & 0xFF);
        }
        return std::nullopt;
    }
    case teCp932: {
        const TCp932Tables& t = Cp932();
        for (qsizetype i = 0; i < n; ++i) {
            char16_t c = s[i];
            if (c < 0x80) {
                out.append(char(c));
                continue;
            }
            if (IsByteEscape(c)) {
                out.append(char(c - EscapeBase));
                continue;
            }
            if (t.IsDual(c)) {
                auto it = FState->Forms.constFind(c);
                if (it != FState->Forms.constEnd()) {
                    out.append(it.value());
                    continue;
                }
            }
            uint16_t code = t.Encode[c];
            if (code == 0 && !QChar::isSurrogate(c)) {
                auto it = FState->Cp932Fallback.constFind(c);
                if (it == FState->Cp932Fallback.constEnd()) {
                    QByteArray bytes;
                    TIconv enc("CP932", "UTF-16LE");
                    const char* in = reinterpret_cast<const char*>(&c);
                    size_t inLeft = 2;
                    char buf[4];
                    char* o = buf;
                    size_t outLeft = sizeof buf;
                    uint16_t found = 0;
                    if (enc.Convert(in, inLeft, o, outLeft) == 0)
                        found = o - buf == 1 ? uint8_t(buf[0])
                                             : uint16_t(uint8_t(buf[0]) << 8 | uint8_t(buf[1]));
                    it = FState->Cp932Fallback.insert(c, found);
                }
                code = it.value();
            }
            if (code == 0)
                return i;
            if (code >= 0x100)
                out.append(char(code >> 8));
            out.append(char(code & 0xFF));
        }
        return std::nullopt;
    }
    case teEucJp:
    case teIso2022Jp: {
        // Line by line from the initial state, as the loader checked each line.
        TIconv& cd = *FState->Iconv;
        for (qsizetype i = 0; i < n;) {
            qsizetype j = i;
            while (j < n && s[j] != '\n' && s[j] != '\r' && !IsByteEscape(s[j]))
                ++j;
            if (j > i) {
                const char* in = reinterpret_cast<const char*>(s + i);
                size_t inLeft = size_t(j - i) * 2;
                QByteArray buf(qsizetype(inLeft) * 4 + 16, Qt::Uninitialized);
                char* o = buf.data();
                size_t outLeft = size_t(buf.size());
                if (cd.Convert(in, inLeft, o, outLeft) != 0) {
                    out.append(buf.constData(), o - buf.constData());
                    return i + (j - i) - qsizetype(inLeft / 2);
                }
                out.append(buf.constData(), o - buf.constData());
            }
            if (j == n)
                break;
            cd.FlushState(out);
            if (IsByteEscape(s[j]))
                out.append(char(s[j] - EscapeBase));
            else
                out.append(char(s[j]));
            i = j + 1;
        }
        return std::nullopt;
    }
    }
    return std::nullopt;
}

void TTextEncoder::Flush(QByteArray& out) {
    if (FState->Iconv)
        FState->Iconv->FlushState(out);
}

std::optional<TEncodeError> EncodeString(QStringView text, TTextEncoding encoding,
                                         const TPreferredForms& forms, QByteArray& out) {
    TTextEncoder encoder(encoding, forms);
    if (auto bad = encoder.Encode(text, out)) {
        char32_t c = text[*bad].unicode();
        if (QChar::isHighSurrogate(c) && *bad + 1 < text.size())
            c = QChar::surrogateToUcs4(text[*bad], text[*bad + 1]);
        return TEncodeError{*bad, c};
    }
    encoder.Flush(out);
    return std::nullopt;
}
