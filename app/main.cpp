// Program entry. The frame is still an empty main window; the editing windows, menus and
// single-instance rule come with the shell.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("Quorvel for JavaScript v.1.46"));
    frame.resize(800, 600);
    frame.show();
    return app.exec();
}
