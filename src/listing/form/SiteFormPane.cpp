#include "listing/form/SiteFormPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QThreadPool>

#include "core/UiServices.h"
#include "core/Values.h"
#include "core/mduInterFace.h"
#include "listing/fees/FeeSummary.h"
#include "listing/form/ListingPages.h"
#include "listing/form/FormCheckView.h"
#include "listing/pictures/CategoryPicturesFrame.h"
#include "listing/pictures/PictureStrip.h"
#include "listing/pictures/PictureUpload.h"
#include "listing/pictures/SiteUploadPage.h"
#include "settings/SiteAddresses.h"
#include "site/Evidence.h"
#include "site/ListingForm.h"
#include "site/SitePages.h"
#include "widgets/Browser.h"
#include "widgets/CounterLabel.h"
#include "widgets/EnterKeyFilter.h"
#include "widgets/Named.h"
#include "widgets/PlainText.h"
#include "widgets/ScreenFit.h"

SiteFormPane::SiteFormPane(UiServices& ui, QWidget* parent) : QWidget(parent), m_ui(ui) {
    setObjectName(QStringLiteral("SiteFormPane"));
    m_picturePool = new QThreadPool(this);
    m_picturePool->setMaxThreadCount(1);
    auto* layout = new QHBoxLayout(ScreenFit::scrollingContent(this));

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    m_tabs = named(new QTabWidget, QStringLiteral("tabSYUPPINN"));
    const ListingPages pages;
    m_tabs->addTab(pages.goods, QStringLiteral("商品情報"));
    m_tabs->addTab(pages.options, QStringLiteral("オプション"));
    m_controls = pages.controls;
    m_options = pages.optionGroups;
    m_txtTitle = pages.title;
    m_txtDescription = pages.description;
    m_label18 = pages.titleBytes;
    m_feeSummary = pages.fees;
    leftLayout->addWidget(m_tabs, 1);
    m_formCheckView = new FormCheckView;
    leftLayout->addWidget(m_formCheckView);
    auto* upload = new CategoryPicturesFrame(m_ui, m_picturePool);
    m_category = upload->category();
    m_categoryAddress = upload->categoryAddress();
    m_pictures = upload->pictures();
    m_imText3 = upload->chosenPath();
    connect(upload->upload(), &QPushButton::clicked, this, &SiteFormPane::Command14_Click);
    leftLayout->addWidget(upload);
    left->setMinimumWidth(440);
    left->setMaximumWidth(500);
    layout->addWidget(left, 0);
    layout->addWidget(buildFormFrame(), 1);

    m_mirror = std::make_unique<FormMirror>(m_wb, m_controls, m_options);
    connectMirrors();
    m_uploadPage = std::make_unique<SiteUploadPage>(m_wb);
    m_upload = new PictureUpload(*m_uploadPage, this);
    connect(m_upload, &PictureUpload::finished, this, &SiteFormPane::uploadEnded);
    connect(m_txtTitle, &QLineEdit::textChanged, this, &SiteFormPane::txtTitle_Change);
    connect(m_txtDescription, &QPlainTextEdit::textChanged, this, &SiteFormPane::txtDescription_Change);
    m_txtTitle->installEventFilter(this);
    m_txtDescription->installEventFilter(this);
    connect(m_wb, &Browser::DocumentComplete, this, &SiteFormPane::WB_DocumentComplete);

    // The fee summary follows every paid choice and the duration the featured fee is counted by.
    for (const char* name : {"Check35", "Check36", "Check37", "Check38"})
        connect(static_cast<QCheckBox*>(m_controls.value(QLatin1String(name))), &QCheckBox::stateChanged, this, &SiteFormPane::showFees);
    for (const char* name : {"Combo1", "Combo2"})
        connect(static_cast<QComboBox*>(m_controls.value(QLatin1String(name))), &QComboBox::currentIndexChanged, this,
                &SiteFormPane::showFees);
    connect(static_cast<QLineEdit*>(m_controls.value(QStringLiteral("imNumLite3"))), &QLineEdit::textChanged, this,
            &SiteFormPane::showFees);
    // The seller looks at the options: a fee file that cannot be read is said then, not at start-up.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 1) reportFeeFile();
    });
    showFees();
    m_formCheckView->setCheck(m_formCheck, m_evidence);

    // Enter moves on from the single-line fields and lists; the number fields take digits only.
    EnterKeyFilter::install(this, {QStringLiteral("Combo1"), QStringLiteral("Combo2"), QStringLiteral("Combo3"), QStringLiteral("Combo4"),
                                   QStringLiteral("Combo5"), QStringLiteral("Text1"), QStringLiteral("txtTitle")});
    EnterKeyFilter::install(this,
                            {QStringLiteral("imNumLite1"), QStringLiteral("imNumLite2"), QStringLiteral("imNumLite3"),
                             QStringLiteral("imNumLite4"), QStringLiteral("imNumLite5"), QStringLiteral("imNumLite6")},
                            EnterKeyFilter::Mode::EnterAndDigits);
}

