#pragma once
// The application object: Japanese for Qt's own dialogs, the Windows button order, the font
// substitutes, the program icon, and the one place where failures end up. A handler that fails
// throws; the failure is shown in a message box and the program goes on.

#include <QApplication>
#include <exception>
#include <utility>

class TQuorvelApplication : public QApplication {
    Q_OBJECT
public:
    TQuorvelApplication(int& argc, char** argv);
    ~TQuorvelApplication() override;

    // Event handlers that throw end here.
    bool notify(QObject* receiver, QEvent* event) override;
};

// The application-wide handler: shows the failure's message in an error box.
void HandleException(std::exception_ptr failure);
QString ExceptionMessage(std::exception_ptr failure);

// Runs f and hands a failure to HandleException, for handlers that Qt calls from places an
// exception must not unwind through (signal emission, timers, modal loops). True when f ended
// normally.
template <class F> bool Guarded(F&& f) {
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}
