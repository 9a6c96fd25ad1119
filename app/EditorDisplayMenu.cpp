// The View menu's syntax colours and its "編集記号" submenu: marks, markers, a fixed wrap width
// and the line-break level for all editing windows at once, remembered in the settings file.

#include "app/Application.h"
#include "app/Childwin.h"
#include "app/Main.h"
#include "components/IniGT.h"
#include "editor/ExtMemo.h"

#include <QActionGroup>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>

void TMainForm::CreateEditorDisplayMenu() {
    Guarded([this] { FEditorDisplay.Load(*IniGT1); });
    QMenu* view = menuBar()->findChild<QMenu*>(QStringLiteral("ViewMenu"));
    view->addSeparator();
    QAction* colours = view->addAction(QStringLiteral("色分け表示(&Y)"));
    colours->setObjectName(QStringLiteral("SyntaxColoursItem"));
    colours->setCheckable(true);
    colours->setChecked(FEditorDisplay.SyntaxColours);
    connect(colours, &QAction::toggled, this, [this](bool on) {
        FEditorDisplay.SyntaxColours = on;
        EditorDisplayChanged();
    });
    EditorDisplayMenu = view->addMenu(QStringLiteral("編集記号(&K)"));
    EditorDisplayMenu->setObjectName(QStringLiteral("EditorDisplayMenu"));
    auto toggle = [this](const QString& caption, bool& setting) {
        QAction* action = EditorDisplayMenu->addAction(caption);
        action->setCheckable(true);
        action->setChecked(setting);
        connect(action, &QAction::toggled, this, [this, &setting](bool on) {
            setting = on;
            EditorDisplayChanged();
        });
    };
    const char16_t* marks[] = {u"改行(&R)",         u"タブ(&T)", u"全角スペース(&Z)",
                               u"半角スペース(&H)", u"EOF(&E)",  u"コントロール文字(&C)"};
    for (size_t i = 0; i < FEditorDisplay.Marks.size(); ++i)
        toggle(QString::fromUtf16(marks[i]), FEditorDisplay.Marks[i]);
    EditorDisplayMenu->addSeparator();
    toggle(QStringLiteral("カーソル行の下線(&U)"), FEditorDisplay.CaretMarker);
    toggle(QStringLiteral("折り返し位置の線(&L)"), FEditorDisplay.WordWrapMarker);
    toggle(QStringLiteral("行番号(&N)"), FEditorDisplay.LineNumbers);
    toggle(QStringLiteral("自動インデント(&I)"), FEditorDisplay.AutoIndent);
    QAction* columns = EditorDisplayMenu->addAction(QStringLiteral("折り返し桁数(&W)..."));
    connect(columns, &QAction::triggered, this, [this] {
        QInputDialog dialog(this);
        dialog.setWindowTitle(QStringLiteral("折り返し桁数"));
        dialog.setLabelText(QStringLiteral("全角文字の数（0 はウィンドウの幅で折り返す）:"));
        dialog.setInputMode(QInputDialog::IntInput);
        dialog.setIntRange(0, 1000);
        dialog.setIntValue(FEditorDisplay.WrapColumns);
        dialog.setOkButtonText(QStringLiteral("OK"));
        dialog.setCancelButtonText(QStringLiteral("キャンセル"));
        if (dialog.exec() != QDialog::Accepted)
            return;
        FEditorDisplay.WrapColumns = dialog.intValue();
        EditorDisplayChanged();
    });
    EditorDisplayMenu->addSeparator();
    auto* levels = new QActionGroup(this);
    for (int level : {1, 2}) {
        QAction* action =
            EditorDisplayMenu->addAction(QStringLiteral("禁則処理 レベル%1(&%1)").arg(level));
        action->setCheckable(true);
        action->setChecked(FEditorDisplay.Level == level);
        levels->addAction(action);
        connect(action, &QAction::triggered, this, [this, level] {
            FEditorDisplay.Level = level;
            EditorDisplayChanged();
        });
    }
}

void TMainForm::EditorDisplayChanged() {
    for (TMDIChild* child : MDIChildren()) {
        FEditorDisplay.ApplyTo(*child->RichEdit1);
        FEditorDisplay.ApplyColours(*child->RichEdit1, child->Caption());
    }
    Guarded([this] { FEditorDisplay.Save(*IniGT1); });
}
