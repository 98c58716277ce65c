#include "site/WebDocumentLoader.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

#include "widgets/PageGuard.h"
#include "widgets/WebProfile.h"

namespace {
// Everything the program reads of a document, read once. The root's markup is
// written the way the extractors read it: tag names in upper case and
// the head's elements one after another, whatever the engine's own spelling.
const char* const kSnapshot = R"((function(){
function ser(e){var t=e.tagName.toUpperCase();var s='<'+t;
for(var i=0;i<e.attributes.length;i++)s+=' '+e.attributes[i].name+'="'+e.attributes[i].value+'"';
s+='>';if(t=='TITLE')s+=e.textContent+'</TITLE>';return s;}
var m='<HEAD>';var h=document.head;
if(h)for(var c=h.firstElementChild;c;c=c.nextElementSibling)m+=ser(c);
m+='</HEAD>';
var texts=[];var all=document.getElementsByTagName('*');
for(var i=0;i<all.length;i++){var e=all[i];texts.push(String(e.innerText!==undefined?e.innerText:e.textContent));}
var links=[];for(var i=0;i<document.links.length;i++){var l=document.links[i];links.push([String(l.innerText),String(l.href)]);}
var b=document.body;var content=!!(b&&(b.children.length>0||b.textContent.trim().length>0));
function lab(e){var l=e.closest?e.closest('label'):null;if(l)return l.innerText;
var p=e.previousSibling;while(p&&p.nodeType==3&&!p.textContent.trim())p=p.previousSibling;
if(p&&p.nodeType==3)return p.textContent;if(p&&p.nodeType==1&&p.tagName!='INPUT'&&p.tagName!='SELECT')return p.innerText;return '';}
var els=[];var f=document.querySelectorAll('input,select,textarea,button');
for(var i=0;i<f.length;i++){var e=f[i];var o=[];if(e.tagName=='SELECT')for(var k=0;k<e.options.length;k++)o.push(e.options[k].text);
els.push([e.tagName.toLowerCase(),e.id||'',e.name||'',e.type||'',String(e.value||''),String(lab(e)).trim(),e.form&&e.form.name||'',o]);}
var forms=[];for(var i=0;i<document.forms.length;i++){var fo=document.forms[i];var g='';
if((fo.method||'get').toLowerCase()=='get'){try{g=fo.action.split('?')[0]+'?'+new URLSearchParams(new FormData(fo)).toString();}catch(x){}}
forms.push([fo.name||'',g]);}
return {markup:m,texts:texts,links:links,content:content,url:String(location.href),title:String(document.title),
signIn:!!document.querySelector('input[type=password]'),elements:els,forms:forms,
html:document.documentElement?document.documentElement.outerHTML:''};})())";

// Hidden pages kept for a moment after their document was read: the next request of the
// same command (the next list page of a scan, the next winner's mail) takes one, and with it
// its page process, instead of starting the engine's page process again. Idle pages go after
// a few seconds, so a finished command leaves none behind.
class HiddenPages : public QObject {
public:
    static constexpr int kIdleMs = 5000;
    static constexpr int kKept = 2;

    static HiddenPages& instance() {
        static HiddenPages* pages = [] {
            auto* p = new HiddenPages;
            // Before the application's children (the engine's profile among them) go: no page
            // may outlive its profile.
            qAddPostRoutine([] {
                delete pages;
                pages = nullptr;
            });
            return p;
        }();
        return *pages;
    }

    QWebEnginePage* take() {
        if (!m_idle.isEmpty()) return m_idle.takeLast();
        auto* page = new QWebEnginePage(WebProfile::shared());
        // A page without end stops here, long before it fills the memory.
        new PageGuard(page, page);
        return page;
    }

    void keep(QWebEnginePage* page) {
        m_idle.append(page);
        while (m_idle.size() > kKept) m_idle.takeFirst()->deleteLater();
        m_release.start();
    }

    ~HiddenPages() override { qDeleteAll(std::exchange(m_idle, {})); }

private:
    HiddenPages() {
        m_release.setSingleShot(true);
        m_release.setInterval(kIdleMs);
        connect(&m_release, &QTimer::timeout, this, [this] {
            for (QWebEnginePage* page : std::exchange(m_idle, {})) page->deleteLater();
        });
    }
    QList<QWebEnginePage*> m_idle;
    QTimer m_release;
};

