#include "components/ShCtrls.h"

#include "components/SystemImages.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStorageInfo>
#include <QStyledItemDelegate>
#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Paths

QString NormalizePath(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    return p;
}

QStringList AncestorChain(const QString& path) {
    QStringList chain;
    for (QString p = NormalizePath(path); !p.isEmpty();) {
        chain.prepend(p);
        const qsizetype slash = p.lastIndexOf(u'/');
        if (slash < 0 || p == u"/")
            break;
        p = slash == 0 ? QStringLiteral("/") : p.left(slash);
    }
    return chain;
}

namespace {

// One leading folder of a folder part ("/a/b/") gives way: "/.../b/"; false when none is left.
bool CutFirstFolder(QString& folder) {
    const bool root = folder.startsWith(u'/');
    QString rest = root ? folder.sliced(1) : folder;
    if (rest.startsWith(u".../"))
        rest.remove(0, 4);
    const qsizetype slash = rest.indexOf(u'/');
    rest = slash < 0 ? QString() : QStringLiteral(".../") + rest.sliced(slash + 1);
    if (root)
        rest.prepend(u'/');
    const bool changed = rest != folder;
    folder = rest;
    return changed;
}

} // namespace

QString ShortenPath(const QString& path, const QFontMetrics& metrics, int width) {
    const qsizetype slash = path.lastIndexOf(u'/');
    QString folder = path.left(slash + 1);
    const QString name = path.sliced(slash + 1);
    while (!folder.isEmpty() && metrics.horizontalAdvance(folder + name) > width) {
        // The root alone cannot be cut further: only the name is left then.
        if (!CutFirstFolder(folder) || folder == u"/")
            folder.clear();
    }
    return folder + name;
}

namespace {

bool ShownMount(const QStorageInfo& volume) {
    static const QStringList removable = {QStringLiteral("/media/"), QStringLiteral("/run/media/"),
                                          QStringLiteral("/mnt/")};
    static const QStringList network = {QStringLiteral("nfs"),   QStringLiteral("nfs4"),
                                        QStringLiteral("cifs"),  QStringLiteral("smb3"),
                                        QStringLiteral("smbfs"), QStringLiteral("fuse.sshfs"),
                                        QStringLiteral("davfs"), QStringLiteral("fuse.rclone")};
    const QString root = volume.rootPath();
    const QString type = QString::fromLatin1(volume.fileSystemType());
    return std::any_of(removable.begin(), removable.end(),
                       [&](const QString& prefix) { return root.startsWith(prefix); }) ||
           network.contains(type);
}

TItemInfo DriveItem(const QString& root, const QString& name) {
    const QString shown = name == root ? root : name + QStringLiteral(" (") + root + u')';
    return {root, shown, ShellIcon(root, false), 0, dsTransparent};
}

QString FolderDisplayName(const QString& path) {
    return path == u"/" ? path : QFileInfo(path).fileName();
}

bool ByDisplayName(const TItemInfo& a, const TItemInfo& b) {
    const int folded = QString::compare(a.DisplayName, b.DisplayName, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a.DisplayName < b.DisplayName;
}

} // namespace

TItemList Drives() {
    TItemList drives;
    drives.push_back(DriveItem(QStringLiteral("/"), QStringLiteral("/")));
    const QString home = QDir::homePath();
    if (home != u"/")
        drives.push_back(DriveItem(home, QStringLiteral("ホーム")));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !volume.isRoot() && ShownMount(volume))
            drives.push_back(DriveItem(volume.rootPath(), volume.displayName()));
    return drives;
}

int DriveOf(const TItemList& drives, const QString& path) {
    int best = -1;
    for (size_t i = 0; i < drives.size(); ++i) {
        const QString& root = drives[i].Path;
        const bool holds = path == root || (path.startsWith(root) &&
                                            (root.endsWith(u'/') || path[root.size()] == u'/'));
        if (holds && (best < 0 || root.size() > drives[size_t(best)].Path.size()))
            best = int(i);
    }
    return best;
}

// ---------------------------------------------------------------------------------------------
// Groups

namespace {
std::vector<TShControl*>& Registry() {
    static std::vector<TShControl*> controls;
    return controls;
}
} // namespace

TShControl::TShControl() {
    Registry().push_back(this);
}

TShControl::~TShControl() {
    std::erase(Registry(), this);
}

