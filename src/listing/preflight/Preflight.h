#pragma once

#include <QString>
#include <QStringList>

// What the seller should know before the last click of a listing, besides its
// fees (fees/) and the fields that did not reach the form (form/FormCheck).
namespace listing {

// What the listing itself lacks: a title longer than the site takes (30 bytes
// of CP932, as the pane's counter shows), a start price left empty or 0 (a
// memory file keeps an empty number as 0, so a listing opened from a file or
// queued arrives with 0 where the seller typed nothing).
struct ListingWarnings {
    int titleBytes = 0;
    bool titleTooLong = false;
    bool noStartPrice = false;
    bool zeroStartPrice = false;
    bool any() const { return titleTooLong || noStartPrice || zeroStartPrice; }
};
constexpr int kTitleLimit = 30;
ListingWarnings listingWarnings(const QString& title, const QString& startPrice);
QStringList warningLines(const ListingWarnings& warnings);

}  // namespace listing
