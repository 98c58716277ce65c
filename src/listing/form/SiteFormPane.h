#pragma once

#include <QMap>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <utility>

#include "listing/form/MirrorTable.h"
#include "listing/fees/FeeFile.h"
#include "listing/fees/Fees.h"
#include "listing/form/FormCheck.h"
#include "listing/form/FormMirror.h"
#include "listing/preflight/Preflight.h"

class Browser;
class FeeSummary;
class FormCheckView;
class PictureStrip;
class PictureUpload;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QThreadPool;
class QTimer;
class UiServices;
class UploadPage;

// The "出品手続(&4)" tab: the listing options, each a mirror of one field of
// the site's listing form that WB shows beside them, and the steps through
// the site's listing pages.
class SiteFormPane : public QWidget {
    Q_OBJECT
public:
    explicit SiteFormPane(UiServices& ui, QWidget* parent = nullptr);
    ~SiteFormPane() override;

    Browser* WB() const { return m_wb; }
    QString title() const;
    QString description() const;  // with CR LF line ends, as the site gets it
    QPushButton* Command7() const { return m_command7; }
    QTabWidget* tabSYUPPINN() const { return m_tabs; }

    // "出品手続へ" of the description pane: the title and the description, each mirrored into the page.
    void setListing(const QString& title, const QString& description);

    // Pushes every mirror into the page, in the order the site's form expects.
    void Mirror_All();
    // The handler of one mirrored control (by object name; an option group by its array name).
    void mirror(const QString& control);
    void txtTitle_Change();
    void txtDescription_Change();

    // The two flags that scroll the page once when the title or the description takes the focus.
    void setFocusScrollFlags(bool on);
    // Start-up's choices in four lists, each by its place in its list (a place the list lacks
    // leaves it as it was); each goes into the page as the seller's choice would.
    struct ListDefaults {
        int prefecture;  // Combo5
        int duration;    // Combo1
        int endHour;     // Combo3
        int relisting;   // Combo4
    };
    void setListDefaults(const ListDefaults& defaults);

    // What Mirror_All found on the last listing form of this listing (nothing before the form
    // has been seen; forgotten when a new listing begins: the start page, or a 続ける page).
    const listing::FormCheck& formCheck() const { return m_formCheck; }
    // Where the last form that did not take every field was kept (empty: not kept).
    const QString& formEvidence() const { return m_evidence; }
    // The title's length and the start price, as the summary before 確認 warns of them.
    listing::ListingWarnings listingWarnings() const;

    // The paid options chosen, and what they cost by the fee file (read again when it changes).
    using Fees = listing::FeeEstimate;
    Fees fees();
    // Tells the seller, once per fault, that the fee file is missing or wrong; false when it is.
    bool reportFeeFile();

    void WB_DocumentComplete();
    void Command14_Click();  // picture upload
    void Command20_Click();  // back to the categories

    // The listing's category as the site's category page showed it (its path, and the
    // address that returns to it), remembered when the page with the continue button comes.
    QString categoryPath() const;
    QString categoryAddress() const;  // to navigate to; empty without a category
    void setCategory(const QString& path, const QString& address);
    // The listing's pictures in upload order (up to the number the site takes).
    QStringList pictures() const;
    void setPictures(const QStringList& paths);

    // Who drives the pane. The seller is asked before the page before a form is continued and
    // told of a failed upload; the listing queue, which took the listing there on purpose and
    // tells each row's outcome on the row, has the page continued and hears uploads end.
    struct Policy {
        bool continueUnasked = false;
        bool uploadProblemsToDriver = false;
        static Policy seller() { return {}; }
        static Policy queue() { return {true, true}; }
    };
    void setPolicy(const Policy& policy) {
        m_policy = policy;
        m_continued = false;
    }
    // Whether the pane pressed a continue button on its own since last asked.
    bool takeContinued() { return std::exchange(m_continued, false); }
    // Sends every picture of the listing through the upload page now shown, one page after
    // the next; picturesUploaded says how it ended. False, with the reason, when nothing began.
    bool uploadPictures(QString* problem);
    bool uploadingPictures() const;

Q_SIGNALS:
    void picturesUploaded(const QString& problem);  // empty: the site took every picture
    void queueRequested();                          // 出品キュー

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildFormFrame();
    void connectMirrors();
    listing::Reach pushTitle();
    listing::Reach pushDescription();
    void forgetFormCheck();
    void showFees();
    void uploadEnded(const QString& problem);
    void rememberCategory();

    UiServices& m_ui;
    QTabWidget* m_tabs = nullptr;
    Browser* m_wb = nullptr;
    QPushButton* m_command7 = nullptr;
    QLineEdit* m_txtTitle = nullptr;
    QPlainTextEdit* m_txtDescription = nullptr;
    QLabel* m_label18 = nullptr;
    QLineEdit* m_imText3 = nullptr;
    QMap<QString, QWidget*> m_controls;  // mirrored controls by object name
    QMap<QString, QList<QRadioButton*>> m_options;
    std::unique_ptr<FormMirror> m_mirror;
    listing::FormCheck m_formCheck;
    QString m_evidence;  // where the form that did not take every field was kept
    QUrl m_evidenceFor;
    FormCheckView* m_formCheckView = nullptr;
    FeeSummary* m_feeSummary = nullptr;
    FeeFile m_feeFile;
    QLineEdit* m_category = nullptr;         // the path, kept in the memory file
    QLineEdit* m_categoryAddress = nullptr;  // the same category's page, kept in the memory file
    // Pictures are read and remade on a thread of their own, one at a time: the window never
    // waits for a large one, and two large ones never take memory together.
    QThreadPool* m_picturePool = nullptr;
    PictureStrip* m_pictures = nullptr;
    std::unique_ptr<UploadPage> m_uploadPage;
    PictureUpload* m_upload = nullptr;
    Policy m_policy;
    bool m_continued = false;
    bool m_titleScroll = true;
    bool m_descriptionScroll = true;
};
