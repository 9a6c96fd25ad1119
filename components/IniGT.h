#pragma once
// The settings file of the program: string and integer values and window placements in one
// initialisation file, read and written straight through on every call.

#include <QObject>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

class QWidget;

enum TIniGTDefaultDir : uint8_t { ddApplication, ddWindows, ddNone };
enum TIniGTFence : uint8_t { fnDoubleQuote, fnParenthesis, fnVer11Mode, fnNone };

// The program file whose folder and name the settings file follows; tests point it elsewhere.
// An empty path returns to the running program's own.
QString ProgramFilePath();
void SetProgramFilePath(const QString& path);

class TIniGT : public QObject {
public:
    explicit TIniGT(QObject* owner = nullptr);

    TIniGTDefaultDir DefaultDir() const { return FDefaultDir; }
    void SetDefaultDir(TIniGTDefaultDir value);
    QString FileName() const { return FFileName; }
    void SetFileName(const QString& value);
    TIniGTFence Fence() const { return FFence; }
    void SetFence(TIniGTFence value);
    // The file every call reads and writes, as FileName and DefaultDir resolve.
    QString Path() const { return FPath; }

    // Called once the component's properties are set: an empty FileName becomes the program
    // file's name with the extension ".ini" (a program EDITOR.EXE gives Editor.ini).
    void Loaded();

    QString ReadString(const QString& section, const QString& ident,
                       const QString& defaultValue) const;
    void WriteString(const QString& section, const QString& ident, const QString& value);
    int ReadInteger(const QString& section, const QString& ident, int defaultValue) const;
    void WriteInteger(const QString& section, const QString& ident, int value);

    // The eight values Prefix + ".Flags", ".Show", ".MaxX", ".MaxY", ".X", ".Y", ".XSize",
    // ".YSize"; a missing one keeps the window's current value.
    void LoadFormPlacement(const QString& section, const QString& prefix, QWidget* form) const;
    void SaveFormPlacement(const QString& section, const QString& prefix, const QWidget* form);

private:
    void Resolve();
    void Write(const QString& section, const QString& ident, const QString& value);

    TIniGTDefaultDir FDefaultDir = ddApplication;
    QString FFileName;
    TIniGTFence FFence = fnNone;
    QString FPath;
};

// The integer a settings value holds: decimal with an optional sign, or hexadecimal after
// "0x" (eight digits at most, read as the 32-bit pattern); nothing when malformed.
std::optional<int> ParseSettingInteger(QStringView text);
