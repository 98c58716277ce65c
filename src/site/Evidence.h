#pragma once

#include <QImage>
#include <QString>

class Browser;

// When an automated step finds a page not as expected (an element missing, a
// text not found, no answer in time), what the page was is kept for the
// seller (or a helper) to look at: DATA/診断/, a folder per event, the newest
// 20 kept. Nothing is sent anywhere.
namespace site {

constexpr int kEvidenceKept = 20;

struct Evidence {
    QString what;     // what was expected and not found, in the seller's words
    QString address;  // the page's address
    QString html;     // the page as the engine held it (empty when there was none)
    QImage screen;    // what the browser showed (null for a page nobody sees)
};

// The folder the event was kept in, or empty when it could not be written.
QString keepEvidence(const Evidence& evidence);
QString keepEvidence(const Evidence& evidence, const QString& root);  // below another folder (tests)
// The browser's page and picture.
QString keepEvidence(Browser* browser, const QString& what);

// The folder below the program folder where the events are kept.
QString evidenceRoot();
// The words a message adds: where the page was kept.
QString evidenceNote(const QString& folder);

}  // namespace site
