#pragma once
// The recent-files list: names kept in the per-user store, newest first, shown as numbered
// menu entries (in a submenu or right after a given menu entry), and optionally the distinct
// folders of those files.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QAction;
class QMenu;

// "&0 " to "&9 ", then "&A " to "&Z ", then nothing.
QString MenuPrefix(int n);
// The folder of a path: everything before its last "/", or "/" itself when the name sits in
// the root, a trailing "/" kept after another one; empty without a "/".
QString FolderPart(const QString& path);

class TOpenFileHistories : public QObject {
public:
    using TOpenFileEvent = std::function<void(QObject* sender, const QString& fileName)>;
    using TOpenDialogEvent = std::function<void(QObject* sender, const QString& directory)>;

    explicit TOpenFileHistories(QObject* owner = nullptr);
    ~TOpenFileHistories() override;

    // File entries become the last entries of this menu; setting it clears UpFileItem.
    QMenu* SubFileItem() const { return FSubFileItem; }
    void SetSubFileItem(QMenu* value);
    QMenu* SubFolderItem() const { return FSubFolderItem; }
    void SetSubFolderItem(QMenu* value);
    // File entries follow this entry in its menu; setting it clears SubFileItem.
    QAction* UpFileItem() const { return FUpFileItem; }
    void SetUpFileItem(QAction* value);
    QAction* UpFolderItem() const { return FUpFolderItem; }
    void SetUpFolderItem(QAction* value);
    int MaxHistory() const { return FMaxHistory; }
    void SetMaxHistory(int value);

    TOpenFileEvent OnOpenFile;
    TOpenDialogEvent OnOpenDialog;

    // Reads the list stored under KeyName and builds the menu entries.
    void LoadHistories(const QString& keyName);
    // Records a file opened in this run; it goes to the top of the list at the next save.
    void AddHistory(const QString& fileName);
    // Puts the files of this run on top of the stored list, trims it to MaxHistory and stores
    // it; raises when the value cannot be set. Nothing happens before the first AddHistory.
    void SaveHistories(const QString& keyName);
    // Saves and reloads the list of the last LoadHistories, rebuilding the menu entries; does
    // nothing before the first LoadHistories.
    void RefreshHistories();

private:
    void ClearMenuItems();
    QAction* NewItem(const QString& caption, int tag, bool folder);
    void FileItemClick(QAction* item);
    void FolderItemClick(QAction* item);

    QPointer<QMenu> FSubFileItem;
    QPointer<QMenu> FSubFolderItem;
    QPointer<QAction> FUpFileItem;
    QPointer<QAction> FUpFolderItem;
    int FMaxHistory = 10;
    QStringList FHistories;
    std::optional<QStringList> FAdded;
    QList<QPointer<QAction>> FMenuItems;
    QString FKeyName;
};
