#pragma once
// A window's placement as settings files keep it: the record of the platform the stored files
// come from (flags, show state, maximised point, normal rectangle with right and bottom edges),
// taken from and applied to a top-level QWidget.

#include <cstdint>

class QWidget;

// Show states of the record; the numbers are the ones stored in the files.
enum TShowCommand : uint8_t {
    swHide = 0,
    swShowNormal = 1,
    swShowMinimized = 2,
    swShowMaximized = 3,
    swShowNoActivate = 4,
    swShow = 5,
    swMinimize = 6,
    swShowMinNoActive = 7,
    swShowNA = 8,
    swRestore = 9,
};

// Flag of the record: a minimised window goes back to maximised when restored.
constexpr int wpfRestoreToMaximized = 2;

struct TWindowPlacement {
    int Flags = 0;
    int Show = swShowNormal;
    int MaxX = -1, MaxY = -1;
    // The rectangle the window has when neither maximised nor minimised, in screen coordinates
    // of the whole window with the window manager's frame; Right and Bottom are edges
    // (left + width, top + height).
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TWindowPlacement&) const = default;
};

// A widget that is not a window gives its place on the screen as its normal rectangle.
TWindowPlacement GetWindowPlacement(const QWidget* window);

// Applies the state and the normal rectangle. Visibility is the caller's: a hidden window
// takes the placement when it is shown. A widget that is not a window (a docked tool window)
// is left alone. A rectangle without area is ignored, one that lies on no screen is moved onto
// the nearest screen, and one whose top is above its screen comes down, so that a damaged file
// or a screen that is gone cannot lose the window or its title bar.
void SetWindowPlacement(QWidget* window, const TWindowPlacement& placement);
