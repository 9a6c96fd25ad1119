#include "editor/TextFile.h"
#include "platform/SaveTarget.h"

#include "platform/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sys/mman.h>
#include <type_traits>
#include <unistd.h>

namespace {

// Written to the file in blocks of this size, so that a 100 MB save never holds a second copy.
constexpr qsizetype WriteBlock = 1 << 20;

QString EncodeErrorMessage(const QString& path, const TTextBuffer& buffer, qsizetype pos,
                           char32_t c, TTextEncoding encoding) {
    qsizetype line = buffer.LineOfPos(pos);
    qsizetype column = pos - buffer.LineStart(line);
    if (IsByteEscape(char16_t(c)))
        return QStringLiteral("ファイル %1 を作成できません\n元の文字コードで読めなかったバイト "
                              "0x%2 は %3 に変換できません（%4 行 %5 文字目）。")
            .arg(path, QString::number(uint(c - EscapeBase), 16).toUpper().rightJustified(2, u'0'),
                 EncodingCaption(encoding))
            .arg(line + 1)
            .arg(column + 1);
    QString shown = QString::fromUcs4(&c, 1);
    return QStringLiteral("ファイル %1 を作成できません\n文字「%2」(U+%3) は %4 では保存できません"
                          "（%5 行 %6 文字目）。")
        .arg(path, shown, QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'),
             EncodingCaption(encoding))
        .arg(line + 1)
        .arg(column + 1);
}

// Whether two encodings write a character with the same bytes (the BOM aside).
bool SameBytes(TTextEncoding a, TTextEncoding b) {
    auto base = [](TTextEncoding e) {
        return e == teUtf8Bom ? teUtf8 : e;
    };
    return base(a) == base(b);
}

} // namespace

QString FormatCaption(const TFileFormat& format) {
    // A file whose lines end in more than one way is saved that way until the user chooses.
    const QString lineEnd = format.LineEnds == lkMixed && !format.UniformLineEnds
                                ? QStringLiteral("混在")
                                : LineEndCaption(format.LineEnd);
    return EncodingCaption(format.Encoding) + QStringLiteral("  ") + lineEnd;
}

namespace {
// Passes decoded text on and gives the pages of the mapped file that the decoder has passed back
// to the system, so that loading never holds the whole file and the whole text at once.
class TReleasingSink : public TTextSink {
public:
    TReleasingSink(TTextSink& inner, uchar* map) : FInner(inner), FMap(map) {}
    void AppendLatin1(const char* data, qsizetype n) override { FInner.AppendLatin1(data, n); }
    void AppendUtf16(const char16_t* data, qsizetype n) override { FInner.AppendUtf16(data, n); }
    void Consumed(qsizetype bytes) override {
        const qsizetype page = sysconf(_SC_PAGESIZE);
        qsizetype upTo = bytes / page * page;
        if (FMap && upTo > FReleased) {
            madvise(FMap + FReleased, size_t(upTo - FReleased), MADV_DONTNEED);
            FReleased = upTo;
        }
    }

private:
    TTextSink& FInner;
    uchar* FMap;
    qsizetype FReleased = 0;
};
} // namespace

static TFileFormat Load(const QString& path, TTextBuffer& buffer,
                        std::optional<TTextEncoding> forced) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        throw EQuorvelError(OpenErrorMessage(path));
    QByteArray read;
    QByteArrayView bytes;
    qint64 size = file.size();
    uchar* map = size > 0 ? file.map(0, size) : nullptr;
    if (map) {
        bytes = QByteArrayView(reinterpret_cast<const char*>(map), size);
    } else {
        read = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw EQuorvelError(OpenErrorMessage(path));
        bytes = read;
    }
    TFileFormat format;
    std::optional<TTextEncoding> encoding = forced ? forced : DetectWithoutUtf8(bytes);
    std::optional<TDecodeResult> utf8;
    // Most files are UTF-8: decoding them is also how they are found to be.
    if (!encoding) {
        TReleasingSink sink(buffer.BeginLoad(), map);
        if ((utf8 = DecodeIfUtf8(bytes, sink)))
            encoding = teUtf8;
    }
    format.Encoding = encoding ? *encoding : DetectEncoding(bytes);
    std::optional<TDecodeResult> decoded = std::move(utf8);
    if (!decoded) {
        TReleasingSink sink(buffer.BeginLoad(), map);
        decoded = DecodeText(bytes, format.Encoding, sink);
    }
    buffer.EndLoad();
    format.LineEnds = buffer.LoadedLineEnds().Kind();
    format.LineEnd = buffer.LoadedLineEnds().Dominant();
    buffer.SetByteExceptions(std::move(decoded->Exceptions));
    format.PreferredForms = std::move(decoded->PreferredForms);
    if (map)
        file.unmap(map);
    return format;
}

