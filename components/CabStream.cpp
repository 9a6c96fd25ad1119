#include "components/CabStream.h"

#include "platform/Error.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>
#include <optional>

namespace {

enum TValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
    vaDouble = 21,
};

constexpr uint8_t ResourceMark = 0xFF;
constexpr uint16_t ResourceType = 10;
constexpr uint16_t ResourceFlags = 0x1030;
constexpr char ClassName[] = "TCabOpenDialog";
constexpr char ComponentName[] = "CabOpenDialog1";
constexpr int MaxNesting = 32;

// The option names in bit order.
constexpr const char* OptionNames[] = {
    "ofReadOnly",         "ofOverwritePrompt",    "ofHideReadOnly",        "ofNoChangeDir",
    "ofShowHelp",         "ofNoValidate",         "ofAllowMultiSelect",    "ofExtensionDifferent",
    "ofPathMustExist",    "ofFileMustExist",      "ofCreatePrompt",        "ofShareAware",
    "ofNoReadOnlyReturn", "ofNoTestFileCreate",   "ofNoNetworkButton",     "ofNoLongNames",
    "ofOldStyleDialog",   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing",
};

constexpr const char* RootNames[] = {
    "rfCurrent",    "rfInitialDir", "rfApplication", "rfDesktop",
    "rfMyDocument", "rfMyComputer", "rfNetwork",
};

struct TColorName {
    const char* Name;
    TColor Value;
};

// The colours stored by name rather than by number.
constexpr TColorName ColorNames[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", clSystemColor + 0},
    {"clBackground", clSystemColor + 1},
    {"clActiveCaption", clSystemColor + 2},
    {"clInactiveCaption", clSystemColor + 3},
    {"clMenu", clSystemColor + 4},
    {"clWindow", clSystemColor + 5},
    {"clWindowFrame", clSystemColor + 6},
    {"clMenuText", clSystemColor + 7},
    {"clWindowText", clSystemColor + 8},
    {"clCaptionText", clSystemColor + 9},
    {"clActiveBorder", clSystemColor + 10},
    {"clInactiveBorder", clSystemColor + 11},
    {"clAppWorkSpace", clSystemColor + 12},
    {"clHighlight", clSystemColor + 13},
    {"clHighlightText", clSystemColor + 14},
    {"clBtnFace", clSystemColor + 15},
    {"clBtnShadow", clSystemColor + 16},
    {"clGrayText", clSystemColor + 17},
    {"clBtnText", clSystemColor + 18},
    {"clInactiveCaptionText", clSystemColor + 19},
    {"clBtnHighlight", clSystemColor + 20},
    {"cl3DDkShadow", clSystemColor + 21},
    {"cl3DLight", clSystemColor + 22},
    {"clInfoText", clSystemColor + 23},
    {"clInfoBk", clSystemColor + 24},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
};

[[noreturn]] void Bad() {
    throw EQuorvelError(BadStreamMessage());
}

QString Cp932(QByteArrayView bytes) {
    TStringSink sink;
    DecodeText(bytes, teCp932, sink);
    return sink.Text;
}

// ---------------------------------------------------------------------------------------------
// Writing

class TWriter {
public:
    QByteArray Out;

    void Byte(uint8_t b) { Out.append(char(b)); }
    void Word(uint16_t w) {
        Byte(uint8_t(w));
        Byte(uint8_t(w >> 8));
    }
    void Long(uint32_t l) {
        Word(uint16_t(l));
        Word(uint16_t(l >> 16));
    }
    // A length byte and the characters (names, identifiers).
    void Short(QByteArrayView name) {
        Byte(uint8_t(name.size()));
        Out.append(name);
    }
    void Property(const char* name) { Short(name); }

