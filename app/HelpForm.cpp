#include "app/HelpForm.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpForm::THelpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QStringLiteral("Quorvel for JavaScript ヘルプ"));
    // Closing the frame ends the program even while the help is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    FBrowser = new QTextBrowser(this);
    FBrowser->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FBrowser);
    resize(640, 600);
}

void THelpForm::ShowContents() {
    FBrowser->setSource(QUrl(QStringLiteral("qrc:/help/quorveljs.html")));
    FBrowser->scrollToAnchor(QString());
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}
