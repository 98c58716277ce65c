#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QObject;
class QUrl;

// Reading the auction site outside the embedded browsers: a page loaded into
// an off-screen document (Doc_Load), one plain GET (Page_Get), and the item
// page's title, current price and winner's contact links.
namespace mInterNet {

// What the program reads of a loaded document.
struct Document {
    // The root element's inner markup as the extractors read it:
    // tag names in upper case, the head's elements one after the other
    // ("<HEAD><TITLE>…</TITLE>…"), whatever the engine's own spelling.
    QString rootMarkup;
    QStringList elementTexts;  // every element's visible text, in document order, the root first
    struct Link {
        QString text;
        QString href;
    };
    QList<Link> links;           // in document order
    QString url;                 // where the page ended up (after redirects)
    bool asksForSignIn = false;  // it holds a password field: the site wants a sign-in first
    QString title;
    // The page's fields (inputs, selects, text areas, buttons) as the site check reads them.
    struct Element {
        QString tag, id, name, type, value;
        QString label;        // the text the page shows with it: its <label>, or the text just before it
        QString form;         // the name of its form
        QStringList options;  // a select's option texts, in order
    };
    QList<Element> elements;
    struct Form {
        QString name;
        QString getAddress;  // where the form goes as a GET with its fields as they stand (empty for POST)
    };
    QList<Form> forms;
    QString html;  // the page as the engine holds it now, for the record of a step that failed
};

// Why a read gave no page.
enum class Failure {
    None,
    NoAnswer,     // nothing (or not all) in time
    ServerError,  // the site answered an error status
    Unreadable,   // cut short, refused, redirected without end, or no page of the site
    TooLarge,     // past kMaxPageBytes: stopped there
};

// Loads an address into an off-screen document of the web engine and waits,
// with the event loop running, until it is complete or the time is up. No
// document for a page that did not finish, failed, or has no content.
class DocumentLoader {
public:
    virtual ~DocumentLoader() = default;
    virtual std::optional<Document> Doc_Load(const QString& address, int timeoutSeconds) = 0;
    // Ends a Doc_Load that is waiting, which then gives no document.
    virtual void cancel() {}
    // Why the last Doc_Load gave no document.
    virtual Failure lastFailure() const { return Failure::None; }
};

constexpr int kTimeoutSeconds = 20;
// The site's real pages are a few hundred kilobytes; an answer past this is no page of it.
constexpr qint64 kMaxPageBytes = 16LL * 1024 * 1024;
constexpr int kMaxRedirects = 10;

// One GET with a deadline. True for a status from 200 to 299, the text then
// decoded by the charset the server declares; false (and `text` untouched)
// for any other status, a network error, an answer past kMaxPageBytes, or no
// answer before the deadline; `why` says which.
bool Page_Get(QNetworkAccessManager& network, const QString& address, QString* text, int timeoutSeconds = kTimeoutSeconds,
              Failure* why = nullptr);

// The same GET without waiting, for callers that keep several in flight:
// start it, and when the reply has finished read it with the same rules.
QNetworkReply* startGet(QNetworkAccessManager& network, const QString& address);
// Ends every reply still on its way without its end reaching `receiver`: the list is emptied first,
// as an aborted reply reports at once.
void abortAll(QList<QPointer<QNetworkReply>>& replies, QObject* receiver);
bool readReply(QNetworkReply* finishedReply, QString* text, Failure* why = nullptr);

// The auction ID in an item page's address (".../jp/auction/ID", query ignored);
// empty for any other address, and for a place inside a page ("#bids").
QString auctionIdOf(const QUrl& address);

// What Item_Title gives for an auction ID the site does not have: its page's
// title left whole ("<HEAD><TITLE>Yahoo!オークション"), as the mail recognises it.
QString wrongIdTitle();

// The extractors, each from a loaded item page. Item_Title has no result
// when the markup holds no "</TITLE>" (the caller's command then ends).
std::optional<QString> Item_Title(const Document& page);
QString Item_Price(const Document& page);
// The two links after the first "こちら": set only where found.
void Item_Contact(const Document& page, QString* first, QString* second);

// An item page read once for all three (the mail needs them together).
struct ItemPage {
    bool loaded = false;
    Failure failure = Failure::None;  // why it did not load
    QString html;                     // the page as it came (for the record when it is no item page)
    std::optional<QString> title;     // empty text when the page did not load
    QString price;
    QString contactName;
    QString contactAddress;
};
ItemPage readItemPage(DocumentLoader& loader, const QString& itemPageAddress);

}  // namespace mInterNet
