#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The site as a redesign leaves it, for tests of a program that must notice:
// the item page's labels reworded, the open listings' links reworded, the
// login form's fields renamed, a list's options reordered or one removed.
// (The listing form's renamed fields are listing::setRenamedFields.)
namespace redesign {

struct State {
    bool itemLabels = false;
    bool listingLinks = false;
    bool loginFields = false;
    QStringList reversed;            // select ids whose options come in reverse order
    QMap<QString, QString> dropped;  // select id → the option's text that is gone
};

State& state();
// "item-labels", "listing-links", "login-fields", "reorder:ID", "drop:ID:TEXT", or "none"
// (every change undone). False for anything else.
bool apply(const QString& kind);

// Words as the site writes them now.
QString itemLabel(const QString& label);   // "現在の価格：" …
QString listingLink(const QString& text);  // "残り時間", "次の50件", "前の50件"
QString loginField(const QString& name);   // "login", "passwd"

}  // namespace redesign
