#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Which of the pane's fields reached the site's listing form (the site changed
// it, or the page is not the form), as the seller is told before the last click.
namespace listing {

// The caption a field has on the pane ("最低落札価格"), by the control's name;
// an option group by its array name.
QString caption(const QString& control);

// How one mirror's write went.
enum class Reach { Reached, Missing, NoAnswer };

// A form page's fields, after every mirror was pushed into it.
struct FormCheck {
    bool formPage = false;   // at least one field reached: the page is the listing form
    QStringList notReached;  // controls, in the order they were pushed, each once
    QList<Reach> why;        // Missing or NoAnswer, one per entry of notReached
};
// `pushed` is each handler's outcome in the order they ran (a control may come twice).
FormCheck checkForm(const QList<QPair<QString, Reach>>& pushed);
// "最低落札価格：ページに項目がありません", one line per field that did not reach the page.
QStringList formCheckLines(const FormCheck& check);

}  // namespace listing
