#include "snippets/SettingForm.h"

#include "chrome/CaptionBars.h"
#include "chrome/GradCaption.h"
#include "editor/TextView.h"
#include "snippets/SelCodeForm.h"
#include "snippets/SnippetEngine.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

using namespace snippets;

namespace {

constexpr int RowHeight = 20;
constexpr int ButtonBarHeight = 41;
constexpr int LabelColumnWidth = 89;
// The buttons keep their distance from the middle of the bar that they have in a window of the
// design width (a client area 192 pixels wide).
constexpr int DesignMiddle = 96;
constexpr int Button1Left = 8;
constexpr int Button2Left = 104;

QFrame* LoweredPanel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    return panel;
}

QColor MenuColour() {
    return QApplication::palette("QMenu").color(QPalette::Window);
}

} // namespace

void InsertSnippet(TTextView* editor, const QString& text) {
    if (!editor->ReplaceSelection(text, true))
        QApplication::beep(); // a read-only text takes nothing
}

TSettingForm::TSettingForm(QWidget* parent) : QDockWidget(parent) {
    setObjectName(QStringLiteral("SettingForm"));
    GradientCaption1 = new TGradientCaption(*this);
    SetProgramCaptionLook(*GradientCaption1);
    GradientCaption1->CaptionText().SetCaption(QStringLiteral("セッティング"));
    new TDockCaptionBar(this, GradientCaption1);
    setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Splitter1 = new QSplitter(Qt::Horizontal, body);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    Panel2 = LoweredPanel(Splitter1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel3 = LoweredPanel(Splitter1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Splitter1->addWidget(Panel2);
    Splitter1->addWidget(Panel3);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({LabelColumnWidth, 200 - LabelColumnWidth});
    layout->addWidget(Splitter1, 1);

    for (int n = 0; n < RowCount; ++n) {
        auto* label = new QLabel(Panel2);
        label->setObjectName(QStringLiteral("Label%1").arg(n + 1));
        label->setFixedHeight(RowHeight);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setMinimumWidth(0);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        Panel2->layout()->addWidget(label);
        Labels[size_t(n)] = label;
    }
    static_cast<QVBoxLayout*>(Panel2->layout())->addStretch(1);

    for (int n = 0; n < EditCount; ++n) {
        auto* edit = new QLineEdit(Panel3);
        edit->setObjectName(QStringLiteral("Edit%1").arg(n + 1));
        edit->setFixedHeight(RowHeight);
        Edits[size_t(n)] = edit;
    }
    ComboBox1 = new QComboBox(Panel3);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox2 = new QComboBox(Panel3);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    for (QComboBox* box : {ComboBox1, ComboBox2}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setFixedHeight(RowHeight);
    }

    Panel1 = new QFrame(body);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(ButtonBarHeight);
    Panel1->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("ＯＫ(&O)"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("クリア(&C)"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* button : {Button1, Button2})
        button->setFixedSize(75, 25);
    layout->addWidget(Panel1);
    setWidget(body);
    resize(200, 345);

    connect(Button1, &QPushButton::clicked, this, &TSettingForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TSettingForm::Button2Click);
    // Edit7 is nobody's partner.
    for (int n = 0; n < EditCount - 1; ++n)
        connect(Edits[size_t(n)], &QLineEdit::textChanged, this,
                [this, n] { PartnerCheck(TParamRow(n)); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (now && isAncestorOf(now) && !(old && isAncestorOf(old)))
            FormActivate();
    });
    FormCreate();
}

void TSettingForm::FormCreate() {
    // Every input lies level with its label: both columns stack 20-pixel rows from the top.
    for (int row = 0; row < RowCount; ++row) {
        Panel3->layout()->addWidget(RowControl(TParamRow(row)));
        SetRowOpen(TParamRow(row), false);
    }
    static_cast<QVBoxLayout*>(Panel3->layout())->addStretch(1);
}

bool TSettingForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDockWidget::event(event);
}

bool TSettingForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel1 && event->type() == QEvent::Resize)
        PlaceButtons();
    return QDockWidget::eventFilter(watched, event);
}

