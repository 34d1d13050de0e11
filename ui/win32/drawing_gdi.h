#pragma once
// Paints a drawing with GDI, scaled to fit a rectangle and centred in it.
#include <windows.h>

#include "core/drawing.h"

namespace varidac::win32 {

void paintDrawing(HDC dc, const Drawing& drawing, const RECT& target);

}  // namespace varidac::win32
