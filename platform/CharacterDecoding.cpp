#include "platform/CharacterDecoding.h"

#include <array>
#include <cstring>
#include <iconv.h>

namespace {

// The converters DecodeText uses for these encodings; the tables must give what they give.
constexpr const char* EucName = "EUC-JP-MS";
constexpr const char* JisName = "ISO-2022-JP-2";

constexpr int Rows = 94; // JIS rows and cells: 0x21..0x7E, or 0xA1..0xFE in EUC-JP

struct TJisTables {
    std::array<char16_t, Rows * Rows> Euc{};  // two bytes 0xA1..0xFE
    std::array<char16_t, Rows * Rows> Euc3{}; // 0x8F and two bytes 0xA1..0xFE
    std::array<char16_t, Rows> EucKana{};     // 0x8E and one byte 0xA1..0xFE
    std::array<char16_t, 256> EucSingle{};    // a byte that decodes alone
    std::array<char16_t, Rows * Rows> Jis{};  // after ESC $ B, two bytes 0x21..0x7E
    bool EucAsciiSame = true;
};

// The one character the converter makes of these bytes taken whole, or 0.
char16_t DecodeOne(iconv_t cd, const char* bytes, size_t n) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char16_t out[4];
    char* in = const_cast<char*>(bytes);
    char* o = reinterpret_cast<char*>(out);
    size_t inLeft = n, outLeft = sizeof out;
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1) || inLeft != 0 ||
        o != reinterpret_cast<char*>(out) + 2 || QChar::isSurrogate(out[0]))
        return 0;
    return out[0];
}

const TJisTables& Tables() {
    static const TJisTables* tables = [] {
        auto* t = new TJisTables;
        iconv_t euc = iconv_open("UTF-16LE", EucName), jis = iconv_open("UTF-16LE", JisName);
        if (euc == iconv_t(-1) || jis == iconv_t(-1)) {
            t->EucAsciiSame = false; // every text then goes the converter's way
            return t;
        }
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            t->EucSingle[size_t(b)] = b == 0 ? 0 : DecodeOne(euc, &byte, 1);
            if (b > 0 && b < 0x80 && t->EucSingle[size_t(b)] != b)
                t->EucAsciiSame = false;
        }
        for (int a = 0; a < Rows; ++a) {
            const char kana[2] = {char(0x8E), char(0xA1 + a)};
            t->EucKana[size_t(a)] = DecodeOne(euc, kana, 2);
            for (int b = 0; b < Rows; ++b) {
                const char two[2] = {char(0xA1 + a), char(0xA1 + b)};
                const char three[3] = {char(0x8F), char(0xA1 + a), char(0xA1 + b)};
                const char escaped[5] = {0x1B, '$', 'B', char(0x21 + a), char(0x21 + b)};
                t->Euc[size_t(a * Rows + b)] = DecodeOne(euc, two, 2);
                t->Euc3[size_t(a * Rows + b)] = DecodeOne(euc, three, 3);
                t->Jis[size_t(a * Rows + b)] = DecodeOne(jis, escaped, 5);
            }
        }
        iconv_close(euc);
        iconv_close(jis);
        return t;
    }();
    return *tables;
}

// Collects characters in a block and hands the sink long pieces.
class TUnitWriter {
public:
    explicit TUnitWriter(TTextSink& sink) : FSink(sink) {}
    ~TUnitWriter() { Flush(); }
    void Put(char16_t c) {
        if (FUsed == FBlock.size())
            Flush();
        FBlock[FUsed++] = c;
    }
    void PutBytes(const uint8_t* p, qsizetype n) {
        for (qsizetype i = 0; i < n; ++i)
            Put(p[i]);
    }
    void Flush() {
        if (FUsed)
            FSink.AppendUtf16(FBlock.data(), qsizetype(FUsed));
        FUsed = 0;
    }
    // Takes back what was put since the mark (a line the converter must decode after all).
    size_t Mark() const { return FUsed; }
    void Rewind(size_t mark) { FUsed = mark; }
    size_t Room() const { return FBlock.size() - FUsed; }

private:
    TTextSink& FSink;
    std::array<char16_t, 16384> FBlock;
    size_t FUsed = 0;
};

