#pragma once
// The open and save dialogs with a column of favourite folders at their left: Qt's own file
// dialog (in Japanese) embedded beside a list of large icons; a click on one moves the file
// dialog to that folder and keeps the file name the user had typed.

#include "platform/Color.h"
#include "platform/EncodingChoice.h"

#include <QFlags>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>

class QComboBox;
class QDialog;
class QFileDialog;
class QListWidget;
class QWidget;

// The base of a favourite's FolderPath.
enum TRootFolder : uint8_t {
    rfCurrent,
    rfInitialDir,
    rfApplication,
    rfDesktop,
    rfMyDocument,
    rfMyComputer,
    rfNetwork,
};

struct TCabinetItem {
    QString Caption;    // under the icon
    QString FolderPath; // relative to RootFolder
    int ImageIndex = 0; // 0: chosen from the folder when the dialog shows
    TRootFolder RootFolder = rfCurrent;
    bool operator==(const TCabinetItem&) const = default;
};
using TCabinetItems = QList<TCabinetItem>;

// The options of the platform's file dialogs, in their stored order. Qt's dialog acts on
// ofOverwritePrompt and ofFileMustExist; the others are kept for the settings file.
enum TOpenOption : uint32_t {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofShowHelp = 1u << 4,
    ofNoValidate = 1u << 5,
    ofAllowMultiSelect = 1u << 6,
    ofExtensionDifferent = 1u << 7,
    ofPathMustExist = 1u << 8,
    ofFileMustExist = 1u << 9,
    ofCreatePrompt = 1u << 10,
    ofShareAware = 1u << 11,
    ofNoReadOnlyReturn = 1u << 12,
    ofNoTestFileCreate = 1u << 13,
    ofNoNetworkButton = 1u << 14,
    ofNoLongNames = 1u << 15,
    ofOldStyleDialog = 1u << 16,
    ofNoDereferenceLinks = 1u << 17,
    ofEnableIncludeNotify = 1u << 18,
    ofEnableSizing = 1u << 19,
};
Q_DECLARE_FLAGS(TOpenOptions, TOpenOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOpenOptions)

constexpr TColor clAppWorkSpace = clSystemColor + 12;

// The dialog's published settings, as the favourites file stores them.
struct TCabSettings {
    bool Ctl3D = true;
    int HelpContext = 0;
    QString DefaultExt;
    QString FileName;
    QString Filter; // "description|pattern|description|pattern…"
    int FilterIndex = 1;
    QString InitialDir;
    TOpenOptions Options = ofHideReadOnly | ofEnableSizing;
    QString Title;
    bool AutoFocusChange = false;
    TColor Color = clAppWorkSpace;
    TCabinetItems Items;
    int Left = 0; // the component's place on its form
    int Top = 0;
    bool operator==(const TCabSettings&) const = default;
};

class TCabOpenDialog : public QObject {
    Q_OBJECT
public:
    explicit TCabOpenDialog(QWidget* owner);
    ~TCabOpenDialog() override;

    const TCabSettings& Settings() const { return FSettings; }
    void SetSettings(const TCabSettings& value) { FSettings = value; }

    QString FileName() const { return FSettings.FileName; }
    void SetFileName(const QString& value) { FSettings.FileName = value; }
    QString Filter() const { return FSettings.Filter; }
    void SetFilter(const QString& value) { FSettings.Filter = value; }
    // 1-based, as the Windows dialogs count.
    int FilterIndex() const { return FSettings.FilterIndex; }
    void SetFilterIndex(int value) { FSettings.FilterIndex = value; }
    // Added to a typed name without an extension.
    QString DefaultExt() const { return FSettings.DefaultExt; }
    void SetDefaultExt(const QString& value) { FSettings.DefaultExt = value; }
    QString InitialDir() const { return FSettings.InitialDir; }
    void SetInitialDir(const QString& value) { FSettings.InitialDir = value; }
    TOpenOptions Options() const { return FSettings.Options; }
    void SetOptions(TOpenOptions value) { FSettings.Options = value; }
    QString Title() const { return FSettings.Title; }
    void SetTitle(const QString& value) { FSettings.Title = value; }
    const TCabinetItems& Items() const { return FSettings.Items; }
    void SetItems(const TCabinetItems& value) { FSettings.Items = value; }
    bool AutoFocusChange() const { return FSettings.AutoFocusChange; }
    void SetAutoFocusChange(bool value) { FSettings.AutoFocusChange = value; }
    TColor Color() const { return FSettings.Color; }
    void SetColor(TColor value) { FSettings.Color = value; }
    // Icons to use instead of the desktop's; empty for none.
    const QList<QIcon>& ImageList() const { return FImageList; }
    void SetImageList(const QList<QIcon>& value) { FImageList = value; }

    // Shows the dialog modally; true when the user chose a file, which FileName then holds as
    // an absolute path.
    bool Execute();

    // The folder a favourite stands for.
    QString ItemFolderPath(const TCabinetItem& item) const;
    // The icon number of a favourite: its own, or the desktop's icon of its folder.
    int ItemImageIndex(const TCabinetItem& item) const;
    // While the dialog is shown: moves it to path and keeps the typed file name.
    void ChangeFolder(const QString& path);

    // The filter in Qt's form: "description (patterns)" entries; "*.*" matches every name.
    static QStringList QtNameFilters(const QString& filter);

protected:
    TCabOpenDialog(QWidget* owner, bool save);
    // Controls of a derived dialog below Qt's own, and what they chose once it was accepted.
    virtual void AddChoices(QFileDialog& files) { Q_UNUSED(files); }
    virtual void TakeChoices() {}

private:
    void CreateCabinet(QDialog& window);
    QIcon ItemIcon(const TCabinetItem& item) const;

    bool FSave;
    QWidget* FOwner;
    TCabSettings FSettings;
    QList<QIcon> FImageList;
    QString FLastDir; // where the last confirmed file was, for a name without a folder
    // Only while the dialog is shown.
    QPointer<QFileDialog> FFileDialog;
    QPointer<QWidget> FCabinetPanel;
    QPointer<QListWidget> FCabinetList;

    friend class TCabinetDelegate;
};

// The save dialog also offers the encoding and the line ends to write.
class TCabSaveDialog : public TCabOpenDialog {
    Q_OBJECT
public:
    explicit TCabSaveDialog(QWidget* owner);

    // Preset before Execute; what the user chose after it.
    TTextEncoding Encoding() const { return FEncoding; }
    void SetEncoding(TTextEncoding value) { FEncoding = value; }
    TLineEnd LineEnd() const { return FLineEnd; }
    void SetLineEnd(TLineEnd value) { FLineEnd = value; }

protected:
    void AddChoices(QFileDialog& files) override;
    void TakeChoices() override;

private:
    TTextEncoding FEncoding = teUtf8;
    TLineEnd FLineEnd = leCrLf;
    // Only while the dialog is shown.
    QPointer<QComboBox> FEncodingBox;
    QPointer<QComboBox> FLineEndBox;
};
