#include "site/SitePages.h"

#include "site/ListingForm.h"
#include "site/SignIn.h"
#include "site/SiteFacts.h"

namespace site {

std::optional<int> ClosedListingsPage::loginPrompts() {
    if (!m_browser->scrollTo(0, 500)) return std::nullopt;
    const Browser::Result body = m_browser->bodyText();
    if (!body) return std::nullopt;
    QStringList values;
    if (!body.text().contains(passwordAgainText())) {
        Browser::Outcome outcome;
        for (const Browser::NamedElement& e : m_browser->elementsByName(closedListingsLoginButton(), Browser::kDefaultTimeoutMs, &outcome))
            values << e.value;
        if (outcome != Browser::Outcome::Done) return std::nullopt;
    }
    return site::loginPrompts(body.text(), values);
}

LoginPage::Seen LoginPage::read() {
    const LoginForm names = loginForm();
    Seen seen;
    seen.body = m_browser->bodyText().text();
    seen.hasForm = m_browser->evaluate(QStringLiteral("return !!document.forms[%1];").arg(Browser::jsString(names.form))).value.toBool();
    for (const Browser::NamedElement& e : m_browser->elementsByName(names.button)) seen.buttonValues << e.value;
    return seen;
}

void LoginPage::signIn(const QString& id, const QString& password, const QStringList& buttonValues) {
    const LoginForm names = loginForm();
    m_browser->setAllChecked(names.persistent, true);
    m_browser->setFormField(names.form, names.id, id);
    m_browser->setFormField(names.form, names.password, password);
    for (const QString& value : buttonValues)
        if (value == names.buttonText) m_browser->submitForm(names.form);
}

Browser::Result ListingFormPage::scrollTo(const QString& meaning) { return m_browser->scrollTo(0, fieldScroll(meaning)); }

Browser::Result ListingFormPage::check(const QString& meaning, double value) {
    return m_browser->setCheckedById(fieldElement(meaning), value);
}

Browser::Result ListingFormPage::fill(const QString& meaning, const QString& text) {
    return m_browser->setValueById(fieldElement(meaning), text);
}

Browser::Result ListingFormPage::choose(const QString& meaning, int index) {
    const QStringList options = fieldOptions(meaning);
    const QString text = index >= 0 && index < options.size() ? options[index] : fieldNoChoice(meaning);
    return m_browser->selectOptionById(fieldElement(meaning), text);
}

Browser::Result ListingFormPage::choosePair(const QString& meaning, bool first, bool second) {
    return m_browser->setPairCheckedByName(fieldElement(meaning), first, second);
}

std::optional<QStringList> ListingFormPage::continueButtons() {
    Browser::Outcome outcome;
    const QList<Browser::NamedElement> buttons = m_browser->elementsByName(continueButtonName(), Browser::kDefaultTimeoutMs, &outcome);
    if (outcome != Browser::Outcome::Done) return std::nullopt;
    QStringList values;
    for (const Browser::NamedElement& b : buttons) values << b.value;
    return values;
}

Browser::Result ListingFormPage::pressContinue() { return m_browser->clickById(continueButtonName()); }

}  // namespace site
