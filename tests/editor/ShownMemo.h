#pragma once
// The editor control as the editing window sets it up, shown so that its viewport has its real
// size: shared by the control's tests.

#include "editor/ExtMemo.h"

#include <QTest>

inline QFont EditorFont() {
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(16);
    return font;
}

struct TShownMemo {
    TExtMemo Memo;
    explicit TShownMemo(QSize size = QSize(500, 300)) {
        Memo.SetTextFont(EditorFont());
        Memo.resize(size);
        Memo.show();
        if (!QTest::qWaitForWindowExposed(&Memo))
            qWarning("editor window not exposed");
        Memo.RecreateWnd();
    }
};
