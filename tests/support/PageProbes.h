#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include "widgets/Browser.h"

// What a page in the program's browser shows, read back from the page itself: the site's
// side of what the program wrote into it.
inline QVariant page(Browser* b, const QString& script) { return b->evaluate(script).value; }

inline QVariant valueOf(Browser* b, const QString& id) {
    return page(b, QStringLiteral("return document.getElementById('%1').value;").arg(id));
}

inline QVariant indexOf(Browser* b, const QString& id) {
    return page(b, QStringLiteral("return document.getElementById('%1').selectedIndex;").arg(id));
}

inline int scrollY(Browser* b) { return page(b, QStringLiteral("return window.scrollY;")).toInt(); }

// The text of a list's chosen option, as the page shows it; empty when none is chosen.
inline QString selectedText(Browser* b, const QString& id) {
    return page(b,
                QStringLiteral("var s=document.getElementById('%1');return s.selectedIndex<0?'':s.options[s.selectedIndex].text;").arg(id))
        .toString();
}

// The page's ticked boxes, each as its id and what the site calls it (the text beside it, or
// its row's heading), "id|name".
inline QStringList ticked(Browser* b) {
    return page(b, QStringLiteral("var r=[];document.querySelectorAll('input[type=checkbox]').forEach(function(e){"
                                  "if(!e.checked)return;var t=e.parentNode.innerText.trim();var row=e.closest('.row');"
                                  "if(t=='利用する'&&row)t=row.querySelector('.label').innerText;r.push(e.id+'|'+t);});return r;"))
        .toStringList();
}

// What the site calls the ticked boxes, without their ids.
inline QStringList tickedNames(Browser* b) {
    QStringList names;
    for (const QString& entry : ticked(b)) names << entry.section(QLatin1Char('|'), 1);
    return names;
}

// The text beside the chosen one of the options named `name`.
inline QString checkedOption(Browser* b, const QString& name) {
    return page(b, QStringLiteral("var r='';document.getElementsByName('%1').forEach(function(e){if(e.checked)"
                                  "r=e.parentNode.innerText.trim();});return r;")
                       .arg(name))
        .toString();
}
