#include "platform/SaveTarget.h"

#include <QFileInfo>

QString SaveTarget(const QString& path) {
    QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}
