#include "components/SystemImages.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QList>

namespace {

using TIconType = QAbstractFileIconProvider::IconType;

// The kinds behind the first 35 numbers of the shell's list; the rest of them (start menu,
// printers and the like) never name a folder and show as one.
constexpr int SeededCount = 35;
constexpr int OpenFolderNumber = 4;
constexpr int DesktopNumber = 34;

TIconType SeededKind(int index) {
    switch (index) {
    case 0:
    case 1:
    case 2:
        return QAbstractFileIconProvider::File;
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
        return QAbstractFileIconProvider::Drive;
    case 13:
    case 17:
    case 18:
        return QAbstractFileIconProvider::Network;
    case 15:
        return QAbstractFileIconProvider::Computer;
    case DesktopNumber:
        return QAbstractFileIconProvider::Desktop;
    default:
        return QAbstractFileIconProvider::Folder;
    }
}

QIcon OpenFolderIcon(const QIcon& closed) {
    return QIcon::fromTheme(QStringLiteral("folder-open"), closed);
}

class TSystemImages {
public:
    TSystemImages() {
        for (int i = 0; i < SeededCount; ++i) {
            const QIcon icon =
                i == OpenFolderNumber
                    ? OpenFolderIcon(FProvider.icon(QAbstractFileIconProvider::Folder))
                    : FProvider.icon(SeededKind(i));
            FIcons.append(icon);
            if (!FIndexes.contains(Key(icon)))
                FIndexes.insert(Key(icon), i);
        }
    }

    int IndexOf(const QIcon& icon) {
        const QString key = Key(icon);
        auto found = FIndexes.constFind(key);
        if (found != FIndexes.constEnd())
            return *found;
        FIcons.append(icon);
        FIndexes.insert(key, int(FIcons.size() - 1));
        return int(FIcons.size() - 1);
    }

    QIcon Icon(int index) const {
        return index >= 0 && index < FIcons.size() ? FIcons[index] : FIcons[3];
    }

    QFileIconProvider FProvider;

private:
    // Icons of one kind share their name (a theme's) or their pixmaps (a style's).
    static QString Key(const QIcon& icon) {
        return icon.name().isEmpty() ? QString::number(icon.cacheKey()) : icon.name();
    }

    QList<QIcon> FIcons;
    QHash<QString, int> FIndexes;
};

TSystemImages& Images() {
    static TSystemImages images;
    return images;
}

} // namespace

QIcon ShellIcon(const QString& path, bool open) {
    const QFileIconProvider& provider = Images().FProvider;
    const QFileInfo info(path);
    if (info.isRoot())
        return provider.icon(QAbstractFileIconProvider::Computer);
    // A favourite whose folder is gone still shows as a folder.
    if (!info.exists())
        return provider.icon(QAbstractFileIconProvider::Folder);
    if (open && info.isDir())
        return OpenFolderIcon(provider.icon(info));
    return provider.icon(info);
}

int SystemIconIndex(const QString& path) {
    return Images().IndexOf(ShellIcon(path, true));
}

int DesktopIconIndex() {
    return DesktopNumber;
}

QIcon SystemIcon(int index) {
    return Images().Icon(index);
}
