#pragma once
// The help window: our Japanese help page, opened at its contents, with links between its
// sections.

#include <QWidget>

class QTextBrowser;

class THelpForm : public QWidget {
    Q_OBJECT
public:
    explicit THelpForm(QWidget* parent = nullptr);
    // Shows the page from its contents and brings the window to the front.
    void ShowContents();
    QTextBrowser* Browser() const { return FBrowser; }

private:
    QTextBrowser* FBrowser;
};