    void Integer(int value) {
        if (value >= -128 && value <= 127) {
            Byte(vaInt8);
            Byte(uint8_t(value));
        } else if (value >= -32768 && value <= 32767) {
            Byte(vaInt16);
            Word(uint16_t(value));
        } else {
            Byte(vaInt32);
            Long(uint32_t(value));
        }
    }
    void Boolean(bool value) { Byte(value ? vaTrue : vaFalse); }
    void Ident(QByteArrayView name) {
        Byte(vaIdent);
        Short(name);
    }
    void String(const QString& text) {
        QByteArray bytes;
        // A kept undecodable lead byte can join the Shift-JIS bytes of the character after it
        // into another character; text that would not read back goes out as UTF-16 too.
        if (EncodeString(text, teCp932, {}, bytes) || Cp932(bytes) != text) {
            Byte(vaWString);
            Long(uint32_t(text.size()));
            for (QChar c : text)
                Word(c.unicode());
        } else if (bytes.size() <= 255) {
            Byte(vaString);
            Short(bytes);
        } else {
            Byte(vaLString);
            Long(uint32_t(bytes.size()));
            Out.append(bytes);
        }
    }
    void Color(TColor color) {
        for (const TColorName& named : ColorNames)
            if (named.Value == color)
                return Ident(named.Name);
        Integer(int(color));
    }
    void Options(TOpenOptions options) {
        Byte(vaSet);
        for (size_t bit = 0; bit < std::size(OptionNames); ++bit)
            if (options.testFlag(TOpenOption(1u << bit)))
                Short(OptionNames[bit]);
        Short({});
    }
    void Items(const TCabinetItems& items) {
        Byte(vaCollection);
        for (const TCabinetItem& item : items) {
            Byte(vaList);
            Property("ImageIndex");
            Integer(item.ImageIndex);
            if (!item.FolderPath.isEmpty()) {
                Property("FolderPath");
                String(item.FolderPath);
            }
            Property("RootFolder");
            Ident(RootNames[item.RootFolder]);
            if (!item.Caption.isEmpty()) {
                Property("Caption");
                String(item.Caption);
            }
            Byte(vaNull);
        }
        Byte(vaNull);
    }
};

QByteArray ComponentStream(const TCabSettings& s) {
    const TCabSettings d;
    TWriter w;
    w.Out.append("TPF0");
    w.Short(ClassName);
    w.Short(ComponentName);
    if (s.Ctl3D != d.Ctl3D) {
        w.Property("Ctl3D");
        w.Boolean(s.Ctl3D);
    }
    if (s.HelpContext != d.HelpContext) {
        w.Property("HelpContext");
        w.Integer(s.HelpContext);
    }
    const std::pair<const char*, const QString*> texts[] = {
        {"DefaultExt", &s.DefaultExt}, {"FileName", &s.FileName}, {"Filter", &s.Filter}};
    for (const auto& [name, text] : texts) {
        if (!text->isEmpty()) {
            w.Property(name);
            w.String(*text);
        }
    }
    if (s.FilterIndex != d.FilterIndex) {
        w.Property("FilterIndex");
        w.Integer(s.FilterIndex);
    }
    if (!s.InitialDir.isEmpty()) {
        w.Property("InitialDir");
        w.String(s.InitialDir);
    }
    if (s.Options != d.Options) {
        w.Property("Options");
        w.Options(s.Options);
    }
    if (!s.Title.isEmpty()) {
        w.Property("Title");
        w.String(s.Title);
    }
    if (s.AutoFocusChange != d.AutoFocusChange) {
        w.Property("AutoFocusChange");
        w.Boolean(s.AutoFocusChange);
    }
    if (s.Color != d.Color) {
        w.Property("Color");
        w.Color(s.Color);
    }
    w.Property("Items");
    w.Items(s.Items);
    w.Property("Left");
    w.Integer(s.Left);
    w.Property("Top");
    w.Integer(s.Top);
    w.Byte(vaNull); // end of the properties
    w.Byte(vaNull); // no children
    return w.Out;
}

// ---------------------------------------------------------------------------------------------
// Reading: every length is checked against what is left; anything unexpected is a bad stream.

class TReader {
public:
    explicit TReader(QByteArrayView bytes) : FBytes(bytes) {}

