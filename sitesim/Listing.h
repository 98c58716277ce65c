#pragma once

#include "DemoData.h"
#include "EucJp.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The site's listing pages after the category: the listing form, the
// picture upload, the confirmation and the final page. A seller's listing in
// progress is a draft kept by the site between these pages.
namespace listing {

struct Upload {
    QString fileName;
    QByteArray bytes;
};

// What the upload page takes: three pictures of up to 5 MB each.
inline constexpr int kMaxImages = 3;
inline constexpr qsizetype kMaxImageBytes = 5 * 1024 * 1024;

struct Draft {
    int serial = 0;         // the order in which the site began its drafts, from 1
    int confirmations = 0;  // how often its confirmation page was shown
    int category = 0;
    eucjp::Form fields;  // the listing form as sent
    QList<Upload> images;
};

// One part of a multipart/form-data body.
struct Part {
    QString name;
    QString fileName;  // empty for a plain field
    QByteArray bytes;
};
QList<Part> parseMultipart(const QByteArray& contentType, const QByteArray& body);

// The listing form: every field where the site's layout keeps it (each near
// its vertical position on the page).
QString formPage(const demo::Category& category);
// A redesign of the form: these fields (by their id) get a new id and name
// ("ReservePrice" becomes "ReservePrice_2"); the site reads them by the new one.
void setRenamedFields(const QStringList& ids);
QString fieldName(const QString& id);
// `refused`: the last picture sent was not taken, and the page says why.
QString imagePage(const Draft& draft, bool refused = false);
QString confirmPage(const Draft& draft);
QString finishedPage(const QString& auctionId, const QString& title);
// A draft that does not exist (the form was not sent in this sign-in).
QString noDraftPage();

// The texts the confirmation shows for a field of the form.
QString durationText(const QString& index);
QString closingTimeText(const QString& index);
QString regionText(const QString& index);
QString giftText(const QString& index);
QString resubmitText(const QString& index);
// What the options of a draft cost, as the confirmation shows it ("1,086.40 円").
QString optionFees(const Draft& draft);

}  // namespace listing
