#pragma once

#include <QRect>
#include <QList>

class QWidget;
class QScrollArea;

// Every window on a laptop's screen: a seller's 1366×768 with a taskbar, or
// 1280×720 at 150 %. A window opens inside the available area of its screen,
// never larger than it; a pane taller than its window scrolls instead of
// being cut off.
namespace ScreenFit {

// From now on every window, when it is shown, is made to fit the available
// area of the screen it opens on (once per window). Called once by the
// program's first window; more calls do nothing.
void install();

// Fits one window now: no larger than the available area of its screen, and
// inside it.
void fit(QWidget* window);

// Where a window of `wanted` geometry goes: the same size and place when it
// lies on one of the screens (at least a corner's worth of its title bar can
// be reached), otherwise brought back into `fallback` (a monitor unplugged);
// never larger than the screen it ends up on.
QRect placed(const QRect& wanted, const QList<QRect>& screens, const QRect& fallback);

// The pane's controls go inside a scroll area that fills the pane: the layout
// to build them into is the returned widget's. Lookups by name still find them.
QWidget* scrollingContent(QWidget* pane);
// The scroll area around a control, if it is inside one.
QScrollArea* scrollAreaOf(QWidget* control);

}  // namespace ScreenFit
