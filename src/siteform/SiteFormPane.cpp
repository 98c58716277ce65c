#include "siteform/SiteFormPane.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEvent>
#include <QFocusEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "core/UiServices.h"
#include "core/mduInterFace.h"
#include "settings/SiteAddresses.h"
#include "widgets/Browser.h"
#include "widgets/Named.h"
#include "widgets/CounterLabel.h"
#include "widgets/PlainText.h"
#include "widgets/VbCheck.h"

using siteform::Kind;

namespace {
constexpr int kTitleLimit = 30;  // bytes before the counter turns red


QWidget* scrolling(QWidget* page) {
    auto* area = new QScrollArea;
    area->setWidget(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return area;
}

// A caption, the field, and an optional unit, on one row of a grid.
void addRow(QGridLayout* grid, int row, const QString& caption, QWidget* field, const QString& unit = QString()) {
    grid->addWidget(new QLabel(caption), row, 0);
    grid->addWidget(field, row, 1);
    if (!unit.isEmpty()) grid->addWidget(new QLabel(unit), row, 2);
}

// Waits with the event loop running, polling, until `done` holds or the time is up.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}
}  // namespace

SiteFormPane::SiteFormPane(UiServices& ui, QWidget* parent) : QWidget(parent), m_ui(ui) {
    setObjectName(QStringLiteral("SiteFormPane"));
    auto* layout = new QHBoxLayout(this);

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    m_tabs = named(new QTabWidget, QStringLiteral("tabSYUPPINN"));
    m_tabs->addTab(scrolling(buildGoodsPage()), QStringLiteral("商品情報"));
    m_tabs->addTab(scrolling(buildOptionsPage()), QStringLiteral("オプション"));
    leftLayout->addWidget(m_tabs, 1);
    leftLayout->addWidget(buildUploadFrame());
    left->setMinimumWidth(440);
    left->setMaximumWidth(500);
    layout->addWidget(left, 0);
    layout->addWidget(buildFormFrame(), 1);

    for (const siteform::Mirror& m : siteform::mirrors()) {
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
    connect(m_txtTitle, &QLineEdit::textChanged, this, &SiteFormPane::txtTitle_Change);
    connect(m_txtDescription, &QPlainTextEdit::textChanged, this, &SiteFormPane::txtDescription_Change);
    m_txtTitle->installEventFilter(this);
    m_txtDescription->installEventFilter(this);
    connect(m_wb, &Browser::DocumentComplete, this, &SiteFormPane::WB_DocumentComplete);
}

QCheckBox* SiteFormPane::check(const QString& name) {
    for (const siteform::CheckBox& c : siteform::checkBoxes())
        if (c.name == name) {
            auto* box = named(new QCheckBox(c.caption), name);
            box->setChecked(c.tickedAtStart);
            m_controls.insert(name, box);
            return box;
        }
    return nullptr;
}

QComboBox* SiteFormPane::list(const QString& name, const QStringList& items) {
    auto* combo = named(new QComboBox, name);
    combo->addItems(items);
    combo->setCurrentIndex(-1);  // nothing chosen until start-up sets the defaults
    m_controls.insert(name, combo);
    return combo;
}

QLineEdit* SiteFormPane::number(const QString& name) {
    auto* edit = named(new QLineEdit, name);
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(120);
    m_controls.insert(name, edit);
    return edit;
}

QWidget* SiteFormPane::checkFrame(const QString& caption, const QString& objectName, const QStringList& names,
                                  int columns) {
    auto* frame = named(new QGroupBox(caption), objectName);
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < names.size(); ++i) grid->addWidget(check(names[i]), i / columns, i % columns);
    return frame;
}

QWidget* SiteFormPane::optionFrame(const QString& caption, const QString& array, const QString& first,
                                   const QString& second) {
    auto* frame = new QGroupBox(caption);
    auto* row = new QHBoxLayout(frame);
    auto* group = new QButtonGroup(frame);
    QList<QRadioButton*> buttons;
    for (const QString& text : {first, second}) {
        auto* b = named(new QRadioButton(text), QStringLiteral("%1_%2").arg(array).arg(buttons.size()));
        group->addButton(b);
        row->addWidget(b);
        buttons << b;
    }
    buttons[0]->setChecked(true);
    m_options.insert(array, buttons);
    return frame;
}

QWidget* SiteFormPane::buildGoodsPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    auto* basics = new QGridLayout;
    m_txtTitle = named(new QLineEdit, QStringLiteral("txtTitle"));
    m_label18 = named(new QLabel(QStringLiteral("0")), QStringLiteral("Label18"), QStringLiteral("バイト数を表示します。"));
    CounterLabel::prepare(m_label18);
    CounterLabel::show(m_label18, 0, false);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(m_txtTitle, 1);
    titleRow->addWidget(m_label18);
    basics->addWidget(new QLabel(QStringLiteral("タイトル")), 0, 0);
    basics->addLayout(titleRow, 0, 1, 1, 2);
    m_txtDescription = named(new QPlainTextEdit, QStringLiteral("txtDescription"));
    m_txtDescription->setTabChangesFocus(true);
    m_txtDescription->setFixedHeight(90);
    basics->addWidget(new QLabel(QStringLiteral("説明")), 1, 0, Qt::AlignTop);
    basics->addWidget(m_txtDescription, 1, 1, 1, 2);
    auto* quantity = number(QStringLiteral("imNumLite1"));
    quantity->setText(QStringLiteral("1"));
    addRow(basics, 2, QStringLiteral("数量"), quantity);
    addRow(basics, 3, QStringLiteral("開始価格"), number(QStringLiteral("imNumLite2")), QStringLiteral("円"));
    addRow(basics, 4, QStringLiteral("期間"), list(QStringLiteral("Combo1"), siteform::durations()));
    basics->setColumnStretch(2, 1);
    v->addLayout(basics);

