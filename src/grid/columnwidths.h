#pragma once
// The widths of the item grids' columns, from their widths in average
// characters and the width of the grid window.

#include <vector>

namespace kestrel {

// Shares `width` among the columns in proportion to their weights; the
// widths add up to `width` exactly.
std::vector<int> ShareWidth(const std::vector<int>& weights, int width);

// The item schedule: a window wider than 50 average characters has its
// width shared in the columns' proportions; a narrower one gives each
// column its width in characters (the grid scrolls sideways), as does a
// window whose width is not known yet (0 or less).
std::vector<int> ScheduleColumnWidths(const std::vector<int>& chars, int windowWidth, int charWidth);

// The subcontractor's items: each column its width in characters, the
// whole stretched in proportion when the window is wider than their sum.
std::vector<int> StretchedColumnWidths(const std::vector<int>& chars, int windowWidth, int charWidth);

} // namespace kestrel
