#pragma once
// The colours the window chrome paints with: plain RGB values and the system colours of the
// desktop's window parts (resolved through the palette when drawn).

#include "platform/Color.h"

constexpr TColor clNavy = 0x800000;
constexpr TColor clActiveCaption = clSystemColor + 2;
constexpr TColor clInactiveCaption = clSystemColor + 3;
constexpr TColor clCaptionText = clSystemColor + 9;
constexpr TColor clBtnShadow = clSystemColor + 16;
constexpr TColor clBtnText = clSystemColor + 18;
constexpr TColor clInactiveCaptionText = clSystemColor + 19;
constexpr TColor clBtnHighlight = clSystemColor + 20;
constexpr TColor cl3DDkShadow = clSystemColor + 21;
constexpr TColor cl3DLight = clSystemColor + 22;
