#include "platform/Profile.h"
#include "platform/SaveTarget.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <vector>

namespace {

QString DecodeLine(QByteArrayView bytes, bool& utf8) {
    TStringSink asUtf8;
    utf8 = DecodeIfUtf8(bytes, asUtf8).has_value();
    if (utf8)
        return asUtf8.Text;
    TStringSink cp932;
    DecodeText(bytes, teCp932, cp932);
    return cp932.Text;
}

// Only the ASCII blanks count: a full-width space at the end of a Japanese value is text.
bool IsBlank(QChar c) {
    char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\r' || u == u'\v' || u == u'\f';
}

QStringView Trimmed(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

bool SameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

enum TLineKind : uint8_t { plOther, plSection, plKey };

struct TLine {
    qsizetype Start = 0;   // first byte of the line
    qsizetype End = 0;     // end of its content, before CR LF or LF
    qsizetype Next = 0;    // first byte of the next line
    qsizetype ValueAt = 0; // for a key line: the byte after its "="
    TLineKind Kind = plOther;
    bool Utf8 = true;
    QString KeyPart; // for a key line: its text up to and including the "="
    QString Name;
    QString Value;
};

TLine ParseLine(QByteArrayView bytes, qsizetype start, qsizetype end, qsizetype next) {
    TLine line;
    line.Start = start;
    line.End = end;
    line.Next = next;
    QString text = DecodeLine(bytes.sliced(start, end - start), line.Utf8);
    QStringView s = Trimmed(text);
    if (s.startsWith(u'[')) {
        qsizetype close = s.lastIndexOf(u']');
        line.Kind = plSection;
        line.Name = Trimmed(s.sliced(1, (close > 0 ? close : s.size()) - 1)).toString();
    } else if (!s.startsWith(u';')) {
        qsizetype eq = s.indexOf(u'=');
        if (eq >= 0) {
            line.Kind = plKey;
            line.Name = Trimmed(s.first(eq)).toString();
            line.Value = Trimmed(s.sliced(eq + 1)).toString();
            line.KeyPart = text.first(text.indexOf(u'=') + 1);
            // "=" is never a trail byte in CP932 nor part of a UTF-8 sequence, so the first
            // "=" byte is the first "=" character.
            line.ValueAt = bytes.sliced(start, end - start).indexOf('=') + start + 1;
        }
    }
    return line;
}

struct TProfileText {
    QByteArray Bytes;
    std::vector<TLine> Lines;
    QByteArray LineEnd;
};

bool Load(const QString& path, TProfileText& out) {
    QFile file(path);
    if (!file.exists()) {
        out.LineEnd = "\r\n";
        return true;
    }
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return false;
    out.Bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    QByteArrayView bytes = out.Bytes;
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < bytes.size()) {
        qsizetype lf = bytes.indexOf('\n', pos);
        qsizetype next = lf < 0 ? bytes.size() : lf + 1;
        qsizetype end = lf < 0 ? bytes.size() : lf;
        if (end > pos && bytes[end - 1] == '\r')
            --end;
        if (out.LineEnd.isEmpty() && lf >= 0)
            out.LineEnd = end < lf ? "\r\n" : "\n";
        out.Lines.push_back(ParseLine(bytes, pos, end, next));
        pos = next;
    }
    if (out.LineEnd.isEmpty())
        out.LineEnd = "\r\n";
    return true;
}

// The first line of Key in any of the sections named Section; a file may repeat a section.
const TLine* FindKey(const TProfileText& text, QStringView section, QStringView key) {
    bool inSection = false;
    for (const TLine& line : text.Lines) {
        if (line.Kind == plSection)
            inSection = SameName(line.Name, section);
        else if (inSection && line.Kind == plKey && SameName(line.Name, key))
            return &line;
    }
    return nullptr;
}

bool HasBreakOrZero(QStringView s) {
    return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0));
}

bool IsWellFormedName(QStringView s) {
    return !s.isEmpty() && !HasBreakOrZero(s) && Trimmed(s).size() == s.size();
}

bool Store(const QString& path, const QByteArray& bytes) {
    const QString target = SaveTarget(path);
    QFileInfo old(target);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (old.exists())
        file.setPermissions(old.permissions());
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// A byte escape goes out as the byte it stands for, and the line would then read back as other
// text (or as CP932 altogether), so text holding one is refused rather than written changed.
bool HoldsByteEscape(QStringView s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        else if (IsByteEscape(s[i].unicode()))
            return true;
    }
    return false;
}

std::optional<QByteArray> Utf8(QStringView text) {
    QByteArray out;
    if (HoldsByteEscape(text) || EncodeString(text, teUtf8, {}, out))
        return std::nullopt;
    return out;
}

} // namespace

std::optional<QString> FindProfileString(const QString& path, const QString& section,
                                         const QString& key, qsizetype limit) {
    TProfileText text;
    if (path.isEmpty() || !Load(path, text))
        return std::nullopt;
    const TLine* line = FindKey(text, section, key);
    if (!line)
        return std::nullopt;
    QString value = line->Value;
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    if (limit >= 0 && value.size() > limit)
        value.truncate(limit);
    return value;
}

QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue, qsizetype limit) {
    return FindProfileString(path, section, key, limit).value_or(defaultValue);
}

TProfileWrite WriteProfileString(const QString& path, const QString& section, const QString& key,
                                 const QString& value) {
    // A line break in a name or value would add lines of its own, which a later read takes
    // for other keys or sections.
    if (!IsWellFormedName(section) || !IsWellFormedName(key) || key.contains(u'=') ||
        key.startsWith(u'[') || key.startsWith(u';') || HasBreakOrZero(value))
        return pwBadText;
    std::optional<QByteArray> encodedValue = Utf8(value);
    std::optional<QByteArray> encodedKey = Utf8(key);
    std::optional<QByteArray> encodedSection = Utf8(section);
    if (!encodedValue || !encodedKey || !encodedSection)
        return pwBadText;

    TProfileText text;
    if (path.isEmpty() || !Load(path, text))
        return pwFailed;
    QByteArray bytes = text.Bytes;
    const QByteArray& eol = text.LineEnd;

    if (const TLine* line = FindKey(text, section, key)) {
        if (line->Utf8) {
            bytes.replace(line->ValueAt, line->End - line->ValueAt, *encodedValue);
        } else {
            // A UTF-8 value after a CP932 name would make the line read as neither: the
            // whole line becomes UTF-8.
            std::optional<QByteArray> keyPart = Utf8(line->KeyPart);
            if (!keyPart)
                return pwBadText;
            bytes.replace(line->Start, line->End - line->Start, *keyPart + *encodedValue);
        }
        return Store(path, bytes) ? pwDone : pwFailed;
    }

    QByteArray keyLine = *encodedKey + '=' + *encodedValue + eol;
    const TLine* after = nullptr;
    bool inSection = false;
    for (const TLine& line : text.Lines) {
        if (line.Kind == plSection) {
            if (after)
                break;
            inSection = SameName(line.Name, section);
            if (inSection)
                after = &line;
        } else if (inSection && line.Kind == plKey) {
            after = &line;
        }
    }
    if (after) {
        // The last line of a file may lack its line end; the new line must not join it.
        if (bytes[after->Next - 1] != '\n')
            keyLine.prepend(eol);
        bytes.insert(after->Next, keyLine);
    } else {
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes.append(eol);
        bytes.append('[' + *encodedSection + ']' + eol + keyLine);
    }
    return Store(path, bytes) ? pwDone : pwFailed;
}
