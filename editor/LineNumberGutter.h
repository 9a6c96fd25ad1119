#pragma once
// The paragraph numbers at the left of the text control: a wrapped paragraph is numbered on its
// first display line only, the caret's paragraph in bold. It lies outside the viewport, so every
// position and rectangle of the text stays as it is with the numbers off. A press or a drag here
// selects whole lines, as in the selection bar.

#include <QWidget>

class TTextView;

class TLineNumberGutter : public QWidget {
    Q_OBJECT
public:
    explicit TLineNumberGutter(TTextView* view);
    // Wide enough for the largest number.
    int WidthFor(qsizetype paragraphs) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The event as the view's selection bar would get it: left of the viewport, same row.
    QMouseEvent InBar(const QMouseEvent* event) const;

    TTextView* FView;
};
