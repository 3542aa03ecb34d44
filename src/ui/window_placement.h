#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

namespace tc::gui {

// Where a secondary window (frame size `size`) goes next to the main window (frame `main`) on a
// screen's available area: beside the main window, right or else left, when the screen has room
// for it there; otherwise over the main window at its right or its left edge, whichever leaves
// the wider window, narrowed so that it never covers `keepClear`'s centre (the chart's). The
// window is kept on the screen and never taller than it.
QRect placeBesideWindow(const QRect& screen, const QRect& main, const QRect& keepClear,
                        const QSize& size);

} // namespace tc::gui
