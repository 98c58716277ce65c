#include "widgets/ScreenFit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

namespace ScreenFit {
namespace {
const char* const kFitted = "sorabako.fitted";
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
                fit(w);
            }
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
    const QRect area = screen->availableGeometry();
    // The frame (title bar, borders) counts: it is the frame that must stay on the screen. The
    // window manager may tell its size only later, so at least a usual one is allowed for.
    const QRect client = window->geometry(), known = window->frameGeometry();
    const QMargins frame(qMax(client.left() - known.left(), kFrame.left()), qMax(client.top() - known.top(), kFrame.top()),
                         qMax(known.right() - client.right(), kFrame.right()), qMax(known.bottom() - client.bottom(), kFrame.bottom()));
    const QRect room = area - frame;
    const QSize size = window->size().boundedTo(room.size());
    if (size != window->size()) window->resize(size);
    QRect now(window->geometry().topLeft(), size);
    if (now.right() > room.right()) now.moveRight(room.right());
    if (now.bottom() > room.bottom()) now.moveBottom(room.bottom());
    if (now.left() < room.left()) now.moveLeft(room.left());
    if (now.top() < room.top()) now.moveTop(room.top());
    // move() places the frame: the client's place less the frame the window has now.
    if (now.topLeft() != client.topLeft()) window->move(now.topLeft() - (client.topLeft() - known.topLeft()));
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
    if (out.right() > home.right()) out.moveRight(home.right());
    if (out.bottom() > home.bottom()) out.moveBottom(home.bottom());
    if (out.left() < home.left()) out.moveLeft(home.left());
    if (out.top() < home.top()) out.moveTop(home.top());
    return out;
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