SiteFormPane::~SiteFormPane() {
    // A picture still being read reports to this pane: it finishes while the pane is whole.
    m_picturePool->clear();
    m_picturePool->waitForDone();
}

void SiteFormPane::connectMirrors() {
    for (const listing::Mirror& m : listing::mirrors()) {
        QWidget* w = m_controls.value(m.control);
        const QString name = m.control;
        if (auto* box = qobject_cast<QCheckBox*>(w))
            connect(box, &QCheckBox::stateChanged, this, [this, name] { mirror(name); });
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            connect(combo, &QComboBox::currentIndexChanged, this, [this, name] { mirror(name); });
        else if (auto* edit = qobject_cast<QLineEdit*>(w))
            connect(edit, &QLineEdit::textChanged, this, [this, name] { mirror(name); });
        for (QRadioButton* option : m_options.value(m.control))
            connect(option, &QRadioButton::toggled, this, [this, name](bool on) {
                if (on) mirror(name);  // one handler run per choice, not one per button that changed
            });
    }
}

void SiteFormPane::setListDefaults(const ListDefaults& defaults) {
    const std::pair<const char*, int> lists[] = {
        {"Combo5", defaults.prefecture}, {"Combo1", defaults.duration}, {"Combo3", defaults.endHour}, {"Combo4", defaults.relisting}};
    for (const auto& [name, index] : lists)
        if (auto* combo = qobject_cast<QComboBox*>(m_controls.value(QLatin1String(name))); combo && index < combo->count())
            combo->setCurrentIndex(index);
}

QStringList SiteFormPane::pictures() const { return m_pictures->pictures(); }

void SiteFormPane::setPictures(const QStringList& paths) { m_pictures->setPictures(paths); }

QString SiteFormPane::categoryPath() const { return m_category->text(); }

QString SiteFormPane::categoryAddress() const {
    const QString kept = m_categoryAddress->text().trimmed();
    // Kept as the path on the listing host, so that a site moved to another host (or the
    // simulator on another port) still finds it.
    if (kept.startsWith(QLatin1Char('/'))) return SiteAddresses::host(SiteAddresses::kAuction) + kept;
    return kept;
}

void SiteFormPane::setCategory(const QString& path, const QString& address) {
    const QString host = SiteAddresses::host(SiteAddresses::kAuction);
    m_categoryAddress->setText(!host.isEmpty() && address.startsWith(host + QLatin1Char('/')) ? address.mid(host.size()) : address);
    m_category->setText(path);
}

void SiteFormPane::rememberCategory() {
    const std::optional<QString> path = site::ListingFormPage(m_wb).categoryPath();
    if (!path) return;
    setCategory(*path, m_wb->url().toString());
}

