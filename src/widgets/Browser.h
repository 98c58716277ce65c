#pragma once

#include <QList>
#include <functional>
#include <optional>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QWebEngineView>

#include "widgets/PageGuard.h"

class BrowserPage;

// The program's embedded browser. Page access is JavaScript run in the page.
// Every operation waits for the page's answer (with a deadline) and says how
// it went, so a handler can stop at the first step that fails, as the panes
// do with a site they do not control: no page answer, or no such element,
// is never an error for the caller, only an outcome.
//
// While an operation waits, and while a caller holds the browser (Hold),
// DocumentComplete is not delivered: a page that finishes loading meanwhile
// is reported once, after the wait, so a handler is never re-entered half-way.
class Browser : public QWebEngineView {
    Q_OBJECT
public:
    enum class Outcome {
        Done,      // the page answered and had what was asked for
        Missing,   // the page answered: no such element (or form, or field)
        NoAnswer,  // the page did not answer in time
    };

    struct Result {
        Outcome outcome = Outcome::NoAnswer;
        QVariant value;  // for reads
        bool ok() const { return outcome == Outcome::Done; }
        QString text() const { return value.toString(); }
        explicit operator bool() const { return ok(); }
    };

    struct NamedElement {
        QString type;
        QString value;
    };

    explicit Browser(QWidget* parent = nullptr);

    // An address, a local file path or an empty text (a blank page).
    void Navigate2(const QString& address);
    // The same, once the browser is first on screen or as soon as anything asks for its page
    // (an operation on it, or an address of its own, which takes the place of this one): a
    // browser in a tab the seller has not opened yet costs start-up nothing.
    void navigateWhenShown(const QString& address);
    bool hasDeferredLoad() const { return m_deferred.has_value(); }
    // The page's address; while a load waits to be shown, the address it will load.
    QUrl url() const;

    // False: a file dropped on the browser is not opened.
    void setRegisterAsDropTarget(bool accept);
    bool registerAsDropTarget() const { return m_dropTarget; }

    // Whether the last document finished loading without an error (a
    // refused connection or an aborted load is not a document to act on).
    bool lastLoadOk() const { return m_lastLoadOk; }

    // Every load is stopped when the page grows past what any page of the site
    // takes, and, with a deadline (0: none, the default), when it has not
    // finished in time. The browser then shows the program's notice in place of
    // the page (no DocumentComplete for it) and says why.
    void setLoadDeadline(int ms);
    static QString noticeFor(PageGuard::Stop why);

    Result setCheckedById(const QString& id, double value);  // non-zero ticks
    Result setValueById(const QString& id, const QString& value);
    Result setSelectedIndexById(const QString& id, double index);
    // The option that reads `text` (blanks around it aside); an empty text leaves nothing
    // chosen. Missing when the list has no such option.
    Result selectOptionById(const QString& id, const QString& text);
    Result clickById(const QString& id);  // focuses the element first, as a real click would
    Result setCheckedByName(const QString& name, int index, bool checked);
    // Items 0 and 1 of the named elements in one step.
    Result setPairCheckedByName(const QString& name, bool first, bool second);
    Result setAllChecked(const QString& name, bool checked);  // the document's "All"(name)
    Result setFormField(const QString& form, const QString& field, const QString& value);
    Result submitForm(const QString& form);
    Result scrollTo(int x, int y);

    // Reads: the text in value; Missing when the page has no body or title.
    Result bodyText(int timeoutMs = kDefaultTimeoutMs);
    Result documentTitle(int timeoutMs = kDefaultTimeoutMs);
    // The named elements in document order; an empty list is Done, not Missing.
    QList<NamedElement> elementsByName(const QString& name, int timeoutMs = kDefaultTimeoutMs, Outcome* outcome = nullptr);

    // Runs a script body and waits for its value. A `throw` in the script,
    // or a TypeError on a missing element, is Missing.
    Result evaluate(const QString& script, int timeoutMs = kDefaultTimeoutMs);

    // Keeps DocumentComplete back while a handler works on the page.
    class Hold {
    public:
        explicit Hold(Browser* browser);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        Browser* m_browser;
    };

    // The next file chooser the page opens is answered with these files
    // (once), instead of a dialog; an empty list cancels it.
    void answerNextFileChooser(const QStringList& files);
    void forgetFileChooserAnswer();  // the chooser did not open: nothing waits for it any more
    bool fileChooserAnswered() const;

    // A link the seller clicks goes to `handler` first; when it answers true the
    // page does not follow it.
    void setLinkHandler(std::function<bool(const QUrl&)> handler);

    // A key press and release delivered only to this browser's page.
    void sendKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // JSON string literal of a text, for building scripts.
    static QString jsString(const QString& text);

    static constexpr int kDefaultTimeoutMs = 5000;

Q_SIGNALS:
    // A document finished loading; the address is empty for a blank page.
    void DocumentComplete(const QString& url);
    // A load was stopped by its guard (after its failed DocumentComplete).
    void loadStopped(PageGuard::Stop why);

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onLoadFinished(bool ok);
    void deliverLater();
    void deliver();
    QString currentAddress() const;
    void loadDeferred();

    void showNotice(const QString& text);
    void attachPage();  // a new page (and guard) for the view

    BrowserPage* m_page = nullptr;
    PageGuard* m_guard = nullptr;
    std::function<bool(const QUrl&)> m_linkHandler;
    bool m_noticeLoading = false;  // the page shown is the program's own notice, until a page of the site starts
    bool m_dropTarget = true;
    bool m_lastLoadOk = false;
    bool m_everLoaded = false;
    int m_holds = 0;
    bool m_completionPending = false;
    QTimer m_delivery;
    std::optional<QString> m_deferred;
};