std::optional<mInterNet::Document> toDocument(const QVariant& snapshot) {
    const QVariantMap map = snapshot.toMap();
    if (!map.value(QStringLiteral("content")).toBool()) return std::nullopt;  // a document without content
    mInterNet::Document doc;
    doc.url = map.value(QStringLiteral("url")).toString();
    doc.asksForSignIn = map.value(QStringLiteral("signIn")).toBool();
    doc.rootMarkup = map.value(QStringLiteral("markup")).toString();
    doc.title = map.value(QStringLiteral("title")).toString();
    doc.html = map.value(QStringLiteral("html")).toString();
    for (const QVariant& e : map.value(QStringLiteral("elements")).toList()) {
        const QVariantList v = e.toList();
        if (v.size() != 8) continue;
        doc.elements.append({v[0].toString(), v[1].toString(), v[2].toString(), v[3].toString(), v[4].toString(), v[5].toString(),
                             v[6].toString(), v[7].toStringList()});
    }
    for (const QVariant& f : map.value(QStringLiteral("forms")).toList()) {
        const QVariantList v = f.toList();
        if (v.size() == 2) doc.forms.append({v[0].toString(), v[1].toString()});
    }
    for (const QVariant& t : map.value(QStringLiteral("texts")).toList()) doc.elementTexts << t.toString();
    for (const QVariant& l : map.value(QStringLiteral("links")).toList()) {
        const QVariantList pair = l.toList();
        if (pair.size() == 2) doc.links.append({pair.at(0).toString(), pair.at(1).toString()});
    }
    return doc;
}
}  // namespace

WebDocumentRequest::WebDocumentRequest(const QString& address, int timeoutSeconds, QObject* parent)
    : QObject(parent),
      m_page(HiddenPages::instance().take()),
      // A monotonic deadline: a wait that crosses midnight or a clock change still ends on time.
      m_deadline(timeoutSeconds * 1000) {
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_loaded = true;
        m_loadOk = ok && !m_loadFailed && m_status == 0;
        // Read at once, but from the event loop: the engine answers no script from inside
        // its own load notification.
        QTimer::singleShot(0, this, &WebDocumentRequest::readPage);
    });
    // The engine shows a site's error page (500, 404) as a page; it is no item page or list.
    connect(m_page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain && info.errorCode() >= 400) m_status = info.errorCode();
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) m_loadFailed = true;
    });
    connect(m_page->findChild<PageGuard*>(), &PageGuard::stopped, this, [this](PageGuard::Stop why) {
        if (!m_done) finish(std::nullopt, why == PageGuard::Stop::TooLarge ? Failure::TooLarge : Failure::NoAnswer);
    });
    m_page->load(QUrl(address));
    // The deadline: one timer for it, no polling for the page.
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this] {
        if (!m_done) finish(std::nullopt, Failure::NoAnswer);
    });
    timer->start(static_cast<int>(qMax<qint64>(0, m_deadline.remainingTime())));
}

// Never finished: nothing of its page is wanted. Not from inside the page's own signals (finish
// takes the page away before it says so), so it can go at once.
WebDocumentRequest::~WebDocumentRequest() { delete m_page; }

void WebDocumentRequest::readPage() {
    if (m_done) return;
    if (m_loaded && !m_asked) {
        if (!m_loadOk) {  // refused, aborted, an error page: no document to read
            finish(std::nullopt, m_status != 0 ? Failure::ServerError : Failure::Unreadable);
            return;
        }
        m_asked = true;
        QPointer<WebDocumentRequest> self(this);
        m_page->runJavaScript(QString::fromUtf8(kSnapshot), [self](const QVariant& v) {
            if (!self || self->m_done) return;
            std::optional<mInterNet::Document> doc = toDocument(v);
            const bool read = doc.has_value();
            self->finish(std::move(doc), read ? Failure::None : Failure::Unreadable);
        });
    }
}

void WebDocumentRequest::cancel() {
    if (!m_done) finish(std::nullopt);
}

void WebDocumentRequest::finish(std::optional<mInterNet::Document> document, Failure failure) {
    m_done = true;
    m_failure = failure;
    // Nothing more of this page is wanted: it goes now, and with it its page process, which
    // would otherwise go on reading a page without end. Not from inside its own signals.
    if (auto* timer = findChild<QTimer*>()) timer->stop();
    QWebEnginePage* page = std::exchange(m_page, nullptr);
    page->disconnect(this);
    if (auto* guard = page->findChild<PageGuard*>()) guard->disconnect(this);
    // A page read whole is kept for the next request; any other (stalled, endless, failed)
    // goes, and with it a page process that may still be reading.
    if (document)
        HiddenPages::instance().keep(page);
    else
        page->deleteLater();
    m_document = std::move(document);
    Q_EMIT finished();
}

std::optional<mInterNet::Document> WebDocumentLoader::Doc_Load(const QString& address, int timeoutSeconds) {
    WebDocumentRequest request(address, timeoutSeconds);
    m_current = &request;
    if (!request.isDone()) {
        QEventLoop loop;
        QObject::connect(&request, &WebDocumentRequest::finished, &loop, &QEventLoop::quit);
        loop.exec();  // the window stays usable while the page loads
    }
    m_current = nullptr;
    m_lastFailure = request.failure();
    return request.document();
}

void WebDocumentLoader::cancel() {
    if (m_current) m_current->cancel();
}
