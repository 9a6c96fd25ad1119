#include "platform/MessageBox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace {

// Room for a title bar's icon and its three buttons; openbox's take about 90 pixels.
constexpr int TitleBarButtonsWidth = 120;

// A message box fixes its own size from its layout when shown; a spacer as wide as the title
// is what makes it wider.
void FitTitleOfBox(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(TitleWidth(&box), 0, QSizePolicy::Minimum), grid->rowCount(), 0,
                  1, grid->columnCount());
}

} // namespace

int TitleWidth(const QWidget* window) {
    // Title bars use a bold face of the desktop's font.
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(window->windowTitle()) + TitleBarButtonsWidth;
}

void FitTitle(QWidget* dialog) {
    dialog->setMinimumWidth(std::max(dialog->minimumWidth(), TitleWidth(dialog)));
}

QString MsgDlgTitle(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return QStringLiteral("警告");
    case mtInformation:
        return QStringLiteral("情報");
    case mtError:
        return QStringLiteral("エラー");
    case mtConfirmation:
        break;
    }
    return QStringLiteral("確認");
}

QString MsgDlgButtonText(TMsgDlgBtn button) {
    switch (button) {
    case mbYes:
        return QStringLiteral("はい(&Y)");
    case mbNo:
        return QStringLiteral("いいえ(&N)");
    case mbOK:
        return QStringLiteral("OK");
    case mbCancel:
        break;
    }
    return QStringLiteral("キャンセル");
}

QString ApplicationTitle() {
    return QStringLiteral("Quorvel for JavaScript");
}

void ShowMessage(QWidget* parent, const QString& text) {
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.setEscapeButton(box.addButton(MsgDlgButtonText(mbOK), QMessageBox::AcceptRole));
    FitTitleOfBox(box);
    box.exec();
}

TMsgDlgBtn MessageDlg(QWidget* parent, const QString& text, TMsgDlgType type,
                      TMsgDlgButtons buttons, TMsgDlgBtn defaultButton, const QString& subject) {
    static constexpr QMessageBox::Icon icons[] = {QMessageBox::Warning, QMessageBox::Information,
                                                  QMessageBox::Critical, QMessageBox::Question};
    if (!parent)
        parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                   : QApplication::activeWindow();
    const QString title =
        subject.isEmpty() ? MsgDlgTitle(type) : subject + QStringLiteral(" - ") + MsgDlgTitle(type);
    QMessageBox box(icons[type], title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);

    struct TEntry {
        TMsgDlgBtn Button;
        QMessageBox::ButtonRole Role;
    };
    static constexpr TEntry entries[] = {{mbYes, QMessageBox::YesRole},
                                         {mbNo, QMessageBox::NoRole},
                                         {mbOK, QMessageBox::AcceptRole},
                                         {mbCancel, QMessageBox::RejectRole}};
    if (!buttons)
        buttons = mbOK;
    QAbstractButton* escape = nullptr;
    std::vector<std::pair<QAbstractButton*, TMsgDlgBtn>> added;
    for (const TEntry& entry : entries) {
        if (!buttons.testFlag(entry.Button))
            continue;
        QPushButton* button = box.addButton(MsgDlgButtonText(entry.Button), entry.Role);
        added.emplace_back(button, entry.Button);
        if (entry.Button == defaultButton)
            box.setDefaultButton(button);
    }
    for (TMsgDlgBtn preferred : {mbCancel, mbNo, mbOK})
        for (auto [button, kind] : added)
            if (!escape && kind == preferred)
                escape = button;
    box.setEscapeButton(escape);
    FitTitleOfBox(box);
    box.exec();

    QAbstractButton* clicked = box.clickedButton();
    for (auto [button, kind] : added)
        if (button == clicked)
            return kind;
    for (auto [button, kind] : added)
        if (button == escape)
            return kind;
    return mbCancel;
}

int TWindowsButtonOrderStyle::styleHint(StyleHint hint, const QStyleOption* option,
                                        const QWidget* widget, QStyleHintReturn* returnData) const {
    if (hint == SH_DialogButtonLayout)
        return QDialogButtonBox::WinLayout;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void InstallWindowsButtonOrder() {
    QApplication::setStyle(new TWindowsButtonOrderStyle(QApplication::style()->name()));
}