void TShControl::Broadcast(const QString& path) {
    if (FGroupIndex == 0) {
        PathChosen(path);
        return;
    }
    const std::vector<TShControl*> controls = Registry();
    for (TShControl* control : controls)
        if (control->FGroupIndex == FGroupIndex &&
            std::find(Registry().begin(), Registry().end(), control) != Registry().end())
            control->PathChosen(path);
}

// ---------------------------------------------------------------------------------------------
// Drawing

namespace {

// The small icon 2 pixels from the left, the name from 22 pixels, both centred vertically.
class TDriveDelegate : public QStyledItemDelegate {
public:
    TDriveDelegate(const TShDriveComboBox& box) : QStyledItemDelegate(nullptr), FBox(box) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {22 + option.fontMetrics.horizontalAdvance(u'M') * 16,
                std::max(18, option.fontMetrics.height())};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& p = option.palette;
        painter->fillRect(option.rect, selected ? p.highlight() : p.base());
        const size_t row = size_t(index.row());
        if (row >= FBox.Items().size())
            return;
        const TItemInfo& item = FBox.Items()[row];
        const QRect r = option.rect;
        item.Icon.paint(painter, QRect(r.left() + 2, r.top() + (r.height() - 16) / 2, 16, 16));
        painter->setPen(selected ? p.color(QPalette::HighlightedText) : p.color(QPalette::Text));
        painter->drawText(
            r.adjusted(22, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
            option.fontMetrics.elidedText(item.DisplayName, Qt::ElideRight, r.width() - 22));
    }

private:
    const TShDriveComboBox& FBox;
};

// The icon indented 6 pixels a level, the name 4 pixels after it.
class TFolderDelegate : public QStyledItemDelegate {
public:
    TFolderDelegate(const TShFolderListBox& list) : QStyledItemDelegate(nullptr), FList(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int height = std::max(FList.IconSize(), option.fontMetrics.height());
        const size_t row = size_t(index.row());
        // Without AutoScroll an entry is never wider than the list: no sideways scrolling.
        if (!FList.AutoScroll() || row >= FList.Items().size())
            return {1, height};
        const TItemInfo& item = FList.Items()[row];
        return {TextLeft(item) + option.fontMetrics.horizontalAdvance(item.DisplayName) + 2,
                height};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& p = option.palette;
        painter->fillRect(option.rect, selected ? p.highlight() : p.base());
        const size_t row = size_t(index.row());
        if (row >= FList.Items().size())
            return;
        const TItemInfo& item = FList.Items()[row];
        const QRect r = option.rect;
        const int size = FList.IconSize();
        item.Icon.paint(
            painter,
            QRect(r.left() + item.Indent * 6 + 2, r.top() + (r.height() - size) / 2, size, size),
            Qt::AlignCenter, item.DrawStyle == dsSelected ? QIcon::Selected : QIcon::Normal);
        painter->setPen(selected ? p.color(QPalette::HighlightedText) : p.color(QPalette::Text));
        QRect text = r.adjusted(TextLeft(item), 0, 2, 0);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          item.DisplayName);
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect frame;
            frame.initFrom(option.widget);
            frame.rect = r;
            option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter,
                                                  option.widget);
        }
    }

private:
    int TextLeft(const TItemInfo& item) const { return FList.IconSize() + item.Indent * 6 + 2 + 4; }
    const TShFolderListBox& FList;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Drive combo box

TShDriveComboBox::TShDriveComboBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new TDriveDelegate(*this));
    itemDelegate()->setParent(this);
    connect(this, &QComboBox::activated, this, &TShDriveComboBox::DriveChosen);
    FillDrives();
    SelectDriveOf(QDir::currentPath());
}

void TShDriveComboBox::FillDrives() {
    FItems = Drives();
    clear();
    for (const TItemInfo& item : FItems)
        addItem(item.Icon, item.DisplayName);
}

void TShDriveComboBox::SelectDriveOf(const QString& path) {
    const int i = DriveOf(FItems, path);
    if (i < 0)
        return;
    setCurrentIndex(i);
    FDrive = FItems[size_t(i)].Path;
}

void TShDriveComboBox::DriveChosen(int index) {
    if (index < 0 || size_t(index) >= FItems.size())
        return;
    const QString root = FItems[size_t(index)].Path;
    if (GroupIndex() == 0 || QFileInfo(root).isDir()) {
        Broadcast(root);
        return;
    }
    // A drive without its medium: back to the one shown before.
    setCurrentIndex(DriveOf(FItems, FDrive));
}

