#include "widgets/Browser.h"

#include <QChildEvent>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

#include <functional>
#include <memory>
#include <optional>

#include "widgets/WebProfile.h"

namespace {
const QString kMissingMark = QStringLiteral("__sorabako_missing");

// Every script is wrapped so that a missing element comes back as an answer, not an error.
QString guarded(const QString& body) {
    return QStringLiteral("(function(){try{") + body + QStringLiteral("}catch(e){return {") + kMissingMark + QStringLiteral(":true};}})()");
}

QString jsBool(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }
}  // namespace

// The page of a Browser: it answers the site's file chooser when the program
// has a file to give (the picture upload), and otherwise shows the usual dialog.
class BrowserPage : public QWebEnginePage {
public:
    BrowserPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

    std::optional<QStringList> pending;
    bool answered = false;
    std::function<bool(const QUrl&)> linkHandler;
    bool declined = false;  // a link was taken by the program: its refused navigation is no load

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        // A link the program takes for itself is not followed (from the event loop: the engine
        // asks from inside its own work).
        if (type == NavigationTypeLinkClicked && isMainFrame && linkHandler && linkHandler(url)) {
            declined = true;
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles, const QStringList& acceptedMimeTypes) override {
        if (!pending) return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
        const QStringList files = *pending;
        pending.reset();
        answered = true;
        return files;
    }
};

Browser::Browser(QWidget* parent) : QWebEngineView(parent) {
    attachPage();
    connect(this, &QWebEngineView::loadFinished, this, &Browser::onLoadFinished);
    // A timer, not a posted call: a handler that waits for the page inside a
    // posted event's dispatch would keep the engine's own posted work back.
    m_delivery.setSingleShot(true);
    m_delivery.setInterval(0);
    connect(&m_delivery, &QTimer::timeout, this, &Browser::deliver);
}

void Browser::setLinkHandler(std::function<bool(const QUrl&)> handler) {
    m_linkHandler = std::move(handler);
    m_page->linkHandler = m_linkHandler;
}

void Browser::attachPage() {
    m_page = new BrowserPage(WebProfile::shared(), this);
    m_page->linkHandler = m_linkHandler;
    setPage(m_page);
    m_guard = new PageGuard(m_page, m_page);
    connect(m_guard, &PageGuard::stopped, this, [this](PageGuard::Stop why) {
        // Told once as a load that failed, whatever the engine reports of it afterwards.
        m_lastLoadOk = false;
        m_everLoaded = true;
        m_completionPending = true;
        if (m_holds == 0) deliverLater();
        // A stopped page's process goes on reading what it was sent: only a new page (and with
        // it a new page process) ends it. The old page goes from the event loop, not from
        // inside its own guard.
        const int deadline = m_guard->deadline();
        BrowserPage* old = m_page;
        old->disconnect(this);
        attachPage();
        m_guard->setDeadline(deadline);
        old->deleteLater();
        showNotice(noticeFor(why));
        Q_EMIT loadStopped(why);
    });
    // A page of the site starting to load ends the notice: its completion is told as usual.
    connect(m_page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus && info.url().scheme() != QLatin1String("data"))
            m_noticeLoading = false;
    });
}

QString Browser::currentAddress() const {
    const QUrl u = url();
    // The program's own notice is no address of the site either.
    return u.isEmpty() || u.toString() == QLatin1String("about:blank") || u.scheme() == QLatin1String("data") ? QString() : u.toString();
}

void Browser::setLoadDeadline(int ms) { m_guard->setDeadline(ms); }

QString Browser::noticeFor(PageGuard::Stop why) {
    return why == PageGuard::Stop::TooLarge ? QStringLiteral("ページが大きすぎるため、読み込みを中止しました。")
                                            : QStringLiteral("ページが時間内に表示されませんでした。しばらくしてから再度お試し下さい。");
}

void Browser::showNotice(const QString& text) {
    m_noticeLoading = true;
    m_page->setHtml(QStringLiteral("<html><body style=\"font-family:sans-serif;color:#444;margin:2em\"><p>%1</p></body></html>")
                        .arg(text.toHtmlEscaped()));
}

void Browser::onLoadFinished(bool ok) {
    if (!ok && m_page->declined) {
        // The engine reports the link the program took as a load that failed: the page is as it was.
        m_page->declined = false;
        return;
    }
    if (m_noticeLoading) {
        // The stopped load, or the program's own words: nothing new to act on.
        m_lastLoadOk = false;
        return;
    }
    m_lastLoadOk = ok;
    m_everLoaded = true;
    // Handlers read the page back, and the engine does not answer a script
    // from inside its own load notification: they run from the event loop.
    m_completionPending = true;
    if (m_holds == 0) deliverLater();
}

