#pragma once
// The shell controls of the folder picker: a combo box of the drives a user sees (the root, the
// home folder, removable and network mounts) and a list of the current folder's ancestors and
// sub-folders, with the desktop's icons. Controls of one group follow each other: a drive chosen
// in the combo box fills the list with its root, and a folder opened in the list moves the combo
// box to the drive that holds it.

#include "platform/Error.h"

#include <QComboBox>
#include <QIcon>
#include <QListWidget>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

class QFontMetrics;
class QLabel;

// How an entry's icon is drawn: plain, or blended with the selection colour (the current
// folder), numbered as the platform's drawing flags.
enum TDrawStyle : uint8_t { dsTransparent = 1, dsSelected = 5 };

// One entry of a shell control.
struct TItemInfo {
    QString Path;
    QString DisplayName;
    QIcon Icon;
    int Indent = 0;
    TDrawStyle DrawStyle = dsTransparent;
};
using TItemList = std::vector<TItemInfo>;

// A folder that cannot be opened.
class EFileAccessError : public EQuorvelError {
public:
    using EQuorvelError::EQuorvelError;
};

// "" stays, the root stays, a trailing "/" goes.
QString NormalizePath(const QString& path);
// The folders from the root down to path, root first.
QStringList AncestorChain(const QString& path);
// The folder's path shortened to fit width: leading folders give way to ".../" one by one, and
// the name alone is the last resort.
QString ShortenPath(const QString& path, const QFontMetrics& metrics, int width);
// The drives: the root, the home folder, then the removable and network mounts.
TItemList Drives();
// The index of the drive holding path (the one with the longest root above it); -1 for none.
int DriveOf(const TItemList& drives, const QString& path);

// A member of a group of shell controls.
class TShControl {
public:
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { FGroupIndex = value; }

protected:
    TShControl();
    virtual ~TShControl();
    TShControl(const TShControl&) = delete;
    TShControl& operator=(const TShControl&) = delete;
    // Tells every control of the group, this one included, that path was chosen; only this
    // one when it has no group.
    void Broadcast(const QString& path);
    virtual void PathChosen(const QString& path) = 0;

private:
    int FGroupIndex = 0;
};

class TShDriveComboBox : public QComboBox, public TShControl {
public:
    explicit TShDriveComboBox(QWidget* parent = nullptr);

    const TItemList& Items() const { return FItems; }
    // The root of the drive shown; empty before the first.
    QString Drive() const { return FDrive; }
    std::function<void()> OnChange;

    // A drive chosen by the user: its root goes to the group unless it cannot be reached, when
    // the previous drive comes back.
    void DriveChosen(int index);
    void Refresh();

protected:
    void PathChosen(const QString& path) override;
    void changeEvent(QEvent* event) override;

private:
    void FillDrives();
    void SelectDriveOf(const QString& path);

    TItemList FItems;
    QString FDrive;
};

enum TIconType : uint8_t { itLarge, itSmall };

class TShFolderListBox : public QListWidget, public TShControl {
public:
    explicit TShFolderListBox(QWidget* parent = nullptr);

    const TItemList& Items() const { return FItems; }
    QString CurrentFolder() const { return FCurrentFolder; }
    TIconType IconType() const { return FIconType; }
    void SetIconType(TIconType value);
    // A wider text than the list scrolls sideways.
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool value);
    // A label that shows the current folder, shortened to the list's width.
    QLabel* FolderLabel() const { return FFolderLabel; }
    void SetFolderLabel(QLabel* value);
    std::function<void()> OnChange;

    int IconSize() const { return FIconType == itLarge ? 32 : 16; }

    // The entry's folder, or the folder of a file, goes to the group; throws EFileAccessError
    // ("%sにはアクセスできません") for anything else.
    void OpenPath(const QString& path);
    // Fills the list for path: its ancestors and its sub-folders by name.
    void Fill(const QString& path);
    void Refresh();

protected:
    void PathChosen(const QString& path) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SelectPath(const QString& path);
    void UpdateFolderLabel();
    void UpdateItemHeight();

    TItemList FItems;
    QString FCurrentFolder;
    TIconType FIconType = itSmall;
    bool FAutoScroll = false;
    QPointer<QLabel> FFolderLabel;
};
