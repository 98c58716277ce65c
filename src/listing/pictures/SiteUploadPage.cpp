#include "listing/pictures/SiteUploadPage.h"

#include "site/Evidence.h"
#include "site/ListingForm.h"
#include "site/SitePages.h"
#include "widgets/Browser.h"
#include "core/WaitFor.h"

std::optional<int> SiteUploadPage::uploadedCount() { return site::ListingFormPage(m_wb).uploadedCount(); }

QString SiteUploadPage::keep(const QString& problem) { return site::evidenceNote(site::keepEvidence(m_wb, problem)); }

bool SiteUploadPage::send(const QString& path) {
    const Browser::Hold hold(m_wb);
    if (!m_wb->clickById(site::uploadSelectButton()) || !m_wb->scrollTo(0, 0)) return false;
    // From the clicked element, a few Tabs reach the page's file field; the field's chooser is
    // answered with the chosen file (a typed path is not taken by the engine); more Tabs then
    // reach the upload button.
    m_wb->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < site::tabsToFileField(); ++i) m_wb->sendKey(Qt::Key_Tab);
    m_wb->answerNextFileChooser({path});
    m_wb->sendKey(Qt::Key_Space);
    const bool chosen = waitFor([this] { return m_wb->fileChooserAnswered(); }, 5000);
    m_wb->forgetFileChooserAnswer();
    if (!chosen) return false;  // the page had no file field where the site keeps it
    // The page takes the file a moment after the chooser closes; the button must not be pressed before.
    const bool taken = waitFor(
        [this] {
            return m_wb->evaluate(QStringLiteral("var e=document.activeElement;return !!(e&&e.files&&e.files.length);")).value.toBool();
        },
        5000);
    if (!taken) return false;
    for (int i = 0; i < site::tabsToUploadButton(); ++i) m_wb->sendKey(Qt::Key_Tab);
    m_wb->sendKey(Qt::Key_Return);
    return true;
}
