#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

#include "widgets/Browser.h"

// The site's pages as the program works on them in a browser, by what they
// mean rather than by element: each reads or writes through the site
// definition, so a page the site renamed is mended in the definition alone.
namespace site {

// The seller's closed listings: whether they ask for a sign-in.
class ClosedListingsPage {
public:
    explicit ClosedListingsPage(Browser* browser) : m_browser(browser) {}
    // How many login prompts the page calls for; nothing when it did not answer.
    std::optional<int> loginPrompts();

private:
    Browser* m_browser;
};

// The login page: what it shows, and its form filled and sent.
class LoginPage {
public:
    explicit LoginPage(Browser* browser) : m_browser(browser) {}
    struct Seen {
        QString body;
        bool hasForm = false;
        QStringList buttonValues;  // the values of the elements named as the login button
    };
    Seen read();
    // Stays signed in, fills the ID and password, and sends the form once per login button.
    void signIn(const QString& id, const QString& password, const QStringList& buttonValues);

private:
    Browser* m_browser;
};

// The listing form: its fields by meaning (数量, 期間 …).
class ListingFormPage {
public:
    explicit ListingFormPage(Browser* browser) : m_browser(browser) {}
    Browser::Result scrollTo(const QString& meaning);
    Browser::Result check(const QString& meaning, double value);  // non-zero ticks
    Browser::Result fill(const QString& meaning, const QString& text);
    // The option that stands for the program's entry `index` of the list (-1: none chosen).
    Browser::Result choose(const QString& meaning, int index);
    Browser::Result choosePair(const QString& meaning, bool first, bool second);
    // The page's continue buttons (their values); nothing when the page did not answer.
    std::optional<QStringList> continueButtons();
    Browser::Result pressContinue();
    // The category page: the category's path as it shows it (empty: it shows none).
    std::optional<QString> categoryPath();
    // The form's own button: the form goes to the site, and the upload page comes.
    Browser::Result send();
    // The upload page: how many pictures it lists as received, and its way on to the confirmation.
    std::optional<int> uploadedCount();
    Browser::Result toConfirmation();
    // The confirmation page: each row of what the listing will be (caption, value), in order.
    std::optional<QList<QPair<QString, QString>>> confirmation();
    // The completion page: the new listing's auction ID.
    std::optional<QString> newAuctionId();

private:
    Browser* m_browser;
};

}  // namespace site