    bool AtEnd() const { return FPos >= FBytes.size(); }
    uint8_t Peek() const {
        if (AtEnd())
            Bad();
        return uint8_t(FBytes[FPos]);
    }
    QByteArrayView Take(qsizetype n) {
        if (n < 0 || n > FBytes.size() - FPos)
            Bad();
        QByteArrayView part = FBytes.sliced(FPos, n);
        FPos += n;
        return part;
    }
    uint8_t Byte() { return uint8_t(Take(1)[0]); }
    uint16_t Word() { return qFromLittleEndian<uint16_t>(Take(2).data()); }
    uint32_t Long() { return qFromLittleEndian<uint32_t>(Take(4).data()); }
    QByteArrayView Short() { return Take(Byte()); }

    int Integer() {
        switch (Byte()) {
        case vaInt8:
            return int8_t(Byte());
        case vaInt16:
            return int16_t(Word());
        case vaInt32:
            return int32_t(Long());
        default:
            Bad();
        }
    }
    bool Boolean() {
        switch (Byte()) {
        case vaFalse:
            return false;
        case vaTrue:
            return true;
        default:
            Bad();
        }
    }
    QString String() {
        switch (Byte()) {
        case vaString:
            return Cp932(Short());
        case vaLString:
            return Cp932(Take(Length()));
        case vaWString: {
            const qsizetype count = Length();
            if (count > (FBytes.size() - FPos) / 2)
                Bad();
            QString text(count, Qt::Uninitialized);
            for (qsizetype i = 0; i < count; ++i)
                text[i] = QChar(Word());
            return text;
        }
        case vaUTF8String:
            return QString::fromUtf8(Take(Length()));
        default:
            Bad();
        }
    }
    QByteArrayView Ident() {
        if (Byte() != vaIdent)
            Bad();
        return Short();
    }
    TColor Color() {
        if (Peek() != vaIdent)
            return TColor(Integer());
        const QByteArrayView name = Ident();
        for (const TColorName& named : ColorNames)
            if (name.compare(named.Name, Qt::CaseInsensitive) == 0)
                return named.Value;
        Bad();
    }
    TOpenOptions Options() {
        if (Byte() != vaSet)
            Bad();
        TOpenOptions options;
        // Options of newer dialogs mean nothing here and are left out.
        for (QByteArrayView name = Short(); !name.isEmpty(); name = Short())
            if (const qsizetype bit = Find(OptionNames, name); bit >= 0)
                options |= TOpenOption(1u << bit);
        return options;
    }
    TRootFolder Root() {
        const qsizetype root = Find(RootNames, Ident());
        if (root < 0)
            Bad();
        return TRootFolder(root);
    }
    TCabinetItems Items() {
        if (Byte() != vaCollection)
            Bad();
        TCabinetItems items;
        while (Peek() != vaNull) {
            // An item may carry its place in the collection before its list.
            if (Peek() == vaInt8 || Peek() == vaInt16 || Peek() == vaInt32)
                Integer();
            if (Byte() != vaList)
                Bad();
            TCabinetItem item;
            while (Peek() != vaNull) {
                const QByteArrayView name = Short();
                if (name == "ImageIndex")
                    item.ImageIndex = Integer();
                else if (name == "FolderPath")
                    item.FolderPath = String();
                else if (name == "RootFolder")
                    item.RootFolder = Root();
                else if (name == "Caption")
                    item.Caption = String();
                else
                    Skip(0);
            }
            Byte();
            items.append(item);
        }
        Byte();
        return items;
    }

