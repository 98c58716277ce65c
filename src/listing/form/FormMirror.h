#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include "listing/form/FormCheck.h"
#include "listing/form/MirrorTable.h"

class Browser;
class QRadioButton;
class QWidget;

// Writes the pane's controls into the site's listing form shown in the browser, each into
// the field the mirror table names, and says how each write went.
class FormMirror {
public:
    // The controls by object name, and the option groups by array name, as the pane built them.
    FormMirror(Browser* page, const QMap<QString, QWidget*>& controls, const QMap<QString, QList<QRadioButton*>>& options)
        : m_page(page), m_controls(controls), m_options(options) {}

    listing::Reach write(const listing::Mirror& m);
    // A text of the pane's own (the title, the description) into the field of that meaning.
    listing::Reach fill(const QString& meaning, const QString& text);

private:
    Browser* m_page;
    const QMap<QString, QWidget*>& m_controls;
    const QMap<QString, QList<QRadioButton*>>& m_options;
};
