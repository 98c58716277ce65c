#include "widgets/ScreenFit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

namespace ScreenFit {
namespace {
const char* const kFitted = "sorabako.fitted";
const char* const kOpening = "sorabako.opening";
// Borders and a title bar, as window managers draw them.
const QMargins kFrame(4, 30, 4, 4);

class Fitter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            // Once, on its first showing: later the seller's own size and place stand.
            const Qt::WindowType type = w->windowType();
            if (w->isWindow() && !w->property(kFitted).toBool() && type != Qt::ToolTip && type != Qt::Popup) {
                w->setProperty(kFitted, true);
                // A place the program gave it stands; any other window opens on the one it belongs to.
                if (w->testAttribute(Qt::WA_Moved)) {
                    fit(w);
                } else {
                    centre(w);
                    // A window that takes its size while it is being shown (a message box measures its
                    // text then) is centred again at that size, before the window manager sees it.
                    w->setProperty(kOpening, true);
                    QTimer::singleShot(0, w, [w] { w->setProperty(kOpening, false); });
                }
            }
        } else if (event->type() == QEvent::Resize && watched->isWidgetType() && watched->property(kOpening).toBool()) {
            centre(static_cast<QWidget*>(watched));
        }
        return QObject::eventFilter(watched, event);
    }
};

// A scroll area that asks for its content's whole size: a window opens as large as its
// controls want (and as it did before they scrolled), and scrolls only when the screen is smaller.
class WholeScrollArea : public QScrollArea {
public:
    QSize sizeHint() const override {
        if (!widget()) return QScrollArea::sizeHint();
        const int f = 2 * frameWidth();
        return widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) + QSize(f, f);
    }
};

QScreen* screenOf(QWidget* window) {
    if (QScreen* s = window->screen()) return s;
    return QGuiApplication::primaryScreen();
}

// The frame (title bar, borders) around a window: the window manager may tell its size only
// once the window is on the screen, so at least a usual one is allowed for.
QMargins frameOf(QWidget* window) {
    const QRect client = window->geometry(), known = window->frameGeometry();
    return QMargins(qMax(client.left() - known.left(), kFrame.left()), qMax(client.top() - known.top(), kFrame.top()),
                    qMax(known.right() - client.right(), kFrame.right()), qMax(known.bottom() - client.bottom(), kFrame.bottom()));
}

// move() places the frame: the client's place less the frame the window has now. Moved at least
// once, so that the place is the program's own.
void moveClientTo(QWidget* window, const QPoint& client) {
    const QPoint offset = window->geometry().topLeft() - window->frameGeometry().topLeft();
    if (client != window->geometry().topLeft() || !window->testAttribute(Qt::WA_Moved)) window->move(client - offset);
}
}  // namespace

void install() {
    static QPointer<Fitter> fitter;
    if (fitter || !qApp) return;
    fitter = new Fitter(qApp);
    qApp->installEventFilter(fitter);
}

void fit(QWidget* window) {
    QScreen* screen = screenOf(window);
    if (!screen || window->isMaximized() || window->isFullScreen()) return;
    // It is the frame that must stay on the screen.
    const QRect room = screen->availableGeometry() - frameOf(window);
    const QSize size = window->size().boundedTo(room.size());
    if (size != window->size()) window->resize(size);
    const QRect now = inside(QRect(window->geometry().topLeft(), size), room);
    if (now.topLeft() != window->geometry().topLeft()) moveClientTo(window, now.topLeft());
}

void centre(QWidget* window) {
    if (window->isMaximized() || window->isFullScreen()) return;
    QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (owner && !owner->isVisible()) owner = nullptr;
    QScreen* screen = owner ? screenOf(owner) : screenOf(window);
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = frameOf(window);
    const QRect room = area - frame;
    const QSize size = window->size().boundedTo(room.size());
    if (size != window->size()) window->resize(size);
    // Its frame's middle on its owner's frame's middle (or the screen's), then inside the screen.
    QRect framed(QPoint(), size.grownBy(frame));
    framed.moveCenter(owner ? owner->frameGeometry().center() : area.center());
    const QRect client = inside(framed - frame, room);
    // An explicit place: a window manager keeps it, where it would put a dialog anywhere it likes.
    moveClientTo(window, client.topLeft());
}

QRect inside(QRect rect, const QRect& area) {
    if (rect.right() > area.right()) rect.moveRight(area.right());
    if (rect.bottom() > area.bottom()) rect.moveBottom(area.bottom());
    if (rect.left() < area.left()) rect.moveLeft(area.left());
    if (rect.top() < area.top()) rect.moveTop(area.top());
    return rect;
}

QRect placed(const QRect& wanted, const QList<QRect>& screens, const QRect& fallback) {
    // A window is on a screen when the seller can take hold of its title bar there.
    const QPoint grip(wanted.left() + qMin(50, wanted.width() / 2), wanted.top() + 10);
    QRect home = fallback;
    bool onScreen = false;
    for (const QRect& s : screens)
        if (s.contains(grip)) {
            home = s;
            onScreen = true;
            break;
        }
    QRect out(wanted.topLeft(), wanted.size().boundedTo(home.size()));
    if (!onScreen) out.moveCenter(home.center());
    return inside(out, home);
}

QWidget* scrollingContent(QWidget* pane) {
    auto* outer = new QVBoxLayout(pane);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new WholeScrollArea;
    scroll->setObjectName(pane->objectName() + QStringLiteral("_scroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    scroll->setWidget(content);
    outer->addWidget(scroll);
    return content;
}

QScrollArea* scrollAreaOf(QWidget* control) {
    for (QWidget* w = control ? control->parentWidget() : nullptr; w; w = w->parentWidget())
        if (auto* scroll = qobject_cast<QScrollArea*>(w)) return scroll;
    return nullptr;
}

}  // namespace ScreenFit
