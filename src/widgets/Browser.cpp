#include "widgets/Browser.h"

#include <QChildEvent>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>

#include <memory>

#include "widgets/WebProfile.h"

namespace {
// Every script is wrapped so that a missing element is no error for the caller.
QString guarded(const QString& body) {
    return QStringLiteral("(function(){try{") + body + QStringLiteral("}catch(e){return null;}})()");
}
}  // namespace

Browser::Browser(QWidget* parent) : QWebEngineView(parent) {
    setPage(new QWebEnginePage(WebProfile::shared(), this));
    connect(this, &QWebEngineView::loadFinished, this, [this](bool) {
        const QUrl u = url();
        Q_EMIT DocumentComplete(u.isEmpty() || u.toString() == QLatin1String("about:blank") ? QString() : u.toString());
    });
}

void Browser::Navigate2(const QString& address) {
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
            case QEvent::Drop:
                event->ignore();
                return true;
            case QEvent::ChildAdded:
                if (auto* w = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) {
                    w->setAcceptDrops(false);
                    w->installEventFilter(this);
                }
                break;
            default:
                break;
        }
    }
    return QWebEngineView::eventFilter(watched, event);
}

void Browser::dragEnterEvent(QDragEnterEvent* event) {
    if (m_dropTarget) QWebEngineView::dragEnterEvent(event);
    else event->ignore();
}

void Browser::dragMoveEvent(QDragMoveEvent* event) {
    if (m_dropTarget) QWebEngineView::dragMoveEvent(event);
    else event->ignore();
}

void Browser::dropEvent(QDropEvent* event) {
    if (m_dropTarget) QWebEngineView::dropEvent(event);
    else event->ignore();
}

QString Browser::jsString(const QString& text) {
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

void Browser::run(const QString& script) { page()->runJavaScript(guarded(script)); }

QVariant Browser::evaluate(const QString& script, int timeoutMs) {
    struct State {
        bool done = false;
        QVariant value;
    };
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
    return state->done ? state->value : QVariant();
}

void Browser::setCheckedById(const QString& id, double value) {
    run(QStringLiteral("document.getElementById(%1).checked=(%2!=0);").arg(jsString(id)).arg(value));
}

void Browser::setValueById(const QString& id, const QString& value) {
    run(QStringLiteral("document.getElementById(%1).value=%2;").arg(jsString(id), jsString(value)));
}

void Browser::setSelectedIndexById(const QString& id, double index) {
    run(QStringLiteral("document.getElementById(%1).selectedIndex=%2;").arg(jsString(id)).arg(index));
}

void Browser::clickById(const QString& id) {
    run(QStringLiteral("document.getElementById(%1).click();").arg(jsString(id)));
}

void Browser::setCheckedByName(const QString& name, int index, bool checked) {
    run(QStringLiteral("document.getElementsByName(%1)[%2].checked=%3;")
            .arg(jsString(name))
            .arg(index)
            .arg(checked ? QStringLiteral("true") : QStringLiteral("false")));
}

void Browser::setAllChecked(const QString& name, bool checked) {
    // IE's document.all(name) finds by id or by name.
    run(QStringLiteral("var n=%1;var e=document.getElementById(n)||document.getElementsByName(n)[0];e.checked=%2;")
            .arg(jsString(name), checked ? QStringLiteral("true") : QStringLiteral("false")));
}

void Browser::setFormField(const QString& form, const QString& field, const QString& value) {
    run(QStringLiteral("document.forms[%1].elements[%2].value=%3;").arg(jsString(form), jsString(field), jsString(value)));
}

void Browser::submitForm(const QString& form) {
    run(QStringLiteral("document.forms[%1].submit();").arg(jsString(form)));
}

void Browser::scrollTo(int x, int y) { run(QStringLiteral("window.scrollTo(%1,%2);").arg(x).arg(y)); }

QString Browser::bodyText(int timeoutMs) {
    return evaluate(QStringLiteral("return document.body.innerText;"), timeoutMs).toString();
}

QString Browser::documentTitle(int timeoutMs) {
    return evaluate(QStringLiteral("return document.title;"), timeoutMs).toString();
}

QList<Browser::NamedElement> Browser::elementsByName(const QString& name, int timeoutMs) {
    const QVariant v = evaluate(QStringLiteral("var r=[];var l=document.getElementsByName(%1);"
                                               "for(var i=0;i<l.length;i++)r.push([String(l[i].type||''),String(l[i].value||'')]);"
                                               "return r;")
                                    .arg(jsString(name)),
                                timeoutMs);
    QList<NamedElement> out;
    for (const QVariant& item : v.toList()) {
        const QVariantList pair = item.toList();
        if (pair.size() == 2) out.append({pair.at(0).toString(), pair.at(1).toString()});
    }
    return out;
}
