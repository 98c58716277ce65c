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

std::optional<QString> ListingFormPage::categoryPath() {
    const Browser::Result body = m_browser->bodyText();
    if (!body) return std::nullopt;
    return categoryPathIn(body.text());
}

Browser::Result ListingFormPage::send() {
    return m_browser->evaluate(QStringLiteral("var b=document.getElementsByName(%1)[0];if(!b)throw 0;b.click();return true;")
                                   .arg(Browser::jsString(formSendButton())));
}

std::optional<int> ListingFormPage::uploadedCount() {
    const Browser::Result r =
        m_browser->evaluate(QStringLiteral("return document.getElementsByClassName(%1).length;").arg(Browser::jsString(uploadedMark())));
    if (!r) return std::nullopt;
    return r.value.toInt();
}

Browser::Result ListingFormPage::toConfirmation() { return m_browser->clickById(toConfirmLink()); }

std::optional<QList<QPair<QString, QString>>> ListingFormPage::confirmation() {
    const Browser::Result r =
        m_browser->evaluate(QStringLiteral("var t=document.getElementById(%1);if(!t)throw 0;var out=[];"
                                           "for(var i=0;i<t.rows.length;i++){var r=t.rows[i];if(r.cells.length<2)continue;"
                                           "out.push(r.cells[0].innerText.trim());out.push(r.cells[1].innerText.trim());}return out;")
                                .arg(Browser::jsString(confirmTable())));
    if (!r) return std::nullopt;
    const QVariantList cells = r.value.toList();
    QList<QPair<QString, QString>> rows;
    for (qsizetype i = 0; i + 1 < cells.size(); i += 2) rows.append({cells[i].toString(), cells[i + 1].toString()});
    return rows;
}

std::optional<QString> ListingFormPage::newAuctionId() {
    const Browser::Result r =
        m_browser->evaluate(QStringLiteral("var e=document.getElementById(%1);if(!e)throw 0;return e.innerText.trim();")
                                .arg(Browser::jsString(auctionIdElement())));
    if (!r || r.text().isEmpty()) return std::nullopt;
    return r.text();
}

}  // namespace site