void TSettingForm::PlaceButtons() {
    const int middle = Panel1->width() / 2;
    const int top = (ButtonBarHeight - Button1->height()) / 2;
    Button1->move(middle + Button1Left - DesignMiddle, top);
    Button2->move(middle + Button2Left - DesignMiddle, top);
}

void TSettingForm::FormActivate() {
    RefreshLabelHints();
}

void TSettingForm::RefreshLabelHints() {
    for (int n = 1; n <= RowCount; ++n)
        if (auto* label = findChild<QLabel*>(QStringLiteral("Label%1").arg(n)))
            label->setToolTip(label->text());
}

QWidget* TSettingForm::RowControl(TParamRow row) const {
    switch (row) {
    case prComboBox1:
        return ComboBox1;
    case prComboBox2:
        return ComboBox2;
    default:
        return Edits[row];
    }
}

void TSettingForm::SetRowOpen(TParamRow row, bool open) {
    QWidget* control = RowControl(row);
    control->setEnabled(open);
    QPalette palette = control->palette();
    const QColor colour =
        open ? QApplication::palette(control).color(QPalette::Base) : MenuColour();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, colour);
    control->setPalette(palette);
}

bool TSettingForm::IsRowOpen(TParamRow row) const {
    return RowControl(row)->isEnabled();
}

void TSettingForm::ResetParams() {
    // All emptied before any is closed: emptying an edit may open its partner again.
    for (QLineEdit* edit : Edits)
        edit->clear();
    for (int n = 0; n < EditCount; ++n)
        SetRowOpen(TParamRow(n), false);
    for (QLabel* label : Labels)
        label->clear();
    SetRowOpen(prComboBox1, false);
    SetRowOpen(prComboBox2, false);
}

void TSettingForm::Prepare(const TSnippetEntry& entry) {
    for (int n = 0; n < RowCount; ++n) {
        const auto row = TParamRow(n);
        if (!IsOpen(entry, row))
            continue;
        Labels[size_t(n)]->setText(entry.FCaptions[size_t(n)]);
        if (n < EditCount) {
            Edits[size_t(n)]->clear();
        } else if (const auto& items =
                       row == prComboBox1 ? entry.FComboBox1Items : entry.FComboBox2Items) {
            auto* box = static_cast<QComboBox*>(RowControl(row));
            box->clear();
            box->addItems(*items);
            box->setCurrentIndex(0);
        }
        SetRowOpen(row, true);
    }
}

void TSettingForm::FocusRow(TParamRow row) {
    // A window the user closed is not shown by a preparation; its rows are ready when the user
    // shows it. Docked behind the selector's tab, the window comes forward: typing into a tab
    // nobody sees would be lost.
    if (!toggleViewAction()->isChecked())
        return;
    if (isFloating())
        activateWindow();
    else
        raise();
    RowControl(row)->setFocus(Qt::OtherFocusReason);
}

TParamValues TSettingForm::Values() const {
    TParamValues values;
    for (int n = 0; n < EditCount; ++n)
        values.FEdits[size_t(n)] = Edits[size_t(n)]->text();
    values.FComboBox1 = ComboBox1->currentText();
    // An entry chosen from the list shows as the box's text; a text typed over it is no entry,
    // and is then used as typed.
    values.FComboBox2Entry = ComboBox2->currentText();
    return values;
}

std::pair<int, int> TSettingForm::Selection() const {
    if (!FSelector)
        return {-1, -1};
    return {FSelector->CategoryIndex(), FSelector->ItemIndex()};
}

void TSettingForm::PartnerCheck(TParamRow source) {
    const auto [category, item] = Selection();
    const bool sourceEmpty = Edits[source]->text().isEmpty();
    for (TParamRow partner : Partners(category, item, source))
        SetRowOpen(partner, sourceEmpty);
}

void TSettingForm::Button1Click() {
    TTextView* editor = FActiveEditor ? FActiveEditor() : nullptr;
    if (!editor)
        return;
    const auto [category, item] = Selection();
    if (std::optional<QString> text = BuildOutput(category, item, Values()))
        InsertSnippet(editor, *text);
}

void TSettingForm::Button2Click() {
    for (QLineEdit* edit : Edits)
        edit->clear();
}
