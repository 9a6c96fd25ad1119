#include "components/CabDialog.h"

#include "components/IniGT.h"
#include "components/SystemImages.h"
#include "platform/MessageBox.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <functional>

namespace {

constexpr int CabinetIconSize = 32;
// The favourites column is 68 of the dialog's 268 width units.
constexpr int CabinetWidthUnits = 68;
constexpr int FileNameLimit = 259;

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

// base, then "/" and f when f is not empty.
QString Joined(const QString& base, const QString& f) {
    if (f.isEmpty())
        return base;
    return base.endsWith(u'/') ? base + f : base + u'/' + f;
}

// Where the desktop mounts the network shares the user opened; the root when it has none.
QString NetworkFolder() {
    const QString gvfs =
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/gvfs");
    return QFileInfo(gvfs).isDir() ? gvfs : QStringLiteral("/");
}

// The favourites column. The arrow keys pick a favourite as a click does; Enter goes on to the
// dialog, which opens the typed file.
class TCabinetList : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void(int row)> OnPick;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int before = currentRow();
        QListWidget::keyPressEvent(event);
        if (currentRow() != before)
            OnPick(currentRow());
    }
};

} // namespace

// Draws a favourite: the column's colour, the icon centred 6 pixels below the row's top (in
// its selected look while the row has the focus), the caption centred under it.
class TCabinetDelegate : public QStyledItemDelegate {
public:
    TCabinetDelegate(const TCabOpenDialog& dialog, QObject* parent)
        : QStyledItemDelegate(parent), FDialog(dialog) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), option.fontMetrics.height() + CabinetIconSize + 18};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect row = option.rect;
        const QColor color = QColorFromTColor(FDialog.Color(), option.palette);
        painter->fillRect(row, color);
        const qsizetype i = index.row();
        if (i < 0 || i >= FDialog.Items().size())
            return;
        const TCabinetItem& item = FDialog.Items()[i];
        const bool focused = option.state & QStyle::State_HasFocus;
        const QIcon icon = FDialog.ItemIcon(item);
        const QRect iconRect(row.left() + (row.width() - CabinetIconSize) / 2, row.top() + 6,
                             CabinetIconSize, CabinetIconSize);
        icon.paint(painter, iconRect, Qt::AlignCenter, focused ? QIcon::Selected : QIcon::Normal);
        painter->setPen(option.palette.color(QPalette::Active, QPalette::Text));
        const QRect textRect(row.left(), row.top() + CabinetIconSize + 12, row.width(),
                             option.fontMetrics.height());
        const QString caption =
            option.fontMetrics.elidedText(item.Caption, Qt::ElideRight, row.width() - 2);
        painter->drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, caption);
        if (focused) {
            QStyleOptionFocusRect frame;
            frame.initFrom(option.widget);
            frame.rect = row.adjusted(1, 1, -1, -1);
            frame.backgroundColor = color;
            option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter,
                                                  option.widget);
        }
    }

private:
    const TCabOpenDialog& FDialog;
};

TCabOpenDialog::TCabOpenDialog(QWidget* owner) : TCabOpenDialog(owner, false) {}

TCabOpenDialog::TCabOpenDialog(QWidget* owner, bool save)
    : QObject(owner), FSave(save), FOwner(owner) {}

TCabOpenDialog::~TCabOpenDialog() = default;

TCabSaveDialog::TCabSaveDialog(QWidget* owner) : TCabOpenDialog(owner, true) {}

