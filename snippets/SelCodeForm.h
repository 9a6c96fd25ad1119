#pragma once
// The snippet selector: the 21 categories in a drop-down list and the items of the chosen one
// below it. A double-click on the items resets the parameter window and then inserts the
// item's text at once, prepares the parameter window for it, or shows its message.

#include "snippets/SettingForm.h"

#include <QDockWidget>
#include <QListWidget>

class QComboBox;
class TGradientCaption;

// The item list; a double-click anywhere on it (an item or the empty space below the items)
// and Enter are its one action.
class TSnippetList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;
Q_SIGNALS:
    void DblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

class TSelCodeForm : public QDockWidget {
    Q_OBJECT
public:
    explicit TSelCodeForm(QWidget* parent = nullptr);

    void SetSettingForm(TSettingForm* settingForm) { FSettingForm = settingForm; }
    void SetActiveEditor(TActiveEditor activeEditor) { FActiveEditor = std::move(activeEditor); }

    QComboBox* ComboBox1 = nullptr;
    TSnippetList* ListBox1 = nullptr;
    TGradientCaption* GradientCaption1 = nullptr; // paints the title bar

    // What the parameter window reads when its handlers run: the chosen category, and the
    // selected item or -1.
    int CategoryIndex() const;
    int ItemIndex() const;

    void ComboBox1Change();
    void FillItemList();
    void ListBox1DblClick();

private:
    void FormCreate();

    TSettingForm* FSettingForm = nullptr;
    TActiveEditor FActiveEditor;
};
