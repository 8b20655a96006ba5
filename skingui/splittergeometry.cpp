#include "skingui/splittergeometry.h"

namespace SKINGUI {

int SplitterGeometry::Clamp(int pos) const {
    if (pos == kNotSet) {
        pos = (length - barWidth - barEdge) / 2;
    }
    const int maxPos = length - barWidth - barEdge - minPane;
    if (pos < minPane + barEdge) {
        return minPane;
    }
    if (pos > maxPos) {
        return maxPos;
    }
    return pos;
}

int SplitterGeometry::ClampGhost(int pos) const {
    if (pos < minPane + barWidth) {
        return minPane;
    }
    const int maxPos = length - barEdge - minPane - barWidth;
    return pos > maxPos ? maxPos : pos;
}

int SplitterGeometry::DragPosition(int coord, int dragOffset) {
    const int pos = coord - dragOffset;
    // -1 would read as "not set".
    return pos == kNotSet ? -2 : pos;
}

}  // namespace SKINGUI