QWidget* SiteFormPane::buildFormFrame() {
    auto* form = named(new QGroupBox(QStringLiteral("Yahoo!出品ﾌｫｰﾑ")), QStringLiteral("fraForm"));
    auto* formLayout = new QVBoxLayout(form);
    auto* top = new QHBoxLayout;
    auto* back = named(new QPushButton(QStringLiteral("カテゴリへ戻る")), QStringLiteral("Command20"));
    top->addWidget(back);
    top->addWidget(new QLabel(QStringLiteral("※出品するカテゴリの選択をこちらからして下さい。")), 1);
    auto* queue = named(new QPushButton(QStringLiteral("出品キュー...")), QStringLiteral("cmdQUEUE"),
                        QStringLiteral("保存した出品を、1件ずつサイトの確認画面まで進めます。"));
    top->addWidget(queue);
    connect(queue, &QPushButton::clicked, this, &SiteFormPane::queueRequested);
    m_command7 = named(new QPushButton(QStringLiteral("確認")), QStringLiteral("Command7"));
    top->addWidget(m_command7);
    formLayout->addLayout(top);
    m_wb = named(new Browser, QStringLiteral("WB"), QStringLiteral("出品するカテゴリーの選択をこちらから行って下さい。(必須)"));
    formLayout->addWidget(m_wb, 1);
    connect(back, &QPushButton::clicked, this, &SiteFormPane::Command20_Click);
    return form;
}

void SiteFormPane::setListing(const QString& title, const QString& description) {
    m_txtTitle->setText(title);
    PlainText::setCrlf(m_txtDescription, description);
}

QString SiteFormPane::title() const { return m_txtTitle->text(); }
QString SiteFormPane::description() const { return PlainText::crlf(m_txtDescription); }

void SiteFormPane::setFocusScrollFlags(bool on) {
    m_titleScroll = on;
    m_descriptionScroll = on;
}

void SiteFormPane::mirror(const QString& control) {
    if (const listing::Mirror* m = listing::findMirror(control)) m_mirror->write(*m);
}

listing::Reach SiteFormPane::pushTitle() {
    // The counter follows the page: no title field there, no new count.
    const listing::Reach written = m_mirror->fill(QStringLiteral("タイトル"), m_txtTitle->text());
    if (written != listing::Reach::Reached) return written;
    const int bytes = mduInterFace::Byte_Len(m_txtTitle->text());
    CounterLabel::show(m_label18, bytes, bytes > listing::kTitleLimit);
    return listing::Reach::Reached;
}

listing::Reach SiteFormPane::pushDescription() { return m_mirror->fill(QStringLiteral("説明"), PlainText::crlf(m_txtDescription)); }

void SiteFormPane::txtTitle_Change() { pushTitle(); }

void SiteFormPane::txtDescription_Change() { pushDescription(); }

void SiteFormPane::Mirror_All() {
    QList<QPair<QString, listing::Reach>> pushed;
    for (const QString& name : listing::mirrorAllOrder()) {
        if (name == QLatin1String("txtTitle"))
            pushed.append({name, pushTitle()});
        else if (name == QLatin1String("txtDescription"))
            pushed.append({name, pushDescription()});
        else if (const listing::Mirror* m = listing::findMirror(name))
            pushed.append({name, m_mirror->write(*m)});
    }
    // A missing field stops nothing (each write is on its own), but the seller is told which.
    // The pages after the form (the picture, the site's confirmation) have none of its fields:
    // what the form took stays known until the next listing begins.
    const listing::FormCheck check = listing::checkForm(pushed);
    if (!check.formPage) return;
    // A form that did not take every field is kept as it was, once per page it came in.
    if (!check.notReached.isEmpty() && m_wb->url() != m_evidenceFor) {
        m_evidenceFor = m_wb->url();
        m_evidence = site::keepEvidence(
            m_wb, QStringLiteral("出品フォームに入らなかった項目: ") + listing::formCheckLines(check).join(QStringLiteral("、")));
    }
    m_formCheck = check;
    m_formCheckView->setCheck(m_formCheck, m_evidence);
}