bool InRange(uint8_t b, uint8_t low) {
    return b >= low && b < low + Rows;
}

void DecodeEucJp(const uint8_t* p, const uint8_t* end, TTextSink& sink) {
    const TJisTables& t = Tables();
    TUnitWriter out(sink);
    while (p < end) {
        const uint8_t b = *p;
        char16_t c = 0;
        int n = 1;
        if (b < 0x80) {
            c = b;
        } else if (InRange(b, 0xA1) && end - p >= 2 && InRange(p[1], 0xA1)) {
            c = t.Euc[size_t((b - 0xA1) * Rows + p[1] - 0xA1)], n = 2;
        } else if (b == 0x8E && end - p >= 2 && InRange(p[1], 0xA1)) {
            c = t.EucKana[size_t(p[1] - 0xA1)], n = 2;
        } else if (b == 0x8F && end - p >= 3 && InRange(p[1], 0xA1) && InRange(p[2], 0xA1)) {
            c = t.Euc3[size_t((p[1] - 0xA1) * Rows + p[2] - 0xA1)], n = 3;
        }
        if (c == 0 && b != 0) {
            // As the converter's way does: a byte that starts nothing decodable is kept alone.
            c = t.EucSingle[b];
            n = 1;
            if (c == 0)
                c = ByteEscape(b);
        }
        out.Put(c);
        p += n;
    }
}

qsizetype LineLength(const uint8_t* p, const uint8_t* end) {
    const uint8_t* q = p;
    while (q < end && *q != '\n' && *q != '\r')
        ++q;
    if (q < end)
        q += (*q == '\r' && q + 1 < end && q[1] == '\n') ? 2 : 1;
    return q - p;
}

// One line from ASCII on; false for anything but ASCII and JIS X 0208 switched by ESC $ B and
// ESC ( B, or for a line that does not end in ASCII.
bool DecodeJisLine(const uint8_t* p, const uint8_t* end, TUnitWriter& out) {
    const TJisTables& t = Tables();
    bool kanji = false;
    while (p < end) {
        const uint8_t b = *p;
        if (b == 0x1B) {
            if (end - p < 3 || !(p[1] == '$' || p[1] == '(') || p[2] != 'B')
                return false;
            kanji = p[1] == '$';
            p += 3;
        } else if (b >= 0x80 || b == 0x0E || b == 0x0F) {
            return false;
        } else if (!kanji) {
            out.Put(b);
            ++p;
        } else {
            if (end - p < 2 || !InRange(b, 0x21) || !InRange(p[1], 0x21))
                return false;
            const char16_t c = t.Jis[size_t((b - 0x21) * Rows + p[1] - 0x21)];
            if (c == 0)
                return false;
            out.Put(c);
            p += 2;
        }
    }
    return !kanji;
}

// The converter's state runs on from line to line; every line decoded here leaves it where it
// starts (ASCII), so from the first line that is not plain, the converter takes the rest.
void DecodeIso2022Jp(const uint8_t* p, const uint8_t* end, TTextSink& sink) {
    TUnitWriter out(sink);
    while (p < end) {
        const qsizetype n = LineLength(p, end);
        // A line decodes into at most as many characters as it has bytes.
        if (out.Room() < size_t(n))
            out.Flush();
        const size_t mark = out.Mark();
        if (size_t(n) > out.Room() || !DecodeJisLine(p, p + n, out)) {
            out.Rewind(mark);
            out.Flush();
            DecodeText(QByteArrayView(p, end - p), teIso2022Jp, sink);
            return;
        }
        p += n;
    }
}

} // namespace

void DecodeCharacters(QByteArrayView bytes, TTextEncoding encoding, TTextSink& sink) {
    auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    if (Tables().EucAsciiSame) {
        if (encoding == teEucJp)
            return DecodeEucJp(p, p + bytes.size(), sink);
        if (encoding == teIso2022Jp)
            return DecodeIso2022Jp(p, p + bytes.size(), sink);
    }
    DecodeText(bytes, encoding, sink);
}
