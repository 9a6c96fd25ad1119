#include "components/IniGT.h"

#include "components/WindowPlacement.h"
#include "platform/Error.h"
#include "platform/Profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

namespace {

QString& ProgramFileOverride() {
    static QString path;
    return path;
}

// Written by fnParenthesis and fnVer11Mode: the half-width corner brackets.
constexpr char16_t OpenCorner = u'\uFF62';
constexpr char16_t CloseCorner = u'\uFF63';

QString Enclosed(TIniGTFence fence, const QString& value) {
    switch (fence) {
    case fnDoubleQuote:
        return u'"' + value + u'"';
    case fnParenthesis:
    case fnVer11Mode:
        return OpenCorner + value + CloseCorner;
    case fnNone:
        break;
    }
    return value;
}

bool Removes(TIniGTFence fence, QChar first, QChar last) {
    bool quotes = first == u'"' && last == u'"';
    bool corners = first == OpenCorner && last == CloseCorner;
    switch (fence) {
    case fnDoubleQuote:
        return quotes;
    case fnParenthesis:
        return corners;
    case fnVer11Mode:
        return quotes || corners;
    case fnNone:
        break;
    }
    return false;
}

// The per-user folder of our own files when the program's folder cannot take them.
QString UserFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quorveljs");
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

QString WriteFailedMessage(const QString& path) {
    return QStringLiteral("%1 に書き込めません").arg(path);
}

} // namespace

QString ProgramFilePath() {
    const QString& path = ProgramFileOverride();
    return path.isEmpty() ? QCoreApplication::applicationFilePath() : path;
}

void SetProgramFilePath(const QString& path) {
    ProgramFileOverride() = path;
}

std::optional<int> ParseSettingInteger(QStringView text) {
    if (text.size() > 2 && (text.startsWith(u"0x") || text.startsWith(u"0X"))) {
        QStringView digits = text.sliced(2);
        if (digits.size() > 8)
            return std::nullopt;
        uint32_t value = 0;
        for (QChar c : digits) {
            int d = HexDigit(c.unicode());
            if (d < 0)
                return std::nullopt;
            value = value << 4 | uint32_t(d);
        }
        return int(value);
    }
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return std::nullopt;
    return int(value);
}

TIniGT::TIniGT(QObject* owner) : QObject(owner) {
    Resolve();
}

void TIniGT::SetDefaultDir(TIniGTDefaultDir value) {
    FDefaultDir = value;
    Resolve();
}

void TIniGT::SetFileName(const QString& value) {
    FFileName = value;
    Resolve();
}

void TIniGT::SetFence(TIniGTFence value) {
    FFence = value;
}

void TIniGT::Loaded() {
    if (!FFileName.isEmpty())
        return;
    QString name = QFileInfo(ProgramFilePath()).completeBaseName() + QStringLiteral(".INI");
    name = name.toLower();
    if (name.front() >= u'a' && name.front() <= u'z')
        name.front() = name.front().toUpper();
    SetFileName(name);
}

void TIniGT::Resolve() {
    if (FFileName.contains(u'/')) {
        FPath = FFileName;
        return;
    }
    switch (FDefaultDir) {
    case ddApplication: {
        // An installed program's folder is not the user's to write; a portable one is. A system
        // folder never is, even for root, who may write there: a package would leave the file.
        QFileInfo folder(QFileInfo(ProgramFilePath()).absolutePath());
        const QString path = folder.absoluteFilePath() + u'/';
        const bool system = path.startsWith(QStringLiteral("/usr/")) ||
                            path.startsWith(QStringLiteral("/bin/")) ||
                            path.startsWith(QStringLiteral("/sbin/"));
        bool writable = !system && folder.isDir() && folder.isWritable();
        FPath = (writable ? folder.absoluteFilePath() : UserFolder()) + u'/' + FFileName;
        break;
    }
    case ddWindows:
        FPath = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
                FFileName;
        break;
    case ddNone:
        FPath = FFileName;
        break;
    }
}

QString TIniGT::ReadString(const QString& section, const QString& ident,
                           const QString& defaultValue) const {
    QString value = ReadProfileString(FPath, section, ident, Enclosed(FFence, defaultValue));
    if (value.size() >= 2 && Removes(FFence, value.front(), value.back()))
        value = value.sliced(1, value.size() - 2);
    return value;
}

void TIniGT::WriteString(const QString& section, const QString& ident, const QString& value) {
    Write(section, ident, Enclosed(FFence, value));
}

int TIniGT::ReadInteger(const QString& section, const QString& ident, int defaultValue) const {
    std::optional<QString> text = FindProfileString(FPath, section, ident);
    if (!text)
        return defaultValue;
    return ParseSettingInteger(*text).value_or(defaultValue);
}

void TIniGT::WriteInteger(const QString& section, const QString& ident, int value) {
    Write(section, ident, QString::number(value));
}

void TIniGT::Write(const QString& section, const QString& ident, const QString& value) {
    if (!FPath.isEmpty() && FDefaultDir != ddNone && !FFileName.contains(u'/'))
        QDir().mkpath(QFileInfo(FPath).absolutePath());
    switch (WriteProfileString(FPath, section, ident, value)) {
    case pwDone:
        return;
    case pwBadText:
        throw EQuorvelError(
            WriteFailedMessage(FPath) +
            QStringLiteral("\n改行などファイルの行に書けない文字が含まれています。"));
    case pwFailed:
        break;
    }
    throw EQuorvelError(WriteFailedMessage(FPath));
}

namespace {

struct TPlacementKey {
    const char16_t* Suffix;
    int TWindowPlacement::*Field;
};

const TPlacementKey PlacementKeys[] = {
    {u".Flags", &TWindowPlacement::Flags}, {u".Show", &TWindowPlacement::Show},
    {u".MaxX", &TWindowPlacement::MaxX},   {u".MaxY", &TWindowPlacement::MaxY},
    {u".X", &TWindowPlacement::Left},      {u".Y", &TWindowPlacement::Top},
    {u".XSize", &TWindowPlacement::Right}, {u".YSize", &TWindowPlacement::Bottom},
};

} // namespace

void TIniGT::LoadFormPlacement(const QString& section, const QString& prefix, QWidget* form) const {
    TWindowPlacement p = GetWindowPlacement(form);
    for (const TPlacementKey& key : PlacementKeys)
        p.*key.Field =
            ReadInteger(section, QString(prefix).append(QStringView(key.Suffix)), p.*key.Field);
    SetWindowPlacement(form, p);
}

void TIniGT::SaveFormPlacement(const QString& section, const QString& prefix, const QWidget* form) {
    TWindowPlacement p = GetWindowPlacement(form);
    for (const TPlacementKey& key : PlacementKeys)
        WriteInteger(section, QString(prefix).append(QStringView(key.Suffix)), p.*key.Field);
}
