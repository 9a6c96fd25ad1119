#pragma once
// The frame's status bar panels: fixed widths from the left, the last one reaching the right
// edge, each text cut off at its panel's edge. Unlike labels in a layout they never force the
// frame to be wider than the panels it can show. Each panel is a label whose accessible name is
// its whole text, so that a screen reader reads what the eye sees, and more when cut off.

#include <QWidget>
#include <vector>

class QLabel;

class TStatusPanels : public QWidget {
    Q_OBJECT
public:
    explicit TStatusPanels(std::vector<int> widths, QWidget* parent = nullptr);

    int Count() const { return int(FWidths.size()); }
    QString Text(int panel) const { return FTexts.at(size_t(panel)); }
    void SetText(int panel, const QString& text);
    // The panel's area in this widget's coordinates.
    QRect PanelRect(int panel) const;
    QLabel* Panel(int panel) const { return FLabels.at(size_t(panel)); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowText(int panel);
    int PanelWidth(int panel) const;

    std::vector<int> FWidths;
    std::vector<QString> FTexts;
    std::vector<QLabel*> FLabels;
};
