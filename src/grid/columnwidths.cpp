#include "grid/columnwidths.h"

#include <cstddef>
#include <cstdint>
#include <numeric>

namespace kestrel {

std::vector<int> ShareWidth(const std::vector<int>& weights, int width)
{
    std::vector<int> widths(weights.size(), 0);
    const int64_t total = std::accumulate(weights.begin(), weights.end(), int64_t(0));
    if (total <= 0 || width <= 0)
        return widths;
    // Each column ends where its share of the running sum ends, so the
    // rounding never adds up to more or less than the window.
    int64_t sum = 0;
    int left = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        sum += weights[i];
        const int right = static_cast<int>(sum * width / total);
        widths[i] = right - left;
        left = right;
    }
    return widths;
}

namespace {

std::vector<int> InCharacters(const std::vector<int>& chars, int charWidth)
{
    std::vector<int> widths;
    widths.reserve(chars.size());
    for (int c : chars)
        widths.push_back(c * charWidth);
    return widths;
}

} // namespace

std::vector<int> ScheduleColumnWidths(const std::vector<int>& chars, int windowWidth, int charWidth)
{
    if (windowWidth > 50 * charWidth)
        return ShareWidth(chars, windowWidth);
    return InCharacters(chars, charWidth);
}

std::vector<int> StretchedColumnWidths(const std::vector<int>& chars, int windowWidth, int charWidth)
{
    std::vector<int> widths = InCharacters(chars, charWidth);
    const int sum = std::accumulate(widths.begin(), widths.end(), 0);
    if (windowWidth > sum)
        return ShareWidth(widths, windowWidth);
    return widths;
}

} // namespace kestrel
