#pragma once

#include <QMap>
#include <QUrl>
#include <QWidget>

#include "siteform/ListingForm.h"
#include "siteform/Preflight.h"

class Browser;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class UiServices;

// The "出品手続(&4)" tab: the listing options, each a mirror of one field of
// the site's listing form that WB shows beside them, and the steps through
// the site's listing pages.
class SiteFormPane : public QWidget {
    Q_OBJECT
public:
    explicit SiteFormPane(UiServices& ui, QWidget* parent = nullptr);

    Browser* WB() const { return m_wb; }
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

    // What Mirror_All found on the last listing form of this listing (nothing before the form
    // has been seen; forgotten when a new listing begins: the start page, or a 続ける page).
    const siteform::FormCheck& formCheck() const { return m_formCheck; }
    // The title's length and the start price, as the summary before 確認 warns of them.
    siteform::ListingWarnings listingWarnings() const;

    // The paid options chosen, and what they cost by the fee file (read again when it changes).
    struct Fees {
        siteform::PaidChoice choice;
        bool known = false;  // the fee file was read; `cost` is good
        siteform::Cost cost;
    };
    Fees fees();
    // Tells the seller, once per fault, that the fee file is missing or wrong; false when it is.
    bool reportFeeFile();
    static QString feeFile();

    void WB_DocumentComplete();
    void Command14_Click();  // picture upload
    void Command20_Click();  // back to the categories

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGoodsPage();
    QWidget* buildOptionsPage();
    QWidget* buildUploadFrame();
    QWidget* buildFormFrame();
    QCheckBox* check(const QString& name);
    QComboBox* list(const QString& name, const QStringList& items);
    QLineEdit* number(const QString& name);
    QWidget* checkFrame(const QString& caption, const QString& objectName, const QStringList& names, int columns);
    QWidget* optionFrame(const QString& caption, const QString& array, const QString& first, const QString& second);
    siteform::Reach writeMirror(const siteform::Mirror& m);
    siteform::Reach pushTitle();
    siteform::Reach pushDescription();
    QWidget* buildFormCheckFrame();
    void showFormCheck();
    void forgetFormCheck();
    void showFees();
    // The fee file as last read: re-read when its time or size changes.
    void loadFees();
    bool uploadThroughPage(const QString& path);

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
    siteform::FormCheck m_formCheck;
    QString m_evidence;  // where the form that did not take every field was kept
    QUrl m_evidenceFor;
    QLabel* m_formCheckText = nullptr;
    QListWidget* m_formCheckList = nullptr;
    QLabel* m_feeLines = nullptr;
    QLabel* m_feeTotal = nullptr;
    siteform::FeeTable m_feeTable;
    enum class FeeFile { NotRead, Ok, Missing, NotText, Malformed } m_feeFile = FeeFile::NotRead;
    QString m_feeStamp;     // the file's time and size when it was read
    QString m_feeReported;  // the fault last told to the seller (stamp and kind), not told twice
    bool m_titleScroll = true;
    bool m_descriptionScroll = true;
};