Browser::Hold::Hold(Browser* browser) : m_browser(browser) { ++m_browser->m_holds; }

Browser::Hold::~Hold() {
    // Told once the holder is done, from the event loop, not from inside the holder's stack.
    if (--m_browser->m_holds == 0 && m_browser->m_completionPending) m_browser->deliverLater();
}

void Browser::deliverLater() { m_delivery.start(); }

void Browser::deliver() {
    if (m_holds > 0 || !m_completionPending) return;  // held again: its release delivers it
    m_completionPending = false;
    Q_EMIT DocumentComplete(currentAddress());
}

void Browser::navigateWhenShown(const QString& address) {
    if (isVisible()) {
        Navigate2(address);
        return;
    }
    m_deferred = address;
}

void Browser::loadDeferred() {
    if (!m_deferred) return;
    const QString address = *std::exchange(m_deferred, std::nullopt);
    Navigate2(address);
}

QUrl Browser::url() const {
    if (!m_deferred) return QWebEngineView::url();
    if (m_deferred->trimmed().isEmpty()) return QUrl(QStringLiteral("about:blank"));
    const QUrl asUrl(*m_deferred);
    return asUrl.scheme().size() > 1 ? asUrl : QUrl::fromLocalFile(QFileInfo(*m_deferred).absoluteFilePath());
}

void Browser::showEvent(QShowEvent* event) {
    QWebEngineView::showEvent(event);
    loadDeferred();
}

void Browser::Navigate2(const QString& address) {
    m_deferred.reset();  // an address of its own takes the place of a load still waiting
    if (address.trimmed().isEmpty()) {
        load(QUrl(QStringLiteral("about:blank")));
        return;
    }
    const QUrl asUrl(address);
    if (asUrl.scheme().size() > 1) {  // "C:" style drive letters are not schemes
        load(asUrl);
    } else {
        load(QUrl::fromLocalFile(QFileInfo(address).absoluteFilePath()));
    }
}

void Browser::setRegisterAsDropTarget(bool accept) {
    m_dropTarget = accept;
    setAcceptDrops(accept);
    // The engine's render widget is a child created on first load and takes drops on its own.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setAcceptDrops(accept);
        child->removeEventFilter(this);
        if (!accept) child->installEventFilter(this);
    }
    if (!accept) installEventFilter(this);
}

bool Browser::eventFilter(QObject* watched, QEvent* event) {
    if (!m_dropTarget) {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop: event->ignore(); return true;
            case QEvent::ChildAdded:
                if (auto* w = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) {
                    w->setAcceptDrops(false);
                    w->installEventFilter(this);
                }
                break;
            default: break;
        }
    }
    return QWebEngineView::eventFilter(watched, event);
}

void Browser::dragEnterEvent(QDragEnterEvent* event) {
    if (m_dropTarget)
        QWebEngineView::dragEnterEvent(event);
    else
        event->ignore();
}

void Browser::dragMoveEvent(QDragMoveEvent* event) {
    if (m_dropTarget)
        QWebEngineView::dragMoveEvent(event);
    else
        event->ignore();
}

void Browser::dropEvent(QDropEvent* event) {
    if (m_dropTarget)
        QWebEngineView::dropEvent(event);
    else
        event->ignore();
}

QString Browser::jsString(const QString& text) {
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

Browser::Result Browser::evaluate(const QString& script, int timeoutMs) {
    // Before its first page the view has no document to run anything in, and
    // it would not answer: say so at once (start-up sets the listing options
    // before the listing page is asked for).
    // A page that waited to be shown is needed now: it loads, and answers once it has.
    loadDeferred();
    if (!m_everLoaded) return {Outcome::NoAnswer, {}};
    struct State {
        bool done = false;
        QVariant value;
    };
    const Hold hold(this);
    auto state = std::make_shared<State>();
    QEventLoop loop;
    QPointer<QEventLoop> guard(&loop);
    page()->runJavaScript(guarded(script), [state, guard](const QVariant& v) {
        state->done = true;
        state->value = v;
        if (guard) guard->quit();
    });
    if (!state->done) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!state->done) return {Outcome::NoAnswer, {}};
    if (state->value.typeId() == QMetaType::QVariantMap && state->value.toMap().contains(kMissingMark)) return {Outcome::Missing, {}};
    return {Outcome::Done, state->value};
}