void TCabSaveDialog::AddChoices(QFileDialog& files) {
    // Qt's dialog lays out its name and type rows in a grid; ours go below them, label and box
    // in the same columns.
    auto* grid = qobject_cast<QGridLayout*>(files.layout());
    if (!grid)
        return;
    auto addRow = [&](const QString& label, const char* name) {
        auto* box = new QComboBox(&files);
        box->setObjectName(QLatin1StringView(name));
        auto* caption = new QLabel(label, &files);
        caption->setBuddy(box);
        const int row = grid->rowCount();
        grid->addWidget(caption, row, 0);
        grid->addWidget(box, row, 1);
        return box;
    };
    FEncodingBox = addRow(QStringLiteral("文字コード(&E):"), "EncodingBox");
    for (TTextEncoding encoding : ChoosableEncodings) {
        FEncodingBox->addItem(EncodingCaption(encoding), int(encoding));
        if (encoding == FEncoding)
            FEncodingBox->setCurrentIndex(FEncodingBox->count() - 1);
    }
    FLineEndBox = addRow(QStringLiteral("改行コード(&L):"), "LineEndBox");
    for (TLineEnd lineEnd : ChoosableLineEnds) {
        FLineEndBox->addItem(LineEndCaption(lineEnd), int(lineEnd));
        if (lineEnd == FLineEnd)
            FLineEndBox->setCurrentIndex(FLineEndBox->count() - 1);
    }
}

void TCabSaveDialog::TakeChoices() {
    if (FEncodingBox)
        FEncoding = TTextEncoding(FEncodingBox->currentData().toInt());
    if (FLineEndBox)
        FLineEnd = TLineEnd(FLineEndBox->currentData().toInt());
}

QStringList TCabOpenDialog::QtNameFilters(const QString& filter) {
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

QString TCabOpenDialog::ItemFolderPath(const TCabinetItem& item) const {
    const QString& f = item.FolderPath;
    switch (item.RootFolder) {
    case rfCurrent:
        return f;
    case rfInitialDir:
        return FSettings.InitialDir + f;
    case rfApplication:
        return QFileInfo(ProgramFilePath()).absolutePath() + u'/' + f;
    case rfDesktop:
        return Joined(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation), f);
    case rfMyDocument:
        return Joined(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), f);
    case rfMyComputer:
        return Joined(QStringLiteral("/"), f);
    case rfNetwork:
        return Joined(NetworkFolder(), f);
    }
    return f;
}

int TCabOpenDialog::ItemImageIndex(const TCabinetItem& item) const {
    if (!FImageList.isEmpty() || item.ImageIndex != 0)
        return item.ImageIndex;
    if (item.RootFolder == rfDesktop && item.FolderPath.isEmpty())
        return DesktopIconIndex();
    return SystemIconIndex(ItemFolderPath(item));
}

QIcon TCabOpenDialog::ItemIcon(const TCabinetItem& item) const {
    if (FImageList.isEmpty())
        return SystemIcon(item.ImageIndex);
    return FImageList.value(item.ImageIndex);
}

void TCabOpenDialog::CreateCabinet(QDialog& window) {
    FCabinetPanel = new QWidget(&window);
    FCabinetPanel->setObjectName(QStringLiteral("CabinetPanel"));
    FCabinetPanel->setFixedWidth(CabinetWidthUnits * window.fontMetrics().averageCharWidth() / 4);
    auto* list = new TCabinetList(FCabinetPanel);
    FCabinetList = list;
    list->setObjectName(QStringLiteral("CabinetList"));
    list->setUniformItemSizes(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setItemDelegate(new TCabinetDelegate(*this, list));
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, QColorFromTColor(FSettings.Color, palette));
    list->setPalette(palette);
    for (TCabinetItem& item : FSettings.Items) {
        item.ImageIndex = ItemImageIndex(item);
        list->addItem(item.Caption);
    }
    list->OnPick = [this](int row) {
        if (row >= 0 && row < FSettings.Items.size())
            ChangeFolder(ItemFolderPath(FSettings.Items[row]));
    };
    // A click picks a favourite, the same one again too.
    connect(list, &QListWidget::clicked, this,
            [list](const QModelIndex& index) { list->OnPick(index.row()); });
    auto* layout = new QHBoxLayout(FCabinetPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
}

void TCabOpenDialog::ChangeFolder(const QString& path) {
    if (!FFileDialog)
        return;
    auto* edit = FFileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit)
        return;
    const QString typed = edit->text().left(FileNameLimit);
    // A relative folder is taken from the folder shown, as a typed one would be.
    const QString folder = QDir(FFileDialog->directory()).absoluteFilePath(path);
    if (QFileInfo(folder).isDir()) {
        FFileDialog->setDirectory(folder);
    } else {
        MessageDlg(
            FFileDialog->window(),
            QStringLiteral("%1\nパスが存在しません。\nパスが正しいかどうか確認してください。")
                .arg(folder),
            mtWarning, mbOK, mbOK);
    }
    // The Open button is judged again only when the text changes.
    if (!typed.isEmpty()) {
        edit->setText(typed + u'_');
        edit->setText(typed);
    }
    if (FSettings.AutoFocusChange)
        edit->setFocus();
}

