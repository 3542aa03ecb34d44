#include "ui/window_placement.h"

#include <algorithm>

namespace tc::gui {

namespace {

// A window this narrow is still of use; narrower would be no window at all.
constexpr int kMinWidth = 240;

} // namespace

QRect placeBesideWindow(const QRect& screen, const QRect& main, const QRect& keepClear,
                        const QSize& size) {
    const int h = std::min(size.height(), screen.height());
    const int top = std::clamp(main.top(), screen.top(), screen.bottom() + 1 - h);
    const int w = std::min(size.width(), screen.width());
    if (screen.right() - main.right() >= w) return {main.right() + 1, top, w, h};
    if (main.left() - screen.left() >= w) return {main.left() - w, top, w, h};

    // Over the main window, against one of its edges (those on the screen), leaving the centre
    // of the area to keep clear uncovered.
    const int left = std::max(main.left(), screen.left());
    const int right = std::min(main.right(), screen.right());
    const int centre = keepClear.center().x();
    const int roomLeft = centre - left;   // from the left edge up to the centre
    const int roomRight = right - centre; // from past the centre to the right edge
    if (roomRight >= roomLeft) {
        const int width = std::clamp(roomRight, std::min(kMinWidth, w), w);
        return {right + 1 - width, top, width, h};
    }
    const int width = std::clamp(roomLeft, std::min(kMinWidth, w), w);
    return {left, top, width, h};
}

} // namespace tc::gui
