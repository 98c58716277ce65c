#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QWebEngineView>

// The program's embedded browser. Page access is JavaScript run in the page;
// every operation on an element that the page does not have (or on no page
// at all) ends silently, as the panes expect of a site they do not control.
//
// Writes are queued in order and return at once. Reads wait for the page's
// answer with a deadline and give an empty result when none comes.
class Browser : public QWebEngineView {
    Q_OBJECT
public:
    explicit Browser(QWidget* parent = nullptr);

    // An address, a local file path or an empty text (a blank page).
    void Navigate2(const QString& address);

    // False: a file dropped on the browser is not opened.
    void setRegisterAsDropTarget(bool accept);
    bool registerAsDropTarget() const { return m_dropTarget; }

    struct NamedElement {
        QString type;
        QString value;
    };

    void setCheckedById(const QString& id, double value);  // non-zero ticks
    void setValueById(const QString& id, const QString& value);
    void setSelectedIndexById(const QString& id, double index);
    void clickById(const QString& id);
    void setCheckedByName(const QString& name, int index, bool checked);
    void setAllChecked(const QString& name, bool checked);  // the document's "All"(name)
    void setFormField(const QString& form, const QString& field, const QString& value);
    void submitForm(const QString& form);
    void scrollTo(int x, int y);

    QString bodyText(int timeoutMs = 5000);
    QString documentTitle(int timeoutMs = 5000);
    QList<NamedElement> elementsByName(const QString& name, int timeoutMs = 5000);

    // Runs a script and waits for its value (invalid on timeout or error).
    QVariant evaluate(const QString& script, int timeoutMs = 5000);
    void run(const QString& script);

    // JSON string literal of a text, for building scripts.
    static QString jsString(const QString& text);

Q_SIGNALS:
    // A document finished loading; the address is empty for a blank page.
    void DocumentComplete(const QString& url);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_dropTarget = true;
};
