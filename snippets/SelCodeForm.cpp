#include "snippets/SelCodeForm.h"

#include "chrome/CaptionBars.h"
#include "chrome/GradCaption.h"
#include "platform/MessageBox.h"
#include "snippets/SnippetEngine.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

using namespace snippets;

namespace {

// Rows of the item list are 13 pixels, as tight as the 13-pixel font, whatever height the
// font's own metrics would give them.
class TFixedRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), ItemHeight};
    }
    static constexpr int ItemHeight = 13;
};

} // namespace

void TSnippetList::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT DblClick();
}

void TSnippetList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        Q_EMIT DblClick();
        return;
    }
    QListWidget::keyPressEvent(event);
}

TSelCodeForm::TSelCodeForm(QWidget* parent) : QDockWidget(parent) {
    setObjectName(QStringLiteral("SelCodeForm"));
    GradientCaption1 = new TGradientCaption(*this);
    SetProgramCaptionLook(*GradientCaption1);
    GradientCaption1->CaptionText().SetCaption(QStringLiteral("したい事の選択"));
    new TDockCaptionBar(this, GradientCaption1);
    setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
    QFont formFont(QStringLiteral("ＭＳ Ｐゴシック"));
    formFont.setPixelSize(12);
    setFont(formFont);
    QFont listFont(QStringLiteral("ＭＳ ゴシック"));
    listFont.setPixelSize(13);

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ComboBox1 = new QComboBox(body);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setFont(listFont);
    ListBox1 = new TSnippetList(body);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setFont(listFont);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setItemDelegate(new TFixedRowDelegate(ListBox1));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(ComboBox1);
    layout->addWidget(ListBox1, 1);
    setWidget(body);
    resize(234, 354);
    FormCreate();

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TSelCodeForm::ComboBox1Change);
    connect(ListBox1, &TSnippetList::DblClick, this, &TSelCodeForm::ListBox1DblClick);
}

void TSelCodeForm::FormCreate() {
    ComboBox1->addItems(CategoryNames());
    ComboBox1->setCurrentIndex(0);
    FillItemList();
}

int TSelCodeForm::CategoryIndex() const {
    return ComboBox1->currentIndex();
}

int TSelCodeForm::ItemIndex() const {
    // The selected item, not the keyboard's current one: focus alone marks an item current.
    const QModelIndexList selected = ListBox1->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TSelCodeForm::ComboBox1Change() {
    FillItemList();
}

void TSelCodeForm::FillItemList() {
    const int category = ComboBox1->currentIndex();
    if (category < 0 || category >= CategoryCount())
        return;
    ListBox1->clear();
    ListBox1->addItems(ItemNames(category));
    // A name wider than the list is cut off; its tool tip gives the whole of it.
    for (int i = 0; i < ListBox1->count(); ++i)
        ListBox1->item(i)->setToolTip(ListBox1->item(i)->text());
    ListBox1->clearSelection();
    ListBox1->scrollToTop();
}

void TSelCodeForm::ListBox1DblClick() {
    if (FSettingForm)
        FSettingForm->ResetParams();
    TTextView* editor = FActiveEditor ? FActiveEditor() : nullptr;
    if (!editor)
        return;
    const TSnippetEntry* entry = Entry(CategoryIndex(), ItemIndex());
    if (!entry)
        return;
    switch (entry->FKind) {
    case skDirect:
        InsertSnippet(editor, entry->FText);
        break;
    case skParam:
        if (FSettingForm) {
            FSettingForm->Prepare(*entry);
            FSettingForm->FocusRow(entry->FFocus);
        }
        break;
    case skMessage:
        ShowMessage(this, entry->FText);
        break;
    case skNone:
        break;
    }
}