TFileFormat LoadTextFile(const QString& path, TTextBuffer& buffer) {
    return Load(path, buffer, std::nullopt);
}

TFileFormat LoadTextFile(const QString& path, TTextBuffer& buffer, TTextEncoding encoding) {
    return Load(path, buffer, encoding);
}

void SaveTextFile(const QString& path, const TTextBuffer& buffer, const TFileFormat& format) {
    SaveTextFile(path, buffer, format, format.Encoding);
}

void SaveTextFile(const QString& path, const TTextBuffer& buffer, const TFileFormat& format,
                  TTextEncoding textEncoding) {
    const bool converting = !SameBytes(textEncoding, format.Encoding);
    const QString target = SaveTarget(path);
    QFileInfo old(target);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        throw EQuorvelError(CreateErrorMessage(path));
    if (old.exists())
        file.setPermissions(old.permissions());

    TTextEncoder encoder(format.Encoding, format.PreferredForms);
    QByteArray block = encoder.Bom();
    bool writeFailed = false;
    std::optional<qsizetype> badPos;
    qsizetype piecePos = 0;
    const QString lineEnd = LineEndText(format.LineEnd);
    bool afterCr = false; // the LF of a CR LF split across pieces is not a break of its own
    auto flush = [&](bool force) {
        if (!writeFailed && (force || block.size() >= WriteBlock)) {
            writeFailed = file.write(block) != block.size();
            block.clear();
        }
    };
    auto encode = [&](auto part, qsizetype at) {
        std::optional<qsizetype> bad;
        if constexpr (std::is_same_v<decltype(part), QLatin1StringView>)
            bad = encoder.EncodeLatin1(part, block);
        else
            bad = encoder.Encode(part, block);
        if (bad)
            badPos = piecePos + at + *bad;
    };
    // Line ends are rewritten and undecoded bytes refused only where asked for; the usual save
    // hands whole pieces to the encoder.
    auto piece = [&](auto text) {
        if (badPos)
            return;
        if (!format.UniformLineEnds && !converting) {
            encode(text, 0);
        } else {
            qsizetype from = 0;
            for (qsizetype i = 0; i < text.size() && !badPos; ++i) {
                const char16_t c = text[i].unicode();
                if (converting && IsByteEscape(c)) {
                    encode(text.mid(from, i - from), from);
                    if (!badPos)
                        badPos = piecePos + i;
                } else if (format.UniformLineEnds && (c == u'\r' || c == u'\n')) {
                    encode(text.mid(from, i - from), from);
                    if (c == u'\r' || !afterCr)
                        encoder.Encode(lineEnd, block);
                    afterCr = c == u'\r';
                    from = i + 1;
                } else {
                    afterCr = false;
                }
            }
            if (!badPos)
                encode(text.mid(from), from);
        }
        piecePos += text.size();
        flush(false);
    };
    auto latin1 = [&](QLatin1StringView text) {
        piece(text);
    };
    auto utf16 = [&](QStringView text) {
        piece(text);
    };

    // Another encoding writes the characters; the kept bytes are the old encoding's.
    static const std::vector<TByteException> none;
    const auto& exceptions = converting ? none : buffer.ByteExceptions();
    size_t next = 0;
    qsizetype pos = 0;
    while (pos < buffer.Length() && !badPos && !writeFailed) {
        qsizetype stop = next < exceptions.size() ? exceptions[next].Pos : buffer.Length();
        if (pos == stop) {
            encoder.Flush(block);
            block.append(exceptions[next].Bytes);
            pos += exceptions[next++].Length;
            piecePos = pos;
            afterCr = false;
            continue;
        }
        piecePos = pos;
        buffer.ForEachPiece(pos, stop - pos, latin1, utf16);
        pos = stop;
    }
    if (badPos) {
        file.cancelWriting();
        char32_t c = buffer.At(*badPos);
        if (QChar::isHighSurrogate(c) && *badPos + 1 < buffer.Length())
            c = QChar::surrogateToUcs4(char16_t(c), buffer.At(*badPos + 1));
        throw EQuorvelError(EncodeErrorMessage(path, buffer, *badPos, c, format.Encoding));
    }
    encoder.Flush(block);
    flush(true);
    if (writeFailed || !file.commit())
        throw EQuorvelError(CreateErrorMessage(path));
}
