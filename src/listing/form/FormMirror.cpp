#include "listing/form/FormMirror.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "site/ListingForm.h"
#include "site/SitePages.h"
#include "widgets/Browser.h"
#include "widgets/VbCheck.h"

namespace {
listing::Reach reachOf(const Browser::Result& r) {
    switch (r.outcome) {
        case Browser::Outcome::Done: return listing::Reach::Reached;
        case Browser::Outcome::Missing: return listing::Reach::Missing;
        case Browser::Outcome::NoAnswer: break;
    }
    return listing::Reach::NoAnswer;
}
}  // namespace

listing::Reach FormMirror::write(const listing::Mirror& m) {
    const site::FormField* field = site::formField(m.meaning);
    if (!field) return listing::Reach::Missing;
    site::ListingFormPage form(m_page);
    // Each step needs the one before: a page that cannot scroll is not written either.
    const Browser::Result scrolled = form.scrollTo(m.meaning);
    if (!scrolled) return reachOf(scrolled);
    QWidget* w = m_controls.value(m.control);
    switch (field->kind) {
        case site::FieldKind::Check: return reachOf(form.check(m.meaning, VbCheck::value(static_cast<QCheckBox*>(w))));
        case site::FieldKind::List: return reachOf(form.choose(m.meaning, static_cast<QComboBox*>(w)->currentIndex()));
        case site::FieldKind::Text: return reachOf(form.fill(m.meaning, static_cast<QLineEdit*>(w)->text()));
        case site::FieldKind::Option: {
            const QList<QRadioButton*>& pair = m_options.value(m.control);
            return reachOf(form.choosePair(m.meaning, pair[0]->isChecked(), pair[1]->isChecked()));
        }
    }
    return listing::Reach::NoAnswer;
}

listing::Reach FormMirror::fill(const QString& meaning, const QString& text) {
    return reachOf(site::ListingFormPage(m_page).fill(meaning, text));
}
