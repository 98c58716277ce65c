#include "mail/WebDocumentLoader.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <memory>

#include "widgets/WebProfile.h"

namespace {
// Everything the program reads of a document, read once. The root's markup is
// written the way the program has always read it: tag names in upper case and
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
return {markup:m,texts:texts,links:links,content:content};})())";
}  // namespace

std::optional<mInterNet::Document> WebDocumentLoader::Doc_Load(const QString& address, int timeoutSeconds) {
    auto page = std::make_unique<QWebEnginePage>(WebProfile::shared());
    struct State {
        bool finished = false, ok = false, asked = false, answered = false;
        QVariant snapshot;
    };
    auto state = std::make_shared<State>();
    QObject::connect(page.get(), &QWebEnginePage::loadFinished, page.get(), [state](bool ok) {
        state->finished = true;
        state->ok = ok;
    });
    page->load(QUrl(address));
    // A monotonic deadline: a wait that crosses midnight or a clock change still ends on time.
    const QDeadlineTimer deadline(timeoutSeconds * 1000);
    for (;;) {
        if (state->finished && !state->asked) {
            if (!state->ok) return std::nullopt;  // refused, aborted: no document to read
            state->asked = true;
            page->runJavaScript(QString::fromUtf8(kSnapshot), [state](const QVariant& v) {
                state->answered = true;
                state->snapshot = v;
            });
        }
        if (state->answered || deadline.hasExpired()) break;
        QEventLoop poll;
        QTimer::singleShot(kPollMs, &poll, &QEventLoop::quit);
        poll.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!state->answered) return std::nullopt;
    const QVariantMap map = state->snapshot.toMap();
    if (!map.value(QStringLiteral("content")).toBool()) return std::nullopt;  // a document without content
    mInterNet::Document doc;
    doc.rootMarkup = map.value(QStringLiteral("markup")).toString();
    for (const QVariant& t : map.value(QStringLiteral("texts")).toList()) doc.elementTexts << t.toString();
    for (const QVariant& l : map.value(QStringLiteral("links")).toList()) {
        const QVariantList pair = l.toList();
        if (pair.size() == 2) doc.links.append({pair.at(0).toString(), pair.at(1).toString()});
    }
    return doc;
}