void TShDriveComboBox::PathChosen(const QString& path) {
    const int i = DriveOf(FItems, path);
    if (i < 0 || FItems[size_t(i)].Path == FDrive)
        return;
    SelectDriveOf(path);
    if (OnChange)
        OnChange();
}

void TShDriveComboBox::Refresh() {
    const QString drive = FDrive;
    FillDrives();
    FDrive.clear();
    const int i = DriveOf(FItems, drive);
    if (i >= 0) {
        setCurrentIndex(i);
        DriveChosen(i);
    }
}

void TShDriveComboBox::changeEvent(QEvent* event) {
    QComboBox::changeEvent(event);
    // The item height follows the font.
    if (event->type() == QEvent::FontChange)
        view()->doItemsLayout();
}

// ---------------------------------------------------------------------------------------------
// Folder list box

TShFolderListBox::TShFolderListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new TFolderDelegate(*this));
    itemDelegate()->setParent(this);
    setUniformItemSizes(false);
    Fill(QDir::currentPath());
    SelectPath(NormalizePath(QDir::currentPath()));
}

void TShFolderListBox::SetIconType(TIconType value) {
    FIconType = value;
    UpdateItemHeight();
}

void TShFolderListBox::SetAutoScroll(bool value) {
    FAutoScroll = value;
    UpdateItemHeight();
}

void TShFolderListBox::SetFolderLabel(QLabel* value) {
    FFolderLabel = value;
    UpdateFolderLabel();
}

void TShFolderListBox::UpdateItemHeight() {
    doItemsLayout();
    viewport()->update();
}

void TShFolderListBox::OpenPath(const QString& path) {
    const QString p = NormalizePath(path);
    const QFileInfo info(p);
    if (info.isDir())
        Broadcast(QDir::cleanPath(info.absoluteFilePath()));
    else if (info.exists())
        Broadcast(info.absolutePath());
    else
        throw EFileAccessError(QStringLiteral("%1にはアクセスできません").arg(p));
}

void TShFolderListBox::Fill(const QString& path) {
    const QStringList chain = AncestorChain(path);
    FItems.clear();
    for (qsizetype i = 0; i < chain.size(); ++i)
        FItems.push_back({chain[i], FolderDisplayName(chain[i]), ShellIcon(chain[i], true), int(i),
                          i + 1 == chain.size() ? dsSelected : dsTransparent});
    TItemList children;
    if (!chain.isEmpty()) {
        const QFileInfoList entries =
            QDir(chain.last())
                .entryInfoList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                               QDir::Unsorted);
        for (const QFileInfo& entry : entries)
            children.push_back({entry.absoluteFilePath(), entry.fileName(),
                                ShellIcon(entry.absoluteFilePath(), false), int(chain.size()),
                                dsTransparent});
    }
    std::sort(children.begin(), children.end(), ByDisplayName);
    FItems.insert(FItems.end(), children.begin(), children.end());

    setUpdatesEnabled(false);
    clear();
    for (const TItemInfo& item : FItems)
        addItem(item.DisplayName);
    setUpdatesEnabled(true);
}

void TShFolderListBox::SelectPath(const QString& path) {
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i].Path == path) {
            setCurrentRow(int(i));
            FCurrentFolder = path;
            UpdateFolderLabel();
            return;
        }
    }
}

void TShFolderListBox::PathChosen(const QString& path) {
    if (path == FCurrentFolder)
        return;
    Fill(path);
    SelectPath(path);
    if (OnChange)
        OnChange();
}

void TShFolderListBox::Refresh() {
    const QString folder = FCurrentFolder;
    FCurrentFolder.clear();
    OpenPath(folder);
}

void TShFolderListBox::UpdateFolderLabel() {
    if (FFolderLabel)
        FFolderLabel->setText(ShortenPath(FCurrentFolder, fontMetrics(), width()));
}

void TShFolderListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = indexAt(event->position().toPoint()).row();
    if (row >= 0 && size_t(row) < FItems.size())
        OpenPath(FItems[size_t(row)].Path);
}

void TShFolderListBox::keyPressEvent(QKeyEvent* event) {
    const int row = currentRow();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && row >= 0 &&
        size_t(row) < FItems.size()) {
        OpenPath(FItems[size_t(row)].Path);
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TShFolderListBox::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    UpdateFolderLabel();
}