    QStringList payments;
    for (int n = 16; n <= 27; ++n) payments << QStringLiteral("Check%1").arg(n);
    v->addWidget(checkFrame(QStringLiteral("販売方法"), QStringLiteral("fraPayment"), payments, 2));
    auto* options = new QHBoxLayout;
    options->addWidget(optionFrame(QStringLiteral("送料負担"), QStringLiteral("optHANBAI"),
                                   QStringLiteral("落札者が送料を負担"), QStringLiteral("出品者が送料を負担")));
    v->addLayout(options);
    v->addWidget(optionFrame(QStringLiteral("発送時期"), QStringLiteral("optHANBAI2"),
                             QStringLiteral("支払い終了時に発送"), QStringLiteral("ｵｰｸｼｮﾝ終了時に発送")));
    v->addWidget(checkFrame(QStringLiteral("発送"), QStringLiteral("fraShipping"),
                            {QStringLiteral("Check28"), QStringLiteral("Check29")}, 2));

    auto* region = named(new QGroupBox(QStringLiteral("出品者の地域")), QStringLiteral("fraRegion"));
    auto* regionGrid = new QGridLayout(region);
    addRow(regionGrid, 0, QStringLiteral("都道府県"), list(QStringLiteral("Combo5"), siteform::sellerRegions()));
    auto* city = named(new QLineEdit, QStringLiteral("Text1"));
    m_controls.insert(QStringLiteral("Text1"), city);
    addRow(regionGrid, 1, QStringLiteral("市区町村"), city);
    regionGrid->setColumnStretch(1, 1);
    v->addWidget(region);
    v->addStretch(1);
    return page;
}

QWidget* SiteFormPane::buildOptionsPage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    auto* featured = named(new QGroupBox(QStringLiteral("注目のｵｰｸｼｮﾝ")), QStringLiteral("fraFeatured"));
    auto* featuredRow = new QHBoxLayout(featured);
    featuredRow->addWidget(new QLabel(QStringLiteral("1日あたり")));
    featuredRow->addWidget(number(QStringLiteral("imNumLite3")));
    featuredRow->addWidget(new QLabel(QStringLiteral("円")));
    featuredRow->addStretch(1);
    v->addWidget(featured);

    auto* paid = named(new QGroupBox(QStringLiteral("有料ｵﾌﾟｼｮﾝ")), QStringLiteral("fraPaid"));
    auto* paidGrid = new QGridLayout(paid);
    const QStringList paidChecks{QStringLiteral("Check35"), QStringLiteral("Check36"), QStringLiteral("Check37"),
                                 QStringLiteral("Check38")};
    for (int i = 0; i < paidChecks.size(); ++i) paidGrid->addWidget(check(paidChecks[i]), i / 2, (i % 2) * 2, 1, 2);
    addRow(paidGrid, 2, QStringLiteral("目立ちアイコン"), list(QStringLiteral("Combo2"), siteform::eyeCatchIcons()));
    v->addWidget(paid);

    auto* prices = new QGridLayout;
    addRow(prices, 0, QStringLiteral("即買価格"), number(QStringLiteral("imNumLite4")), QStringLiteral("円"));
    addRow(prices, 1, QStringLiteral("最低落札価格"), number(QStringLiteral("imNumLite5")), QStringLiteral("円"));
    addRow(prices, 2, QStringLiteral("希望落札価格"), number(QStringLiteral("imNumLite6")), QStringLiteral("円"));
    prices->setColumnStretch(2, 1);
    v->addLayout(prices);

    v->addWidget(checkFrame(QStringLiteral("エスクロー"), QStringLiteral("fraEscrow"),
                            {QStringLiteral("Check30"), QStringLiteral("Check31")}, 2));
    v->addWidget(checkFrame(QStringLiteral("無料オプション"), QStringLiteral("fraFree"),
                            {QStringLiteral("Check39"), QStringLiteral("Check40"), QStringLiteral("Check41")}, 2));

    auto* end = new QGridLayout;
    addRow(end, 0, QStringLiteral("終了時間"), list(QStringLiteral("Combo3"), siteform::endHours()));
    addRow(end, 1, QStringLiteral("自動再出品"), list(QStringLiteral("Combo4"), siteform::relistings()));
    end->setColumnStretch(2, 1);
    v->addLayout(end);
    v->addStretch(1);
    return page;
}

