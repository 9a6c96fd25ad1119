#include "editor/TextFile.h"
#include "platform/SaveTarget.h"

#include "platform/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Written to the file in blocks of this size, so that a 100 MB save never holds a second copy.
constexpr qsizetype WriteBlock = 1 << 20;

QString EncodeErrorMessage(const QString& path, const TTextBuffer& buffer, qsizetype pos,
                           char32_t c, TTextEncoding encoding) {
    qsizetype line = buffer.LineOfPos(pos);
    qsizetype column = pos - buffer.LineStart(line);
    QString shown = QString::fromUcs4(&c, 1);
    return QStringLiteral("ファイル %1 を作成できません\n文字「%2」(U+%3) は %4 では保存できません"
                          "（%5 行 %6 文字目）。")
        .arg(path, shown, QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'),
             EncodingName(encoding))
        .arg(line + 1)
        .arg(column + 1);
}

} // namespace

QString OpenErrorMessage(const QString& path) {
    return QStringLiteral("ファイル %1 は開けません").arg(path);
}

QString CreateErrorMessage(const QString& path) {
    return QStringLiteral("ファイル %1 を作成できません").arg(path);
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
    auto flush = [&](bool force) {
        if (!writeFailed && (force || block.size() >= WriteBlock)) {
            writeFailed = file.write(block) != block.size();
            block.clear();
        }
    };
    auto latin1 = [&](QLatin1StringView piece) {
        if (!badPos)
            if (auto bad = encoder.EncodeLatin1(piece, block))
                badPos = piecePos + *bad;
        piecePos += piece.size();
        flush(false);
    };
    auto utf16 = [&](QStringView piece) {
        if (!badPos)
            if (auto bad = encoder.Encode(piece, block))
                badPos = piecePos + *bad;
        piecePos += piece.size();
        flush(false);
    };

    const auto& exceptions = buffer.ByteExceptions();
    size_t next = 0;
    qsizetype pos = 0;
    while (pos < buffer.Length() && !badPos && !writeFailed) {
        qsizetype stop = next < exceptions.size() ? exceptions[next].Pos : buffer.Length();
        if (pos == stop) {
            encoder.Flush(block);
            block.append(exceptions[next].Bytes);
            pos += exceptions[next++].Length;
            piecePos = pos;
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
