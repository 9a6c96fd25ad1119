// qjs-snippet: the snippet catalogue from the command line.
//
//   qjs-snippet list
//   qjs-snippet show C I
//   qjs-snippet ok C I [--edit1 TEXT] ... [--edit7 TEXT] [--combo1 TEXT] [--combo2 TEXT]
//
// list and show print JSON, one object per line; ok prints exactly the text OK inserts (UTF-8,
// no line end added) or nothing. Bad arguments exit with status 2 and a message on stderr.

#include "snippets/SnippetEngine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;
using namespace snippets;

namespace {

constexpr int ExitUsage = 2;

const char* const Usage = "usage: qjs-snippet list\n"
                          "       qjs-snippet show CATEGORY ITEM\n"
                          "       qjs-snippet ok CATEGORY ITEM [--edit1 TEXT] ... [--edit7 TEXT]"
                          " [--combo1 TEXT] [--combo2 TEXT]\n";

struct TUsageError {
    QString FMessage;
};

QString JsonString(const QString& text) {
    QString out = u"\""_s;
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += u"\\\""_s;
            break;
        case u'\\':
            out += u"\\\\"_s;
            break;
        case u'\n':
            out += u"\\n"_s;
            break;
        case u'\r':
            out += u"\\r"_s;
            break;
        case u'\t':
            out += u"\\t"_s;
            break;
        default:
            if (c.unicode() < 0x20)
                out += u"\\u%1"_s.arg(uint(c.unicode()), 4, 16, QChar(u'0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

QString JsonList(const QStringList& items) {
    QStringList quoted;
    for (const QString& item : items)
        quoted.append(JsonString(item));
    return u'[' + quoted.join(u", "_s) + u']';
}

QString KindName(TSnippetKind kind) {
    switch (kind) {
    case skDirect:
        return u"direct"_s;
    case skParam:
        return u"param"_s;
    case skMessage:
        return u"message"_s;
    case skNone:
        break;
    }
    return u"none"_s;
}

void Write(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int ParseIndex(const QString& text, const char* what) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        throw TUsageError{u"%1 is not a number: %2"_s.arg(QLatin1StringView(what), text)};
    return value;
}

// The entry addressed by the two arguments after the command; an index pair the catalogue does
// not hold is a usage error here, since there is nothing to show or build.
const TSnippetEntry& EntryArgument(const QStringList& args, int& category, int& item) {
    if (args.size() < 3)
        throw TUsageError{u"%1 needs a category and an item index"_s.arg(args[0])};
    category = ParseIndex(args[1], "category");
    item = ParseIndex(args[2], "item");
    const TSnippetEntry* entry = Entry(category, item);
    if (!entry)
        throw TUsageError{u"no catalogue entry %1 %2"_s.arg(category).arg(item)};
    return *entry;
}

int List(const QStringList& args) {
    if (args.size() != 1)
        throw TUsageError{u"list takes no arguments"_s};
    for (int category = 0; category < CategoryCount(); ++category) {
        const QStringList names = ItemNames(category);
        for (int item = 0; item < names.size(); ++item)
            Write(u"{\"category\": %1, \"item\": %2, \"name\": %3, \"kind\": %4}\n"_s.arg(
                QString::number(category), QString::number(item), JsonString(names[item]),
                JsonString(KindName(Entry(category, item)->FKind))));
    }
    return 0;
}

int Show(const QStringList& args) {
    int category = 0;
    int item = 0;
    const TSnippetEntry& entry = EntryArgument(args, category, item);
    if (args.size() != 3)
        throw TUsageError{u"show takes a category and an item index only"_s};

    const QString kind = JsonString(KindName(entry.FKind));
    switch (entry.FKind) {
    case skDirect:
    case skMessage:
        Write(u"{\"kind\": %1, \"text\": %2}\n"_s.arg(kind, JsonString(entry.FText)));
        return 0;
    case skNone:
        Write(u"{\"kind\": %1}\n"_s.arg(kind));
        return 0;
    case skParam:
        break;
    }

    QStringList labels;
    QStringList open;
    for (int row = 0; row < RowCount; ++row) {
        labels.append(entry.FCaptions[size_t(row)]);
        if (IsOpen(entry, TParamRow(row)))
            open.append(RowName(TParamRow(row)));
    }
    auto items = [](const std::optional<QStringList>& list) {
        return list ? JsonList(*list) : u"null"_s;
    };
    Write(u"{\"kind\": %1, \"labels\": %2, \"open\": %3, \"combo1\": %4, \"combo2\": %5, "
          "\"focus\": %6}\n"_s.arg(kind, JsonList(labels), JsonList(open),
                                   items(entry.FComboBox1Items), items(entry.FComboBox2Items),
                                   JsonString(RowName(entry.FFocus))));
    return 0;
}

int Ok(const QStringList& args) {
    int category = 0;
    int item = 0;
    EntryArgument(args, category, item);

    TParamValues values;
    std::array<bool, RowCount> given{};
    for (qsizetype at = 3; at < args.size(); at += 2) {
        const QString& option = args[at];
        int row = -1;
        if (option.startsWith(u"--edit"_s)) {
            bool ok = false;
            const int n = QStringView(option).mid(6).toInt(&ok, 10);
            if (ok && n >= 1 && n <= EditCount && option.size() == 7)
                row = n - 1;
        } else if (option == u"--combo1"_s) {
            row = prComboBox1;
        } else if (option == u"--combo2"_s) {
            row = prComboBox2;
        }
        if (row < 0)
            throw TUsageError{u"unknown option: %1"_s.arg(option)};
        if (at + 1 >= args.size())
            throw TUsageError{u"%1 needs a text"_s.arg(option)};
        if (given[size_t(row)])
            throw TUsageError{u"%1 given twice"_s.arg(option)};
        given[size_t(row)] = true;
        const QString& text = args[at + 1];
        if (row == prComboBox1)
            values.FComboBox1 = text;
        else if (row == prComboBox2)
            values.FComboBox2Entry = text;
        else
            values.FEdits[size_t(row)] = text;
    }

    if (const std::optional<QString> text = BuildOutput(category, item, values))
        Write(*text);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromUtf8(argv[i]));

    try {
        if (args.isEmpty())
            throw TUsageError{u"no command given"_s};
        const QString& command = args[0];
        if (command == u"list"_s)
            return List(args);
        if (command == u"show"_s)
            return Show(args);
        if (command == u"ok"_s)
            return Ok(args);
        throw TUsageError{u"unknown command: %1"_s.arg(command)};
    } catch (const TUsageError& error) {
        std::fprintf(stderr, "qjs-snippet: %s\n%s", error.FMessage.toUtf8().constData(), Usage);
        return ExitUsage;
    }
}