QWidget* SiteFormPane::buildUploadFrame() {
    auto* frame = named(new QGroupBox(QStringLiteral("画像のアップロード")), QStringLiteral("fraUpload"));
    auto* v = new QVBoxLayout(frame);
    auto* row = new QHBoxLayout;
    auto* upload = named(new QPushButton(QStringLiteral("画像ｱｯﾌﾟﾛｰﾄﾞ")), QStringLiteral("Command14"));
    row->addWidget(upload);
    row->addWidget(new QLabel(QStringLiteral("<<画像アップロードは右画面から行って下さい。>>")), 1);
    v->addLayout(row);
    for (int i = 0; i < 3; ++i) {
        auto* path = named(new QLabel, QStringLiteral("A_%1").arg(i), QStringLiteral("アップロードする画像のﾊﾟｽを表示します。"));
        path->setTextFormat(Qt::PlainText);
        path->setFrameShape(QFrame::StyledPanel);
        path->setMinimumHeight(20);
        v->addWidget(path);
    }
    // Holds the chosen path during an upload only; nothing to look at.
    m_imText3 = named(new QLineEdit, QStringLiteral("imText3"));
    m_imText3->setVisible(false);
    v->addWidget(m_imText3);
    connect(upload, &QPushButton::clicked, this, &SiteFormPane::Command14_Click);
    return frame;
}

