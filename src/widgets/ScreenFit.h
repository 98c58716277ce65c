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

// From now on every window, when it is first shown, opens centred on the
// window it belongs to (a window without one: on its screen) unless the
// program placed it, and fits the available area of that screen. Called by
// the program's first windows; more calls do nothing.
void install();

// Fits one window now: no larger than the available area of its screen, and
// inside it.
void fit(QWidget* window);

// Places one window now: its frame centred on its parent window's frame (on
// the screen when it has none shown), inside the available area of that
// window's screen and no larger than it.
void centre(QWidget* window);

// `rect` moved into `area` where it sticks out (a larger one keeps its top left in it).
QRect inside(QRect rect, const QRect& area);

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
