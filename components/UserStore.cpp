#include "components/UserStore.h"

#include "platform/Profile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString SectionOf(const QString& key) {
    QStringView path = key;
    while (path.startsWith(u'\\'))
        path = path.sliced(1);
    while (path.endsWith(u'\\'))
        path.chop(1);
    return QStringLiteral("HKEY_CURRENT_USER\\").append(path);
}

QString Escaped(const QString& value) {
    QString out;
    out.reserve(value.size() + 2);
    out += u'"';
    for (QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        default:
            out += c;
        }
    }
    out += u'"';
    return out;
}

QString Unescaped(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        QChar e = text[++i];
        out += e == u'r' ? QChar(u'\r') : e == u'n' ? QChar(u'\n') : e;
    }
    return out;
}

} // namespace

QString UserStorePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quorveljs/registry.ini");
}

std::optional<QString> ReadUserValue(const QString& key, const QString& name) {
    std::optional<QString> stored =
        FindProfileString(UserStorePath(), SectionOf(key), name, ProfileNoLimit);
    if (!stored)
        return std::nullopt;
    return Unescaped(*stored);
}

bool WriteUserValue(const QString& key, const QString& name, const QString& value) {
    const QString path = UserStorePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return WriteProfileString(path, SectionOf(key), name, Escaped(value)) == pwDone;
}
