#pragma once
// The frame's open and save dialogs until the dialogs with favourite folders take their places:
// Qt's own file dialog (in Japanese) with the properties the frame sets and reads, named as
// those of the favourites dialogs so that the frame's code stays when they arrive.

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

enum TFileDialogKind : uint8_t { fdOpen, fdSave };

class TPlainFileDialog : public QObject {
    Q_OBJECT
public:
    TPlainFileDialog(TFileDialogKind kind, QWidget* owner);

    QString FileName() const { return FFileName; }
    void SetFileName(const QString& value) { FFileName = value; }
    // "description|pattern|description|pattern…", as the Windows dialogs take it.
    QString Filter() const { return FFilter; }
    void SetFilter(const QString& value) { FFilter = value; }
    // 1-based, as the Windows dialogs count.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int value) { FFilterIndex = value; }
    // Added to a typed name without an extension.
    QString DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const QString& value) { FDefaultExt = value; }
    QString InitialDir() const { return FInitialDir; }
    void SetInitialDir(const QString& value) { FInitialDir = value; }

    // Shows the dialog modally; true when the user chose a file, which FileName then holds as
    // an absolute path.
    bool Execute();

    // The filter in Qt's form: "description (patterns)" entries; "*.*" matches every name.
    static QStringList QtNameFilters(const QString& filter);

private:
    TFileDialogKind FKind;
    QWidget* FOwner;
    QString FFileName;
    QString FFilter;
    int FFilterIndex = 1;
    QString FDefaultExt;
    QString FInitialDir;
    QString FLastDir; // where the last confirmed file was, for a name without a folder
};