void SiteFormPane::forgetFormCheck() {
    m_formCheck = listing::FormCheck();
    m_evidence.clear();
    m_evidenceFor.clear();
    m_formCheckView->setCheck(m_formCheck, m_evidence);
}

SiteFormPane::Fees SiteFormPane::fees() {
    Fees f;
    auto box = [this](const char* name) { return static_cast<QCheckBox*>(m_controls.value(QLatin1String(name)))->isChecked(); };
    f.choice.bold = box("Check35");
    f.choice.background = box("Check36");
    f.choice.freeShipping = box("Check37");
    f.choice.gift = box("Check38");
    // Entry 0 of the icon list is none.
    f.choice.eyeCatch = static_cast<QComboBox*>(m_controls.value(QStringLiteral("Combo2")))->currentIndex() > 0;
    f.choice.featuredPerDay = static_cast<QLineEdit*>(m_controls.value(QStringLiteral("imNumLite3")))->text();
    auto* duration = static_cast<QComboBox*>(m_controls.value(QStringLiteral("Combo1")));
    f.choice.days = duration->currentIndex() < 0 ? 0 : values::leadingInt(duration->currentText());
    m_feeFile.refresh();
    f.known = m_feeFile.ok();
    if (f.known) f.cost = listing::cost(f.choice, m_feeFile.table());
    return f;
}

