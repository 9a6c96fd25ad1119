#include "platform/MessageBox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>

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
    box.exec();
}

TMsgDlgBtn MessageDlg(QWidget* parent, const QString& text, TMsgDlgType type,
                      TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) {
    static constexpr QMessageBox::Icon icons[] = {QMessageBox::Warning, QMessageBox::Information,
                                                  QMessageBox::Critical, QMessageBox::Question};
    if (!parent)
        parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                   : QApplication::activeWindow();
    QMessageBox box(icons[type], MsgDlgTitle(type), text, QMessageBox::NoButton, parent);
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
