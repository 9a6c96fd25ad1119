#pragma once
// Gives the keyboard back when one of the program's windows closes and leaves none of them
// focused: to the modal dialog still open, else to the window that had the focus before, else
// to the window the closed one stood over. A window manager does this on its own; on an X
// server without one the focus falls back to the root window, and the frame's shortcuts and
// menus stop answering the keyboard until a click.

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

class TFocusReturn : public QObject {
public:
    // Watches the application's windows from now on; owned by the application.
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TFocusReturn();
    void Remember(QWindow* window);
    void ReturnFocus(QWidget* owner);

    QList<QPointer<QWindow>> FHistory; // windows that had the focus, the latest last
};