    // Passes over a value of any type (a setting this program does not keep).
    void Skip(int depth) {
        if (depth > MaxNesting)
            Bad();
        switch (Byte()) {
        case vaList:
            while (Peek() != vaNull)
                Skip(depth + 1);
            Byte();
            break;
        case vaInt8:
            Take(1);
            break;
        case vaInt16:
            Take(2);
            break;
        case vaInt32:
        case vaSingle:
            Take(4);
            break;
        case vaExtended:
            Take(10);
            break;
        case vaInt64:
        case vaCurrency:
        case vaDate:
        case vaDouble:
            Take(8);
            break;
        case vaString:
        case vaIdent:
            Short();
            break;
        case vaLString:
        case vaBinary:
        case vaUTF8String:
            Take(Length());
            break;
        case vaWString:
            Take(Length() * 2);
            break;
        case vaFalse:
        case vaTrue:
        case vaNil:
        case vaNull:
            break;
        case vaSet:
            while (!Short().isEmpty()) {
            }
            break;
        case vaCollection:
            while (Peek() != vaNull) {
                if (Peek() != vaList)
                    Skip(depth + 1); // the item's place
                Skip(depth + 1);
            }
            Byte();
            break;
        default:
            Bad();
        }
    }

private:
    // A 32-bit count that cannot be more than what is left.
    qsizetype Length() {
        const uint32_t n = Long();
        if (n > uint32_t(FBytes.size() - FPos))
            Bad();
        return qsizetype(n);
    }
    template <size_t N> static qsizetype Find(const char* const (&names)[N], QByteArrayView name) {
        for (size_t i = 0; i < N; ++i)
            if (name.compare(names[i], Qt::CaseInsensitive) == 0)
                return qsizetype(i);
        return -1;
    }
    QByteArrayView FBytes;
    qsizetype FPos = 0;
};

} // namespace

QString BadStreamMessage() {
    return QStringLiteral("不正なストリーム フォーマット");
}

QByteArray WriteCabStream(const TCabSettings& settings) {
    const QByteArray stream = ComponentStream(settings);
    TWriter w;
    w.Byte(ResourceMark);
    w.Word(ResourceType);
    w.Out.append(QByteArray(ClassName).toUpper());
    w.Byte(0);
    w.Word(ResourceFlags);
    w.Long(uint32_t(stream.size()));
    return w.Out + stream;
}

TCabSettings ReadCabStream(QByteArrayView bytes, const TCabSettings& start) {
    TReader r(bytes);
    if (r.Byte() != ResourceMark || r.Word() != ResourceType)
        Bad();
    while (r.Byte() != 0) {
    }
    r.Word(); // flags
    r.Long(); // the stream's length; the stream ends by its own marks
    if (r.Take(4) != "TPF0")
        Bad();
    r.Short(); // class
    r.Short(); // component
    TCabSettings s = start;
    while (r.Peek() != vaNull) {
        const QByteArrayView name = r.Short();
        if (name == "Ctl3D")
            s.Ctl3D = r.Boolean();
        else if (name == "HelpContext")
            s.HelpContext = r.Integer();
        else if (name == "DefaultExt")
            s.DefaultExt = r.String();
        else if (name == "FileName")
            s.FileName = r.String();
        else if (name == "Filter")
            s.Filter = r.String();
        else if (name == "FilterIndex")
            s.FilterIndex = r.Integer();
        else if (name == "InitialDir")
            s.InitialDir = r.String();
        else if (name == "Options")
            s.Options = r.Options();
        else if (name == "Title")
            s.Title = r.String();
        else if (name == "AutoFocusChange")
            s.AutoFocusChange = r.Boolean();
        else if (name == "Color")
            s.Color = r.Color();
        else if (name == "Items")
            s.Items = r.Items();
        else if (name == "Left")
            s.Left = r.Integer();
        else if (name == "Top")
            s.Top = r.Integer();
        else // the image list (a component of the form that wrote it), events
            r.Skip(0);
    }
    r.Byte();
    if (r.Byte() != vaNull) // a dialog has no children
        Bad();
    return s;
}

void LoadCabDialog(TCabOpenDialog& dialog, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuorvelError(OpenErrorMessage(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EQuorvelError(OpenErrorMessage(path));
    dialog.SetSettings(ReadCabStream(bytes, dialog.Settings()));
}

void SaveCabDialog(const TCabOpenDialog& dialog, const QString& path) {
    // The settings folder of a new user may not be there yet.
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray bytes = WriteCabStream(dialog.Settings());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EQuorvelError(CreateErrorMessage(path));
}
