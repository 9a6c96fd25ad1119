#include "components/OpnFilHs.h"

#include "components/UserStore.h"
#include "platform/Error.h"

#include <QAction>
#include <QMenu>

QString MenuPrefix(int n) {
    if (n >= 0 && n <= 9)
        return u'&' + QString::number(n) + u' ';
    if (n >= 10 && n <= 35)
        return u'&' + QChar(u'A' + (n - 10)) + u' ';
    return {};
}

QString FolderPart(const QString& path) {
    qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    if (slash == 0 || path[slash - 1] == u'/')
        return path.first(slash + 1);
    return path.first(slash);
}

namespace {

// Where every list lies in the per-user store: the key and below it the subkey.
QString StoreKeyPath() {
    return QStringLiteral("\\Software\\OpnFilHs\\") + QStringLiteral("OFH");
}

QStringList StoredList(const QString& keyName) {
    QString stored = ReadUserValue(StoreKeyPath(), keyName).value_or(QString());
    // Lines end at CR, LF or CR LF; an empty line names no file.
    stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return stored.split(u'\n', Qt::SkipEmptyParts);
}

// Names are compared without regard to letter case.
qsizetype IndexOfName(const QStringList& names, const QString& name) {
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void MoveToFront(QStringList& names, const QString& name) {
    qsizetype at = IndexOfName(names, name);
    if (at >= 0)
        names.removeAt(at);
    names.prepend(name);
}

QMenu* MenuOf(QAction* item) {
    const QList<QObject*> holders = item->associatedObjects();
    for (QObject* holder : holders)
        if (auto* menu = qobject_cast<QMenu*>(holder))
            return menu;
    return nullptr;
}

void InsertAt(QMenu* menu, qsizetype position, QAction* item) {
    const QList<QAction*> items = menu->actions();
    if (position < items.size())
        menu->insertAction(items[position], item);
    else
        menu->addAction(item);
}

// A name is shown as it is: "&" in it would otherwise make the next letter an accelerator.
QString Shown(const QString& name) {
    QString s = name;
    return s.replace(u'&', QStringLiteral("&&"));
}

} // namespace

TOpenFileHistories::TOpenFileHistories(QObject* owner) : QObject(owner) {}

TOpenFileHistories::~TOpenFileHistories() {
    ClearMenuItems();
}

void TOpenFileHistories::SetSubFileItem(QMenu* value) {
    FSubFileItem = value;
    if (value)
        FUpFileItem = nullptr;
}

void TOpenFileHistories::SetSubFolderItem(QMenu* value) {
    FSubFolderItem = value;
    if (value)
        FUpFolderItem = nullptr;
}

void TOpenFileHistories::SetUpFileItem(QAction* value) {
    FUpFileItem = value;
    if (value)
        FSubFileItem = nullptr;
}

void TOpenFileHistories::SetUpFolderItem(QAction* value) {
    FUpFolderItem = value;
    if (value)
        FSubFolderItem = nullptr;
}

void TOpenFileHistories::SetMaxHistory(int value) {
    FMaxHistory = qMax(0, value);
}

QAction* TOpenFileHistories::NewItem(const QString& caption, int tag, bool folder) {
    auto* item = new QAction(caption, this);
    item->setData(tag);
    connect(item, &QAction::triggered, this,
            [this, item, folder] { folder ? FolderItemClick(item) : FileItemClick(item); });
    FMenuItems.append(item);
    return item;
}

void TOpenFileHistories::LoadHistories(const QString& keyName) {
    FKeyName = keyName;
    FHistories = StoredList(keyName);
    if (FHistories.isEmpty())
        return;

    QStringList folders;
    for (int i = 0; i < FHistories.size(); ++i) {
        const QString& name = FHistories[i];
        QString caption = MenuPrefix(i) + Shown(name);
        if (FSubFileItem) {
            FSubFileItem->addAction(NewItem(caption, i, false));
            FSubFileItem->setEnabled(true);
        }
        if (FUpFileItem) {
            FUpFileItem->setVisible(true);
            if (QMenu* menu = MenuOf(FUpFileItem))
                InsertAt(menu, menu->actions().indexOf(FUpFileItem) + 1 + i,
                         NewItem(caption, i, false));
        }
        if (!FSubFolderItem && !FUpFolderItem)
            continue;
        QString folder = FolderPart(name);
        if (IndexOfName(folders, folder) >= 0)
            continue;
        QString folderCaption = MenuPrefix(int(folders.size())) + Shown(folder);
        if (FSubFolderItem) {
            FSubFolderItem->addAction(NewItem(folderCaption, i, true));
            FSubFolderItem->setEnabled(true);
        }
        if (FUpFolderItem) {
            FUpFolderItem->setVisible(true);
            if (QMenu* menu = MenuOf(FUpFolderItem))
                InsertAt(menu, menu->actions().indexOf(FUpFolderItem) + 1 + folders.size(),
                         NewItem(folderCaption, i, true));
        }
        folders.append(folder);
    }
}

void TOpenFileHistories::AddHistory(const QString& fileName) {
    if (!FAdded)
        FAdded.emplace();
    MoveToFront(*FAdded, fileName);
}

void TOpenFileHistories::SaveHistories(const QString& keyName) {
    if (!FAdded)
        return;
    // Without a loaded list the stored one is the base, so that it is not overwritten by the
    // files of this run alone.
    QStringList merged = FKeyName.isEmpty() ? StoredList(keyName) : FHistories;
    for (qsizetype i = FAdded->size() - 1; i >= 0; --i)
        MoveToFront(merged, (*FAdded)[i]);
    if (merged.size() > FMaxHistory)
        merged.resize(FMaxHistory);
    QString value;
    for (const QString& name : std::as_const(merged))
        value += name + QStringLiteral("\r\n");
    if (!WriteUserValue(StoreKeyPath(), keyName, value))
        throw EQuorvelError(QStringLiteral("'%1' の設定に失敗しました").arg(keyName));
    FHistories = merged;
}

void TOpenFileHistories::ClearMenuItems() {
    for (const QPointer<QAction>& item : std::as_const(FMenuItems))
        delete item.data();
    FMenuItems.clear();
}

void TOpenFileHistories::RefreshHistories() {
    // Without a list loaded there is no value to save to; the files of this run wait for the
    // next save.
    if (FKeyName.isEmpty())
        return;
    ClearMenuItems();
    try {
        SaveHistories(FKeyName);
    } catch (...) {
        // The entries shown must not vanish because the store could not take the new list.
        LoadHistories(FKeyName);
        throw;
    }
    LoadHistories(FKeyName);
}

void TOpenFileHistories::FileItemClick(QAction* item) {
    int tag = item->data().toInt();
    if (OnOpenFile && tag >= 0 && tag < FHistories.size())
        OnOpenFile(item, FHistories[tag]);
}

void TOpenFileHistories::FolderItemClick(QAction* item) {
    int tag = item->data().toInt();
    if (OnOpenDialog && tag >= 0 && tag < FHistories.size())
        OnOpenDialog(item, FolderPart(FHistories[tag]));
}
