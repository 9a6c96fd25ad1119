#pragma once
// Makes a widget accept files dragged from a file manager and reports each dropped file.
// Folders are passed over unless AllowDir is set, when their files are reported in name order
// (and, with SubFolders, those of their sub-folders where they are met); names beginning with
// "." are skipped there.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

class TFileDropper : public QObject {
public:
    using TDropEvent = std::function<void(QObject* sender, const QString& fileName)>;

    explicit TFileDropper(QObject* owner = nullptr);

    // The widget that accepts drops; attached once, when first set.
    QWidget* DropSite() const { return FDropSite; }
    void SetDropSite(QWidget* value);
    bool AllowDir() const { return FAllowDir; }
    void SetAllowDir(bool value) { FAllowDir = value; }
    bool SubFolders() const { return FSubFolders; }
    void SetSubFolders(bool value) { FSubFolders = value; }

    // Called once for every file of a drop, in order. A failure stops the rest of the drop.
    TDropEvent OnDrop;
    // Asked once before the first file of a drop is reported; false drops nothing.
    std::function<bool()> OnDropQuery;

    // The files that paths stand for, folders expanded as the settings say.
    QStringList Expand(const QStringList& paths) const;
    // Reports the files that paths stand for.
    void HandleDropFiles(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DropFolder(const QString& folder, QStringList& files, QStringList& visited) const;

    QPointer<QWidget> FDropSite;
    QWidget* FTarget = nullptr; // the widget that really receives the drag events
    bool FAllowDir = false;
    bool FSubFolders = false;
};