bool SiteFormPane::reportFeeFile() {
    m_feeFile.refresh();
    if (m_feeFile.ok()) return true;
    const QString fault = m_feeFile.faultToTell();
    if (!fault.isEmpty()) m_ui.message(fault, QStringLiteral("有料オプション"), UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
    return false;
}

void SiteFormPane::showFees() {
    const Fees f = fees();
    // Broken while the seller is on the options: said now, not at the next visit.
    if (!f.known && m_tabs->currentIndex() == 1 && isVisible()) reportFeeFile();
    m_feeSummary->setEstimate(f);
}

bool SiteFormPane::eventFilter(QObject* watched, QEvent* event) {
    const bool in = event->type() == QEvent::FocusIn, out = event->type() == QEvent::FocusOut;
    // Switching to another window or opening a context menu is no entry into the box.
    const auto reason = in || out ? static_cast<QFocusEvent*>(event)->reason() : Qt::OtherFocusReason;
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return QWidget::eventFilter(watched, event);
    if ((in || out) && (watched == m_txtTitle || watched == m_txtDescription)) {
        bool& flag = watched == m_txtTitle ? m_titleScroll : m_descriptionScroll;
        if (out) {
            flag = true;
        } else if (flag) {
            flag = false;
            site::ListingFormPage(m_wb).scrollTo(watched == m_txtTitle ? QStringLiteral("タイトル") : QStringLiteral("説明"));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SiteFormPane::WB_DocumentComplete() {
    if (uploadingPictures()) {
        // The site's answer to one picture: the upload page again, listing one more.
        m_upload->pageFinished(m_wb->lastLoadOk() && m_wb->documentTitle().text() == site::uploadPageTitle());
        return;
    }
    if (!m_wb->lastLoadOk()) return;  // an error page is no step of the listing
    // Pages that finish while this runs (the prompt is modal) are handled after it, not inside it.
    const Browser::Hold hold(m_wb);
    site::ListingFormPage form(m_wb);
    const std::optional<QStringList> buttons = form.continueButtons();
    if (!buttons) return;
    // The start page, or the page just before a form: a new listing, whose form is still to come.
    const bool continuePage = buttons->contains(site::continueButtonText());
    if (continuePage || m_wb->url().toString() == SiteAddresses::submitStartUrl()) forgetFormCheck();
    // The page with the continue button is the category's own: the listing keeps it.
    if (continuePage) rememberCategory();
    for (const QString& value : *buttons) {
        if (value != site::continueButtonText()) continue;
        // The queue took this listing to its category on purpose: no question to answer.
        const auto answer = m_policy.continueUnasked ? UiServices::Answer::Yes
                                                     : m_ui.message(listing::kContinuePrompt, listing::kContinueCaption,
                                                                    UiServices::Icon::Information, UiServices::Buttons::YesNo, this);
        if (answer == UiServices::Answer::Yes) {
            if (!form.pressContinue()) return;
            m_continued = m_policy.continueUnasked;
        } else {
            m_wb->Navigate2(SiteAddresses::submitStartUrl());
        }
    }
    Mirror_All();
    const Browser::Result title = m_wb->documentTitle();
    if (!title) return;
    m_wb->scrollTo(0, title.text() != site::uploadPageTitle() ? site::pageScroll() : site::uploadPageScroll());
}

void SiteFormPane::Command20_Click() { m_wb->Navigate2(SiteAddresses::submitStartUrl()); }

void SiteFormPane::Command14_Click() {
    if (uploadingPictures() || m_upload->preparing()) return;  // one upload at a time: the page answers each in turn
    QString problem;
    if (pictures().isEmpty()) {
        // No picture chosen for the listing yet: the file dialog, and the choice becomes its first picture.
        const Browser::Hold hold(m_wb);
        if (!m_wb->clickById(site::uploadSelectButton())) return;
        if (!m_wb->scrollTo(0, 0)) return;
        const QString chosen =
            m_ui.openFileName(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), listing::kPictureFilter, this);
        if (!chosen.isEmpty()) m_imText3->setText(chosen);
        m_ui.setClipboardText(m_imText3->text());
        const QString path = m_imText3->text();
        m_imText3->clear();
        if (path.isEmpty()) return;
        setPictures({path});
    }
    if (!uploadPictures(&problem) && !problem.isEmpty())
        m_ui.message(problem, QStringLiteral("画像のアップロード"), UiServices::Icon::Warning, UiServices::Buttons::Ok, this);
}

bool SiteFormPane::uploadPictures(QString* problem) {
    problem->clear();
    if (uploadingPictures() || m_upload->preparing()) return false;
    const QStringList list = pictures().mid(0, site::maxPictures());
    if (list.isEmpty()) {
        *problem = QStringLiteral("アップロードする画像が選ばれていません。");
        return false;
    }
    const Browser::Result title = m_wb->documentTitle();
    if (!title || title.text() != site::uploadPageTitle()) {
        *problem =
            QStringLiteral("画像のアップロードのページが表示されていません。\r\n出品フォームの「続ける」の後のページで行って下さい。");
        return false;
    }
    std::optional<QStringList> copies;
    {
        // Pages that finish meanwhile are handled once the copies are there, as before the first is sent.
        const Browser::Hold hold(m_wb);
        copies = m_upload->prepare(list, m_picturePool, problem);
    }
    if (!copies) return false;
    m_upload->begin(*copies, list);
    return true;
}

bool SiteFormPane::uploadingPictures() const { return m_upload->busy(); }

void SiteFormPane::uploadEnded(const QString& problem) {
    // Who drives the pane tells a failure (the queue on its row, changing the policy as it
    // hears it); by hand the seller hears it now.
    const bool byHand = !m_policy.uploadProblemsToDriver;
    Q_EMIT picturesUploaded(problem);
    if (problem.isEmpty())
        m_wb->scrollTo(0, site::uploadPageScroll());
    else if (byHand)
        m_ui.message(problem, QStringLiteral("画像のアップロード"), UiServices::Icon::Warning, UiServices::Buttons::Ok, this);
}

listing::ListingWarnings SiteFormPane::listingWarnings() const {
    auto* startPrice = qobject_cast<QLineEdit*>(m_controls.value(QStringLiteral("imNumLite2")));
    return listing::listingWarnings(m_txtTitle->text(), startPrice ? startPrice->text() : QString());
}
