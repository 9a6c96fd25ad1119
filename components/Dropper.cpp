#include "components/Dropper.h"

#include <QAbstractScrollArea>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

QStringList LocalFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

// A path that cannot be looked at counts as a folder: it is never opened as a file.
bool IsFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() || !info.exists();
}

} // namespace

TFileDropper::TFileDropper(QObject* owner) : QObject(owner) {}

void TFileDropper::SetDropSite(QWidget* value) {
    if (FDropSite || !value)
        return;
    FDropSite = value;
    // A scrolling widget's drags arrive at its viewport.
    auto* area = qobject_cast<QAbstractScrollArea*>(value);
    FTarget = area ? area->viewport() : value;
    FTarget->setAcceptDrops(true);
    FTarget->installEventFilter(this);
}

bool TFileDropper::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FTarget)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (LocalFiles(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = LocalFiles(drop->mimeData());
        if (paths.isEmpty())
            return false;
        drop->acceptProposedAction();
        HandleDropFiles(paths);
        return true;
    }
    default:
        return false;
    }
}

QStringList TFileDropper::Expand(const QStringList& paths) const {
    QStringList files;
    QStringList visited;
    for (const QString& path : paths) {
        if (!IsFolder(path))
            files << path;
        else if (FAllowDir)
            DropFolder(path, files, visited);
    }
    return files;
}

void TFileDropper::DropFolder(const QString& folder, QStringList& files,
                              QStringList& visited) const {
    // A link back up the tree would never end the walk.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited << canonical;
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.fileName().startsWith(u'.'))
            continue;
        const QString path = QDir(folder).filePath(entry.fileName());
        if (!entry.isDir())
            files << path;
        else if (FSubFolders)
            DropFolder(path, files, visited);
    }
}

void TFileDropper::HandleDropFiles(const QStringList& paths) {
    const QStringList files = Expand(paths);
    if (files.isEmpty() || (OnDropQuery && !OnDropQuery()))
        return;
    if (OnDrop)
        for (const QString& file : files)
            OnDrop(this, file);
}
