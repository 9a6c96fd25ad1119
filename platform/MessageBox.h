#pragma once
// The program's message boxes: one helper with the four titles and four button texts the user
// knows from the original program, and the button order of the Windows desktop on every Linux
// desktop (はい | いいえ | キャンセル, left to right).

#include <QFlags>
#include <QProxyStyle>
#include <QString>
#include <cstdint>

class QWidget;

enum TMsgDlgType : uint8_t { mtWarning, mtInformation, mtError, mtConfirmation };

enum TMsgDlgBtn : uint8_t { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
Q_DECLARE_FLAGS(TMsgDlgButtons, TMsgDlgBtn)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgDlgButtons)

QString MsgDlgTitle(TMsgDlgType type);
QString MsgDlgButtonText(TMsgDlgBtn button);

// Shows a modal box over parent (the active window when null) and returns the button pressed.
// Escape and the close box answer キャンセル when the box has it, else いいえ, else OK. A subject
// (the file a question is about) goes before the title, so that boxes asked one after another
// tell which file each one means.
TMsgDlgBtn MessageDlg(QWidget* parent, const QString& text, TMsgDlgType type,
                      TMsgDlgButtons buttons, TMsgDlgBtn defaultButton,
                      const QString& subject = {});

// The width a window needs for its title to show whole in a window manager's title bar, which
// also holds the window's icon and buttons.
int TitleWidth(const QWidget* window);
// Makes a dialog at least as wide as its title needs.
void FitTitle(QWidget* dialog);

// The program's title, the caption of a plain message.
QString ApplicationTitle();

// A plain message: the program's title as caption, no icon, one OK button.
void ShowMessage(QWidget* parent, const QString& text);

// Keeps the application's style and asks every dialog button box for the Windows order.
class TWindowsButtonOrderStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
};

// Installs TWindowsButtonOrderStyle over the application's current style.
void InstallWindowsButtonOrder();