Browser::Result Browser::setCheckedById(const QString& id, double value) {
    return evaluate(QStringLiteral("document.getElementById(%1).checked=(%2!=0);return true;").arg(jsString(id)).arg(value));
}

Browser::Result Browser::setValueById(const QString& id, const QString& value) {
    return evaluate(QStringLiteral("document.getElementById(%1).value=%2;return true;").arg(jsString(id), jsString(value)));
}

Browser::Result Browser::setSelectedIndexById(const QString& id, double index) {
    return evaluate(QStringLiteral("document.getElementById(%1).selectedIndex=%2;return true;").arg(jsString(id)).arg(index));
}

Browser::Result Browser::selectOptionById(const QString& id, const QString& text) {
    return evaluate(QStringLiteral("var e=document.getElementById(%1);var t=%2;"
                                   "if(t===''){e.selectedIndex=-1;return true;}"
                                   "for(var i=0;i<e.options.length;i++)if(e.options[i].text.trim()===t){e.selectedIndex=i;return true;}"
                                   "throw 0;")
                        .arg(jsString(id), jsString(text.trimmed())));
}

Browser::Result Browser::clickById(const QString& id) {
    return evaluate(QStringLiteral("var e=document.getElementById(%1);if(e.focus)e.focus();e.click();return true;").arg(jsString(id)));
}

Browser::Result Browser::setCheckedByName(const QString& name, int index, bool checked) {
    return evaluate(
        QStringLiteral("document.getElementsByName(%1)[%2].checked=%3;return true;").arg(jsString(name)).arg(index).arg(jsBool(checked)));
}

Browser::Result Browser::setPairCheckedByName(const QString& name, bool first, bool second) {
    return evaluate(QStringLiteral("var l=document.getElementsByName(%1);l[0].checked=%2;l[1].checked=%3;return true;")
                        .arg(jsString(name), jsBool(first), jsBool(second)));
}

Browser::Result Browser::setAllChecked(const QString& name, bool checked) {
    // IE's document.all(name) finds by id or by name.
    return evaluate(QStringLiteral("var n=%1;var e=document.getElementById(n)||document.getElementsByName(n)[0];"
                                   "e.checked=%2;return true;")
                        .arg(jsString(name), jsBool(checked)));
}

Browser::Result Browser::setFormField(const QString& form, const QString& field, const QString& value) {
    return evaluate(
        QStringLiteral("document.forms[%1].elements[%2].value=%3;return true;").arg(jsString(form), jsString(field), jsString(value)));
}

Browser::Result Browser::submitForm(const QString& form) {
    return evaluate(QStringLiteral("document.forms[%1].submit();return true;").arg(jsString(form)));
}

Browser::Result Browser::scrollTo(int x, int y) { return evaluate(QStringLiteral("window.scrollTo(%1,%2);return true;").arg(x).arg(y)); }

Browser::Result Browser::bodyText(int timeoutMs) { return evaluate(QStringLiteral("return String(document.body.innerText);"), timeoutMs); }

Browser::Result Browser::documentTitle(int timeoutMs) { return evaluate(QStringLiteral("return String(document.title);"), timeoutMs); }

QList<Browser::NamedElement> Browser::elementsByName(const QString& name, int timeoutMs, Outcome* outcome) {
    const Result r = evaluate(QStringLiteral("var r=[];var l=document.getElementsByName(%1);"
                                             "for(var i=0;i<l.length;i++)r.push([String(l[i].type||''),String(l[i].value||'')]);"
                                             "return r;")
                                  .arg(jsString(name)),
                              timeoutMs);
    if (outcome) *outcome = r.outcome;
    QList<NamedElement> out;
    for (const QVariant& item : r.value.toList()) {
        const QVariantList pair = item.toList();
        if (pair.size() == 2) out.append({pair.at(0).toString(), pair.at(1).toString()});
    }
    return out;
}

void Browser::answerNextFileChooser(const QStringList& files) {
    m_page->pending = files;
    m_page->answered = false;
}

void Browser::forgetFileChooserAnswer() { m_page->pending.reset(); }

bool Browser::fileChooserAnswered() const { return m_page->answered; }

void Browser::sendKey(int key, Qt::KeyboardModifiers modifiers) {
    // The engine's render widget takes the page's keyboard input; nothing
    // here goes through the system's input queue or to another window.
    QWidget* target = focusProxy() ? focusProxy() : this;
    QString text;
    if (key == Qt::Key_Tab)
        text = QStringLiteral("\t");
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        text = QStringLiteral("\r");
    else if (key == Qt::Key_Space)
        text = QStringLiteral(" ");
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent releaseEvent(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(target, &releaseEvent);
}
