#include "app/PlainFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace {

// Qt's file list writes sizes, the folder kind and dates in the system locale, which is English
// on a desktop without a Japanese locale; the program's dialogs speak Japanese throughout.
class TJapaneseFileList : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() < 1 || index.column() > 3)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info = files->fileInfo(source);
        const QLocale japanese(QLocale::Japanese, QLocale::Japan);
        switch (index.column()) {
        case 1:
            if (info.isDir())
                return QString();
            return japanese.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
        case 2:
            if (info.isDir())
                return QStringLiteral("フォルダ");
            break;
        case 3:
            return japanese.toString(files->lastModified(source), QLocale::ShortFormat);
        }
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

TPlainFileDialog::TPlainFileDialog(TFileDialogKind kind, QWidget* owner)
    : QObject(owner), FKind(kind), FOwner(owner) {}

QStringList TPlainFileDialog::QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            // On Windows "*.*" also matches names without a dot.
            if (pattern == u"*.*")
                pattern = QStringLiteral("*");
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

bool TPlainFileDialog::Execute() {
    QFileDialog dialog(FOwner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The description already shows the patterns, as on Windows.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // Replacing a file is asked by the frame, in the program's own words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(FKind == fdOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // The Windows open dialog takes a name that does not exist yet: it opens an empty window.
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = QtNameFilters(FFilter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(
            filters.value(std::clamp(FFilterIndex, 1, int(filters.size())) - 1));
    }
    dialog.setDefaultSuffix(FDefaultExt);
    dialog.setProxyModel(new TJapaneseFileList(&dialog));
    dialog.resize(720, 460);

    const QFileInfo proposed(FFileName);
    QString folder = !FLastDir.isEmpty()      ? FLastDir
                     : !FInitialDir.isEmpty() ? FInitialDir
                                              : QDir::currentPath();
    if (proposed.isAbsolute())
        folder = proposed.absolutePath();
    else if (FFileName.contains(u'/'))
        folder = QFileInfo(QDir(folder).filePath(FFileName)).absolutePath();
    dialog.setDirectory(folder);
    if (!FFileName.isEmpty())
        dialog.selectFile(proposed.fileName());

    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    FFileName = QDir::cleanPath(QFileInfo(chosen.first()).absoluteFilePath());
    FLastDir = QFileInfo(FFileName).absolutePath();
    FFilterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (FFilterIndex < 1)
        FFilterIndex = 1;
    return true;
}