bool TCabOpenDialog::Execute() {
    QDialog window(FOwner);
    window.setSizeGripEnabled(true);
    auto* files = new QFileDialog(&window);
    FFileDialog = files;
    files->setWindowFlags(Qt::Widget);
    files->setSizeGripEnabled(false);
    files->setOption(QFileDialog::DontUseNativeDialog);
    // The description already shows the patterns, as on Windows.
    files->setOption(QFileDialog::HideNameFilterDetails);
    // Replacing a file is asked by the frame, in the program's own words, unless asked for.
    files->setOption(QFileDialog::DontConfirmOverwrite, !(FSettings.Options & ofOverwritePrompt));
    files->setAcceptMode(FSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The Windows open dialog takes a name that does not exist yet: it opens an empty window.
    files->setFileMode(FSettings.Options & ofFileMustExist ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
    const QStringList filters = QtNameFilters(FSettings.Filter);
    if (!filters.isEmpty()) {
        files->setNameFilters(filters);
        files->selectNameFilter(
            filters.value(std::clamp(FSettings.FilterIndex, 1, int(filters.size())) - 1));
    }
    files->setDefaultSuffix(FSettings.DefaultExt);
    files->setProxyModel(new TJapaneseFileList(files));
    AddChoices(*files);
    // Long Japanese names are not cut off: the columns take their contents' width each time a
    // folder has been read; the user may still drag them.
    auto* tree = files->findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = files->findChild<QFileSystemModel*>();
    if (tree && model)
        connect(model, &QFileSystemModel::directoryLoaded, tree, [tree] {
            for (int column = 0; column < tree->header()->count(); ++column)
                tree->resizeColumnToContents(column);
        });

    const QFileInfo proposed(FSettings.FileName);
    QString folder = !FLastDir.isEmpty()               ? FLastDir
                     : !FSettings.InitialDir.isEmpty() ? FSettings.InitialDir
                                                       : QDir::currentPath();
    if (proposed.isAbsolute())
        folder = proposed.absolutePath();
    else if (FSettings.FileName.contains(u'/'))
        folder = QFileInfo(QDir(folder).filePath(FSettings.FileName)).absolutePath();
    files->setDirectory(folder);
    if (!FSettings.FileName.isEmpty())
        files->selectFile(proposed.fileName());

    CreateCabinet(window);
    auto* layout = new QHBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FCabinetPanel);
    layout->addWidget(files, 1);
    window.setWindowTitle(FSettings.Title.isEmpty() ? files->windowTitle() : FSettings.Title);
    connect(files, &QDialog::finished, &window, &QDialog::done);
    files->show();
    window.resize(FCabinetPanel->width() + 720, 460);

    const bool accepted = window.exec() == QDialog::Accepted;
    const QStringList chosen = files->selectedFiles();
    const QString filter = files->selectedNameFilter();
    if (accepted && !chosen.isEmpty())
        TakeChoices();
    delete FCabinetPanel;
    delete files;
    if (!accepted || chosen.isEmpty())
        return false;
    FSettings.FileName = QDir::cleanPath(QFileInfo(chosen.first()).absoluteFilePath());
    FLastDir = QFileInfo(FSettings.FileName).absolutePath();
    FSettings.FilterIndex = std::max(1, int(filters.indexOf(filter)) + 1);
    return true;
}
