#pragma once

#include <QRect>

// Window lengths of the suite are given in twips, 1440 to the inch.
namespace platform {

constexpr int kTwipsPerInch = 1440;

// Twips per pixel of a screen (15 at 96 DPI).
inline double twipsPerPixel(double logicalDpi) { return kTwipsPerInch / logicalDpi; }

inline int twipsToPixels(int twips, double logicalDpi) {
    return qRound(twips * logicalDpi / kTwipsPerInch);
}

inline QRect twipsRect(int left, int top, int width, int height, double logicalDpi) {
    return QRect(twipsToPixels(left, logicalDpi), twipsToPixels(top, logicalDpi), twipsToPixels(width, logicalDpi),
                 twipsToPixels(height, logicalDpi));
}

}  // namespace platform
