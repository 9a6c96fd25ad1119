// Initialisation files of any content: a read never returns more than the read limit, and a
// write either leaves the file as it was or changes only the key's own line (or adds lines), so
// that the key reads back as written, as far as the reading rules keep a value, and every other
// key as before.

#include "platform/Profile.h"
#include "platform/TextCodec.h"
#include "tests/fuzz/FuzzFiles.h"

#include <QStringList>

namespace {

// The section and key names the file holds, found as a person reading it would, so that writes
// go to existing keys as often as to new ones; the last line is the value to write.
struct TNames {
    QStringList Sections{QStringLiteral("Fuzz")};
    QStringList Keys{QStringLiteral("Key")};
    QString LastLine;
};

TNames NamesIn(QByteArrayView bytes) {
    TNames names;
    for (QByteArrayView line : QByteArray(bytes.toByteArray()).split('\n')) {
        TStringSink text;
        if (!DecodeIfUtf8(line, text)) {
            text.Text.clear();
            DecodeText(line, teCp932, text);
        }
        names.LastLine = text.Text;
        const QString s = text.Text.trimmed();
        if (s.startsWith(u'['))
            names.Sections.append(s.sliced(1, qMax(s.lastIndexOf(u']'), 1) - 1).trimmed());
        else if (s.contains(u'='))
            names.Keys.append(s.first(s.indexOf(u'=')).trimmed());
    }
    return names;
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

// A value that a read gives back unchanged: no blanks at its ends, no enclosing quote pair.
bool ReadsBackAsIs(const QString& value) {
    if (value.isEmpty())
        return true;
    if (IsBlank(value.front()) || IsBlank(value.back()))
        return false;
    return value.size() < 2 || (value.front() != u'"' && value.front() != u'\'') ||
           value.back() != value.front();
}

// Whether after is before with bytes inserted, or with a stretch inside one line replaced: a
// write keeps every other line as it was.
bool KeepsOtherLines(QByteArrayView before, QByteArrayView after) {
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return !before.sliced(prefix, before.size() - prefix - suffix).contains('\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));
    const QString path = WriteScratch(QStringLiteral("profile.ini"), bytes);
    const TNames names = NamesIn(bytes);

    const QString section = names.Sections[qsizetype(size) % names.Sections.size()];
    const QString key = names.Keys[qsizetype(size / 7) % names.Keys.size()];
    struct TProbe {
        QString Section, Key;
        std::optional<QString> Value;
    };
    std::vector<TProbe> probes;
    // The file's first and last names; every read parses the whole file, so two probes only.
    const std::pair<QString, QString> probed[] = {
        {names.Sections.value(1, names.Sections[0]), names.Keys.value(1, names.Keys[0])},
        {names.Sections.back(), names.Keys.back()}};
    for (const auto& [s, k] : probed)
        if (s.compare(section, Qt::CaseInsensitive) != 0 ||
            k.compare(key, Qt::CaseInsensitive) != 0)
            probes.push_back({s, k, FindProfileString(path, s, k)});
    for (const TProbe& probe : probes)
        Check(!probe.Value || probe.Value->size() <= ProfileValueLimit,
              "a read returns more than the limit");

    const QString& value = names.LastLine;
    const TProfileWrite written = WriteProfileString(path, section, key, value);
    const QByteArray after = ReadScratch(path);
    if (written != pwDone) {
        Check(after == bytes, "a refused write changed the file");
        return 0;
    }
    Check(KeepsOtherLines(bytes, after), "a write changed other lines of the file");
    const std::optional<QString> read = FindProfileString(path, section, key, ProfileNoLimit);
    Check(read.has_value(), "a written key is missing");
    if (ReadsBackAsIs(value))
        Check(*read == value, "a written value reads back changed");
    for (const TProbe& probe : probes)
        Check(FindProfileString(path, probe.Section, probe.Key) == probe.Value,
              "a write changed another key");
    return 0;
}
