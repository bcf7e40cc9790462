#pragma once

#include <QRect>

// The window is laid out in twips; 15 twips make one pixel at 96 dots per inch.
[[nodiscard]] constexpr QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}
