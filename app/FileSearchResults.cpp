#include "app/FileSearchResults.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QThread>
#include <QVBoxLayout>

namespace {

enum TResultRole : int { rrEmphasisStart = Qt::UserRole, rrEmphasisLength };

struct TResultRow {
    QString Path;
    QString Text; // "path(line,column): line text"
    qsizetype EmphasisStart = 0;
    qsizetype EmphasisLength = 0;
    qsizetype Line = 0, LineOffset = 0, Length = 0;
};

// The light background of a match in a result line.
const QColor EmphasisBackground(255, 236, 140);

// Draws a result line with its match in bold on a light background.
class TEmphasisDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
        const qsizetype start = index.data(rrEmphasisStart).toLongLong();
        const qsizetype length = index.data(rrEmphasisLength).toLongLong();
        const bool selected = opt.state & QStyle::State_Selected;
        painter->save();
        painter->setClipRect(area);
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        QFont bold = opt.font;
        bold.setBold(true);
        int x = area.left() + 2;
        const QString parts[] = {text.left(start), text.mid(start, length),
                                 text.mid(start + length)};
        for (int i = 0; i < 3; ++i) {
            painter->setFont(i == 1 ? bold : opt.font);
            const int width = QFontMetrics(painter->font()).horizontalAdvance(parts[i]);
            const QRect box(x, area.top(), width, area.height());
            if (i == 1 && !selected)
                painter->fillRect(box, EmphasisBackground);
            painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, parts[i]);
            x += width;
        }
        painter->restore();
    }
};

} // namespace

class TFileResultModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(FRows.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || size_t(index.row()) >= FRows.size())
            return {};
        const TResultRow& row = FRows[size_t(index.row())];
        switch (role) {
        case Qt::DisplayRole:
            return row.Text;
        case Qt::ToolTipRole:
            return row.Path;
        case rrEmphasisStart:
            return qlonglong(row.EmphasisStart);
        case rrEmphasisLength:
            return qlonglong(row.EmphasisLength);
        default:
            return {};
        }
    }
    void Append(std::vector<TResultRow>&& rows) {
        if (rows.empty())
            return;
        beginInsertRows({}, int(FRows.size()), int(FRows.size() + rows.size()) - 1);
        std::move(rows.begin(), rows.end(), std::back_inserter(FRows));
        endInsertRows();
    }
    void Clear() {
        beginResetModel();
        FRows.clear();
        endResetModel();
    }
    const TResultRow& Row(int row) const { return FRows.at(size_t(row)); }

private:
    std::vector<TResultRow> FRows;
};

TFileSearchResults::TFileSearchResults(QWidget* parent) : QDockWidget(parent) {
    setObjectName(QStringLiteral("FileSearchResults"));
    setWindowTitle(QStringLiteral("検索結果"));
    auto* body = new QWidget(this);
    FStatus = new QLabel(body);
    FStatus->setWordWrap(true);
    FProgress = new QProgressBar(body);
    FProgress->setFixedWidth(160);
    FProgress->setTextVisible(false);
    FProgress->hide();
    FCancelButton = new QPushButton(QStringLiteral("中止"), body);
    FCancelButton->setEnabled(false);
    connect(FCancelButton, &QPushButton::clicked, this, &TFileSearchResults::Cancel);
    FList = new QListView(body);
    FList->setObjectName(QStringLiteral("FileSearchList"));
    FList->setUniformItemSizes(true); // tens of thousands of lines lay out at once
    FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FModel = new TFileResultModel(this);
    FList->setModel(FModel);
    FList->setItemDelegate(new TEmphasisDelegate(FList));
    // Enter, and a double-click (or a click where the desktop opens items so).
    connect(FList, &QListView::activated, this,
            [this](const QModelIndex& index) { Choose(index.row()); });
    auto* top = new QHBoxLayout;
    top->addWidget(FStatus, 1);
    top->addWidget(FProgress);
    top->addWidget(FCancelButton);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(FList, 1);
    setWidget(body);
}

TFileSearchResults::~TFileSearchResults() {
    StopWorker();
}

void TFileSearchResults::StopWorker() {
    if (!FThread)
        return;
    FCancel->store(true);
    FThread->wait();
    FThread.reset();
}

void TFileSearchResults::Cancel() {
    if (FCancel)
        FCancel->store(true);
}

void TFileSearchResults::closeEvent(QCloseEvent* event) {
    Cancel();
    QDockWidget::closeEvent(event);
}

