#pragma once
// Position rules of a two-pane splitter along its split axis (x for a vertical
// bar, y for a horizontal one); the bar sits at [position, position + bar + edge).
namespace SKINGUI {

struct SplitterGeometry {
    static constexpr int kNotSet = -1;

    int length = 0;          // splitter width (vertical bar) or height (horizontal bar)
    int position = kNotSet;  // first pixel of the bar; kNotSet until placed
    int barWidth = 4;
    int barEdge = 0;  // extra edge drawn beside the bar by sunken frames
    int minPane = 0;  // smallest size either pane may get

    // The platform's rule for a position set directly: kNotSet centres the bar,
    // too small snaps to the minimum, too large leaves the second pane its minimum.
    int Clamp(int pos) const;
    // The rule of a ghost-bar drag (checks the low end against minimum + bar width).
    int ClampGhost(int pos) const;
    // Position the bar lands on when the pointer is at coord during a drag that
    // began dragOffset pixels right of (below) the bar's first pixel.
    static int DragPosition(int coord, int dragOffset);

    int BarStart() const { return position; }
    int BarEnd() const { return position + barWidth + barEdge; }
    bool OnBar(int coord) const { return position != kNotSet && coord >= BarStart() && coord < BarEnd(); }
    // Extent of the first pane [0, FirstPaneEnd()) and start of the second pane.
    int FirstPaneEnd() const { return position; }
    int SecondPaneStart() const { return BarEnd(); }
};

}  // namespace SKINGUI