QWidget* SiteFormPane::buildFormFrame() {
    auto* form = named(new QGroupBox(QStringLiteral("Yahoo!出品ﾌｫｰﾑ")), QStringLiteral("fraForm"));
    auto* formLayout = new QVBoxLayout(form);
    auto* top = new QHBoxLayout;
    auto* back = named(new QPushButton(QStringLiteral("カテゴリへ戻る")), QStringLiteral("Command20"));
    top->addWidget(back);
    top->addWidget(new QLabel(QStringLiteral("※出品するカテゴリの選択をこちらからして下さい。")), 1);
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

void SiteFormPane::setFocusScrollFlags(bool on) {
    m_titleScroll = on;
    m_descriptionScroll = on;
}

void SiteFormPane::mirror(const QString& control) {
    if (const siteform::Mirror* m = siteform::findMirror(control)) writeMirror(*m);
}

void SiteFormPane::writeMirror(const siteform::Mirror& m) {
    // Each step needs the one before: a page that cannot scroll is not written either.
    if (!m_wb->scrollTo(0, m.scrollY)) return;
    QWidget* w = m_controls.value(m.control);
    switch (m.kind) {
        case Kind::Check:
            m_wb->setCheckedById(m.element, VbCheck::value(static_cast<QCheckBox*>(w)));
            break;
        case Kind::List:
            m_wb->setSelectedIndexById(m.element,
                                       siteform::listValue(m.control, static_cast<QComboBox*>(w)->currentIndex()));
            break;
        case Kind::Number:
        case Kind::Text:
            m_wb->setValueById(m.element, static_cast<QLineEdit*>(w)->text());
            break;
        case Kind::Option: {
            const QList<QRadioButton*>& pair = m_options.value(m.control);
            m_wb->setPairCheckedByName(m.element, pair[0]->isChecked(), pair[1]->isChecked());
            break;
        }
    }
}

void SiteFormPane::txtTitle_Change() {
    // The counter follows the page: no title field there, no new count.
    if (!m_wb->setValueById(QStringLiteral("Title"), m_txtTitle->text())) return;
    const int bytes = mduInterFace::Byte_Len(m_txtTitle->text());
    CounterLabel::show(m_label18, bytes, bytes > kTitleLimit);
}

void SiteFormPane::txtDescription_Change() {
    m_wb->setValueById(QStringLiteral("Description"), PlainText::crlf(m_txtDescription));
}

void SiteFormPane::Mirror_All() {
    for (const QString& name : siteform::mirrorAllOrder()) {
        if (name == QLatin1String("txtTitle"))
            txtTitle_Change();
        else if (name == QLatin1String("txtDescription"))
            txtDescription_Change();
        else
            mirror(name);
    }
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
            m_wb->scrollTo(0, watched == m_txtTitle ? siteform::kTitleFocusScrollY : siteform::kDescriptionFocusScrollY);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SiteFormPane::WB_DocumentComplete() {
    if (!m_wb->lastLoadOk()) return;  // an error page is no step of the listing
    // Pages that finish while this runs (the prompt is modal) are handled after it, not inside it.
    const Browser::Hold hold(m_wb);
    Browser::Outcome outcome;
    const QList<Browser::NamedElement> buttons = m_wb->elementsByName(siteform::kContinueName, Browser::kDefaultTimeoutMs, &outcome);
    if (outcome != Browser::Outcome::Done) return;
    for (const Browser::NamedElement& e : buttons) {
        if (e.value != siteform::kContinueValue) continue;
        const auto answer = m_ui.message(siteform::kContinuePrompt, siteform::kContinueCaption,
                                         UiServices::Icon::Information, UiServices::Buttons::YesNo, this);
        if (answer == UiServices::Answer::Yes) {
            if (!m_wb->clickById(siteform::kContinueName)) return;
        } else {
            m_wb->Navigate2(SiteAddresses::submitStartUrl());
        }
    }
    Mirror_All();
    const Browser::Result title = m_wb->documentTitle();
    if (!title) return;
    m_wb->scrollTo(0, title.text() != siteform::kUploadPageTitle ? siteform::kPageScrollY : siteform::kUploadPageScrollY);
}

void SiteFormPane::Command20_Click() { m_wb->Navigate2(SiteAddresses::submitStartUrl()); }

void SiteFormPane::Command14_Click() {
    // The upload page answers the upload with a new page; it is looked at after this, not half-way.
    const Browser::Hold hold(m_wb);
    if (!m_wb->clickById(QStringLiteral("select"))) return;
    if (!m_wb->scrollTo(0, 0)) return;
    const QString chosen = m_ui.openFileName(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                                             siteform::kPictureFilter, this);
    if (!chosen.isEmpty()) m_imText3->setText(chosen);
    m_ui.setClipboardText(m_imText3->text());
    const QString path = m_imText3->text();
    m_imText3->clear();
    // The label shows what this upload sent: nothing when the dialog was cancelled or the page took no file.
    auto* shown = findChild<QLabel*>(QStringLiteral("A_0"));
    shown->setText(!path.isEmpty() && uploadThroughPage(path) ? path : QString());
}

bool SiteFormPane::uploadThroughPage(const QString& path) {
    // From the clicked element, four Tabs reach the page's file field; the
    // field's chooser is answered with the chosen file (a typed path is not
    // taken by the engine); two Tabs then reach the upload button. Every key
    // goes to this browser's page only.
    m_wb->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < 4; ++i) m_wb->sendKey(Qt::Key_Tab);
    m_wb->answerNextFileChooser({path});
    m_wb->sendKey(Qt::Key_Space);
    const bool chosen = waitFor([this] { return m_wb->fileChooserAnswered(); }, 5000);
    m_wb->forgetFileChooserAnswer();
    if (!chosen) return false;  // the page had no file field where the site keeps it
    // The page takes the file a moment after the chooser closes; the button must not be pressed before.
    const bool taken = waitFor(
        [this] {
            return m_wb->evaluate(QStringLiteral("var e=document.activeElement;return !!(e&&e.files&&e.files.length);"))
                .value.toBool();
        },
        5000);
    if (!taken) return false;
    for (int i = 0; i < 2; ++i) m_wb->sendKey(Qt::Key_Tab);
    m_wb->sendKey(Qt::Key_Return);
    return true;
}
