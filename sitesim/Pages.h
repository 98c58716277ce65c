#pragma once

#include "DemoData.h"

#include <QString>

// The site's pages as HTML text, one function per page. Values shown on a
// page are escaped here; callers pass plain text.
namespace pages {

// The site's frame (masthead, content, footer) around a page's content.
QString layout(const QString& title, const QString& content);
QString esc(const QString& text);
QString yen(int amount);  // "1,500 円"

// The login page's address, coming back to `done` after a sign-in.
QString loginAddress(const QString& done);
QString logoutAddress(const QString& done);

// `account` is empty when nobody is signed in.
QString portal(const QString& account, const QString& base);

QString submitTop();
QString submitCategory(const demo::Category& category);

QString signInRequired(const QString& done);
QString reenterPassword(const QString& account, const QString& done);
// One page of 50; 前の50件 and 次の50件 below the list where there are more.
QString closedListings(const QString& seller, const QList<demo::ClosedListing>& listings, int page = 1, int pages = 1);
// One page of the seller's open listings (`page` of `pages`, 50 a page).
QString selling(const QString& seller, const QList<demo::OpenListing>& listings, int page, int pages);
// An item page: its figures, and for an auction that ended with a winner the winner's contact links.
QString itemPage(const QString& title, int price, const QString& timeLeft, int access, int watch, int bids,
                 const demo::ClosedListing* closed);
QString noSuchItem();  // titled "Yahoo!オークション" alone

enum class LoginNotice {
    None,
    WrongPassword,
    Challenge,  // too many failures in a row: an image-number check is added
};
QString login(const QString& done, LoginNotice notice, const QString& enteredLogin);
QString loggedOut(const QString& done);

QString notFound(const QString& path);
// The feedback for a sale's winner: five ratings, a comment (its field named `commentField`), the button.
QString feedbackForm(const demo::ClosedListing& sold, const QString& commentField, bool noRating = false);
QString feedbackDone(const demo::ClosedListing& sold);
QString feedbackRefused(const demo::ClosedListing& sold);
// The program's own web page, for its help menu.
QString productPage();
QString error(int status);

}  // namespace pages