void TFileSearchResults::Start(const TFileSearchQuery& query) {
    StopWorker();
    const int generation = ++FGeneration;
    FQuery = query;
    FModel->Clear();
    FRunning = true;
    FCancel = std::make_shared<std::atomic<bool>>(false);
    FStatus->setText(QStringLiteral("検索中: %1").arg(QDir::toNativeSeparators(query.Folder)));
    FProgress->setRange(0, 0); // busy until the files are counted
    FProgress->show();
    FCancelButton->setEnabled(true);
    show();
    raise();
    // The worker holds copies and the cancel flag; of this window it uses only the address,
    // to queue calls that run here (and are dropped if the window is gone).
    const std::shared_ptr<std::atomic<bool>> cancel = FCancel;
    FThread.reset(QThread::create([this, query, generation, cancel] {
        const auto onFile = [this, generation](TFileResult&& found) {
            auto result = std::make_shared<const TFileResult>(std::move(found));
            QMetaObject::invokeMethod(
                this, [this, generation, result] { Add(generation, *result); },
                Qt::QueuedConnection);
        };
        const auto onProgress = [this, generation](int done, int total) {
            // A few hundred steps are enough for the bar, whatever the number of files.
            if (done != total && done % std::max(1, total / 200) != 0)
                return;
            QMetaObject::invokeMethod(
                this, [this, generation, done, total] { Progress(generation, done, total); },
                Qt::QueuedConnection);
        };
        const TFileSearchSummary summary = RunFileSearch(query, *cancel, onFile, onProgress);
        QMetaObject::invokeMethod(
            this, [this, generation, summary] { Finish(generation, summary); },
            Qt::QueuedConnection);
    }));
    FThread->setObjectName(QStringLiteral("FileSearch"));
    FThread->start();
}

void TFileSearchResults::Add(int generation, const TFileResult& result) {
    if (generation != FGeneration)
        return;
    const QString shown =
        QDir::toNativeSeparators(QDir(FQuery.Folder).relativeFilePath(result.Path));
    std::vector<TResultRow> rows;
    rows.reserve(result.Matches.size());
    for (const TFileMatch& m : result.Matches) {
        TResultRow row;
        row.Path = result.Path;
        const QString place = QStringLiteral("%1(%2,%3): ").arg(shown).arg(m.Line).arg(m.Column);
        row.Text = place + m.Shown;
        row.EmphasisStart = place.size() + m.ShownStart;
        row.EmphasisLength = m.ShownLength;
        row.Line = m.Line;
        row.LineOffset = m.LineOffset;
        row.Length = m.Length;
        rows.push_back(std::move(row));
    }
    const bool first = FModel->rowCount({}) == 0;
    FModel->Append(std::move(rows));
    // The first match is ready for Enter as soon as it is there.
    if (first)
        FList->setCurrentIndex(FModel->index(0, 0));
}

void TFileSearchResults::Progress(int generation, int done, int total) {
    if (generation != FGeneration)
        return;
    FProgress->setRange(0, total);
    FProgress->setValue(done);
}

void TFileSearchResults::Finish(int generation, const TFileSearchSummary& summary) {
    if (generation != FGeneration)
        return;
    StopWorker();
    FRunning = false;
    FProgress->hide();
    FCancelButton->setEnabled(false);
    QString text = summary.Cancelled ? QStringLiteral("中止しました。") : QString();
    if (summary.Truncated)
        text +=
            QStringLiteral("一致が %1 件を超えたため、検索を止めました。").arg(FQuery.MaxMatches);
    text += QStringLiteral("%1 件（%2 個のファイル）が見つかりました。検索したファイル %3 個")
                .arg(summary.Matches)
                .arg(summary.FilesWithMatches)
                .arg(summary.Files);
    if (summary.SkippedBinary)
        text += QStringLiteral("、バイナリのため飛ばしたファイル %1 個").arg(summary.SkippedBinary);
    if (summary.SkippedLarge)
        text += QStringLiteral("、%1 MB を超えるため飛ばしたファイル %2 個")
                    .arg(FQuery.SizeLimit >> 20)
                    .arg(summary.SkippedLarge);
    if (summary.Unreadable)
        text += QStringLiteral("、読めなかったファイル %1 個").arg(summary.Unreadable);
    FStatus->setText(text + u'。');
    Q_EMIT Finished(summary);
}

QString TFileSearchResults::SummaryText() const {
    return FStatus->text();
}

void TFileSearchResults::Choose(int row) {
    if (row < 0 || row >= FModel->rowCount({}))
        return;
    const TResultRow& r = FModel->Row(row);
    Q_EMIT MatchChosen(r.Path, r.Line, r.LineOffset, r.Length);
}
