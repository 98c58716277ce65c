#include "listing/form/SiteFormPane.h"
#include "listing/preflight/PreflightWindow.h"
#include "site/ListingForm.h"
#include "site/Evidence.h"
#include "site/SitePages.h"
#include "listing/pictures/Picture.h"

#include <QButtonGroup>
#include <algorithm>
#include <atomic>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QEvent>
#include <QFocusEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QPixmap>
#include <QHBoxLayout>
#include <QLabel>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStyle>
#include <QTabWidget>
#include <QThreadPool>
#include <QTimer>
#include <QDir>
#include <QVBoxLayout>

#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "core/Values.h"
#include "core/mduInterFace.h"
#include "settings/SiteAddresses.h"
#include "widgets/ScreenFit.h"
#include "widgets/Browser.h"
#include "widgets/EnterKeyFilter.h"
#include "widgets/Named.h"
#include "widgets/CounterLabel.h"
#include "widgets/PlainText.h"
#include "widgets/VbCheck.h"


namespace {

constexpr int kThumb = 64;
// The site answers an upload with its page again; longer than this is no answer.
constexpr int kUploadWaitMs = 30000;
// A page that lists no new picture is the site's refusal once nothing else comes for this long.
constexpr int kRefusalWaitMs = 2000;

// A picture read before is read again once its file changes.
QString fileStamp(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return QString();
    return QStringLiteral("%1 %2").arg(info.lastModified().toMSecsSinceEpoch()).arg(info.size());
}

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
    m_picturePool = new QThreadPool(this);
    m_picturePool->setMaxThreadCount(1);
    auto* layout = new QHBoxLayout(ScreenFit::scrollingContent(this));

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    m_tabs = named(new QTabWidget, QStringLiteral("tabSYUPPINN"));
    m_tabs->addTab(scrolling(buildGoodsPage()), QStringLiteral("商品情報"));
    m_tabs->addTab(scrolling(buildOptionsPage()), QStringLiteral("オプション"));
    leftLayout->addWidget(m_tabs, 1);
    leftLayout->addWidget(buildFormCheckFrame());
    leftLayout->addWidget(buildUploadFrame());
    left->setMinimumWidth(440);
    left->setMaximumWidth(500);
    layout->addWidget(left, 0);
    layout->addWidget(buildFormFrame(), 1);

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
    showFormCheck();

    // Enter moves on from the single-line fields and lists; the number fields take digits only.
    EnterKeyFilter::install(this, {QStringLiteral("Combo1"), QStringLiteral("Combo2"), QStringLiteral("Combo3"),
                                   QStringLiteral("Combo4"), QStringLiteral("Combo5"), QStringLiteral("Text1"),
                                   QStringLiteral("txtTitle")});
    EnterKeyFilter::install(this, {QStringLiteral("imNumLite1"), QStringLiteral("imNumLite2"), QStringLiteral("imNumLite3"),
                                   QStringLiteral("imNumLite4"), QStringLiteral("imNumLite5"), QStringLiteral("imNumLite6")},
                            EnterKeyFilter::Mode::EnterAndDigits);
}

void SiteFormPane::setListDefaults(const ListDefaults& defaults) {
    const std::pair<const char*, int> lists[] = {
        {"Combo5", defaults.prefecture}, {"Combo1", defaults.duration}, {"Combo3", defaults.endHour}, {"Combo4", defaults.relisting}};
    for (const auto& [name, index] : lists)
        if (auto* combo = qobject_cast<QComboBox*>(m_controls.value(QLatin1String(name))); combo && index < combo->count())
            combo->setCurrentIndex(index);
}

QCheckBox* SiteFormPane::check(const QString& name) {
    for (const listing::CheckBox& c : listing::checkBoxes())
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
    addRow(basics, 4, QStringLiteral("期間"), list(QStringLiteral("Combo1"), listing::durations()));
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
    addRow(regionGrid, 0, QStringLiteral("都道府県"), list(QStringLiteral("Combo5"), listing::sellerRegions()));
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
    addRow(paidGrid, 2, QStringLiteral("目立ちアイコン"), list(QStringLiteral("Combo2"), listing::eyeCatchIcons()));
    v->addWidget(paid);

    auto* fees = named(new QGroupBox(QStringLiteral("有料オプションの料金（目安）")), QStringLiteral("fraFees"));
    auto* feeLayout = new QVBoxLayout(fees);
    m_feeLines = named(new QLabel, QStringLiteral("lblFees"),
                       QStringLiteral("選んだ有料オプションの料金です。料金は MAST フォルダの「有料オプション.csv」で変えられます。"));
    m_feeLines->setTextFormat(Qt::RichText);
    m_feeLines->setWordWrap(true);
    feeLayout->addWidget(m_feeLines);
    m_feeTotal = named(new QLabel, QStringLiteral("lblFeeTotal"));
    m_feeTotal->setTextFormat(Qt::PlainText);
    m_feeTotal->setAlignment(Qt::AlignRight);
    QFont bold = m_feeTotal->font();
    bold.setBold(true);
    m_feeTotal->setFont(bold);
    feeLayout->addWidget(m_feeTotal);
    v->addWidget(fees);

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
    addRow(end, 0, QStringLiteral("終了時間"), list(QStringLiteral("Combo3"), listing::endHours()));
    addRow(end, 1, QStringLiteral("自動再出品"), list(QStringLiteral("Combo4"), listing::relistings()));
    end->setColumnStretch(2, 1);
    v->addLayout(end);
    v->addStretch(1);
    return page;
}

QWidget* SiteFormPane::buildFormCheckFrame() {
    auto* frame = named(new QGroupBox(QStringLiteral("出品フォームへの入力")), QStringLiteral("fraFormCheck"));
    auto* v = new QVBoxLayout(frame);
    m_formCheckText = named(new QLabel, QStringLiteral("lblFormCheck"));
    m_formCheckText->setTextFormat(Qt::PlainText);
    m_formCheckText->setWordWrap(true);
    v->addWidget(m_formCheckText);
    m_formCheckList = named(new QListWidget, QStringLiteral("lstFormCheck"),
                            QStringLiteral("出品フォームに入らなかった項目です。サイトの出品フォームで直接入力して下さい。"));
    m_formCheckList->setMaximumHeight(m_formCheckList->fontMetrics().height() * 4 + 10);
    m_formCheckList->setFocusPolicy(Qt::NoFocus);
    v->addWidget(m_formCheckList);
    return frame;
}

QWidget* SiteFormPane::buildUploadFrame() {
    auto* frame = named(new QGroupBox(QStringLiteral("カテゴリと画像")), QStringLiteral("fraUpload"));
    auto* v = new QVBoxLayout(frame);
    auto* categoryRow = new QHBoxLayout;
    categoryRow->addWidget(new QLabel(QStringLiteral("カテゴリ")));
    m_categoryShown = named(new QLabel, QStringLiteral("lblCategory"),
                            QStringLiteral("この出品のカテゴリです。出品フォームの前のページ（続けるボタンのあるページ）で覚えます。"));
    m_categoryShown->setTextFormat(Qt::PlainText);
    m_categoryShown->setWordWrap(true);
    categoryRow->addWidget(m_categoryShown, 1);
    v->addLayout(categoryRow);
    // What the memory file keeps: the path as the site showed it, and the page that returns to it.
    m_category = named(new QLineEdit, QStringLiteral("txtCategory"));
    m_category->setVisible(false);
    m_categoryAddress = named(new QLineEdit, QStringLiteral("txtCategoryAddress"));
    m_categoryAddress->setVisible(false);
    v->addWidget(m_category);
    v->addWidget(m_categoryAddress);
    connect(m_category, &QLineEdit::textChanged, this, [this](const QString& path) {
        m_categoryShown->setText(path.isEmpty() ? QStringLiteral("（まだ選ばれていません）") : path);
    });
    m_categoryShown->setText(QStringLiteral("（まだ選ばれていません）"));
    v->addWidget(buildPictureFrame());

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
    m_uploadTimer = new QTimer(this);
    m_uploadTimer->setSingleShot(true);
    m_uploadTimer->setInterval(kUploadWaitMs);
    m_refusalWait = new QTimer(this);
    m_refusalWait->setSingleShot(true);
    m_refusalWait->setInterval(kRefusalWaitMs);
    connect(m_refusalWait, &QTimer::timeout, this, [this] {
        if (!uploadingPictures()) return;
        m_uploadTimer->stop();
        afterUpload(true);
    });
    connect(m_uploadTimer, &QTimer::timeout, this,
            [this] { endUpload(QStringLiteral("画像のアップロードにサイトが応答しませんでした。")); });
    return frame;
}

SiteFormPane::~SiteFormPane() {
    // A picture still being read reports to this pane: it finishes while the pane is whole.
    m_picturePool->clear();
    m_picturePool->waitForDone();
}

QWidget* SiteFormPane::buildPictureFrame() {
    auto* box = new QWidget;
    auto* h = new QHBoxLayout(box);
    h->setContentsMargins(0, 0, 0, 0);
    m_pictureList = named(new QListWidget, QStringLiteral("lstPICTURE"),
                          QStringLiteral("出品する画像です（3枚まで）。左から順にアップロードします。"));
    m_pictureList->setViewMode(QListView::IconMode);
    m_pictureList->setIconSize(QSize(kThumb, kThumb));
    m_pictureList->setFlow(QListView::LeftToRight);
    m_pictureList->setWrapping(false);
    m_pictureList->setMovement(QListView::Static);
    m_pictureList->setGridSize(QSize(kThumb + 24, kThumb + 10));
    m_pictureList->setFixedHeight(kThumb + 20);
    m_pictureList->setMinimumWidth(3 * (kThumb + 24) + 8);
    h->addWidget(m_pictureList);
    auto* buttons = new QGridLayout;
    auto* add = named(new QPushButton(QStringLiteral("画像を選ぶ...")), QStringLiteral("cmdPICADD"));
    m_pictureAdd = add;
    auto* earlier = named(new QPushButton(QStringLiteral("◀ 前へ")), QStringLiteral("cmdPICUP"));
    auto* later = named(new QPushButton(QStringLiteral("後へ ▶")), QStringLiteral("cmdPICDOWN"));
    auto* clear = named(new QPushButton(QStringLiteral("クリア")), QStringLiteral("cmdPICCLEAR"),
                        QStringLiteral("画像をこの出品から外します。画像のファイルはそのままです。"));
    buttons->addWidget(add, 0, 0, 1, 2);
    buttons->addWidget(earlier, 1, 0);
    buttons->addWidget(later, 1, 1);
    buttons->addWidget(clear, 2, 0, 1, 2);
    h->addLayout(buttons);
    h->addStretch(1);
    for (int i = 0; i < 3; ++i) {
        auto* key = named(new QLineEdit, QStringLiteral("txtPicture_%1").arg(i));
        key->setVisible(false);
        h->addWidget(key);
        m_pictureKeys << key;
        connect(key, &QLineEdit::textChanged, this, &SiteFormPane::showPictures);
    }
    connect(add, &QPushButton::clicked, this, &SiteFormPane::choosePicture);
    connect(earlier, &QPushButton::clicked, this, [this] { movePicture(-1); });
    connect(later, &QPushButton::clicked, this, [this] { movePicture(1); });
    // クリア takes the picture chosen in the list, or every picture when none is.
    connect(clear, &QPushButton::clicked, this, [this] {
        QStringList list = pictures();
        const int at = m_pictureList->currentRow();
        if (at >= 0 && at < list.size() && m_pictureList->currentItem()->isSelected()) list.removeAt(at);
        else list.clear();
        setPictures(list);
    });
    return box;
}

QStringList SiteFormPane::pictures() const {
    QStringList list;
    for (QLineEdit* key : m_pictureKeys)
        if (!key->text().trimmed().isEmpty()) list << key->text().trimmed();
    return list;
}

void SiteFormPane::setPictures(const QStringList& paths) {
    for (int i = 0; i < m_pictureKeys.size(); ++i) {
        const QSignalBlocker quiet(m_pictureKeys[i]);
        m_pictureKeys[i]->setText(paths.value(i));
    }
    showPictures();
}

void SiteFormPane::showPictures() {
    const QStringList list = pictures();
    const int current = m_pictureList->currentRow();
    m_pictureList->clear();
    for (int i = 0; i < 3; ++i)
        if (auto* shown = findChild<QLabel*>(QStringLiteral("A_%1").arg(i))) shown->setText(list.value(i));
    for (const QString& path : list) {
        auto* item = new QListWidgetItem(QFileInfo(path).fileName());
        item->setData(Qt::UserRole, path);
        const auto known = m_thumbnails.constFind(path);
        if (known != m_thumbnails.constEnd() && known->stamp == fileStamp(path)) {
            if (!known->problem.isEmpty()) {
                item->setToolTip(known->problem);
                item->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
            } else {
                item->setToolTip(path);
                item->setIcon(QIcon(QPixmap::fromImage(known->image)));
            }
        } else {
            item->setToolTip(QStringLiteral("%1\r\n読み込んでいます。").arg(path));
            askThumbnail(path);
        }
        m_pictureList->addItem(item);
    }
    if (current >= 0 && current < m_pictureList->count()) m_pictureList->setCurrentRow(current);
}

void SiteFormPane::askThumbnail(const QString& path) {
    const QString stamp = fileStamp(path);
    const auto asked = m_thumbnailsAsked.constFind(path);
    if (asked != m_thumbnailsAsked.constEnd() && *asked == stamp) return;
    m_thumbnailsAsked.insert(path, stamp);
    m_picturePool->start([this, path, stamp] {
        const picture::Read read = picture::read(path, kThumb);
        QMetaObject::invokeMethod(
            this,
            [this, path, stamp, read] {
                if (m_thumbnailsAsked.value(path) == stamp) m_thumbnailsAsked.remove(path);
                m_thumbnails.insert(path, Thumbnail{stamp, read.image, read.problem});
                for (int i = 0; i < m_pictureList->count(); ++i) {
                    QListWidgetItem* item = m_pictureList->item(i);
                    if (item->data(Qt::UserRole).toString() != path) continue;
                    item->setToolTip(read.problem.isEmpty() ? path : read.problem);
                    item->setIcon(read.problem.isEmpty() ? QIcon(QPixmap::fromImage(read.image))
                                                         : style()->standardIcon(QStyle::SP_MessageBoxWarning));
                }
            },
            Qt::QueuedConnection);
    });
}

void SiteFormPane::choosePicture() {
    QStringList list = pictures();
    if (list.size() >= site::maxPictures()) {
        m_ui.message(site::pictureRule() + QStringLiteral("\r\n別の画像にするときは、先にクリアで外して下さい。"), QStringLiteral("画像"),
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }
    const QString chosen = m_ui.openFileName(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                                             picture::choiceFilter(), this);
    if (chosen.isEmpty()) return;
    // A picture joins the listing once it is known to read whole; the window goes on meanwhile
    // and 画像を選ぶ waits for the answer.
    m_pictureAdd->setEnabled(false);
    const QString stamp = fileStamp(chosen);
    m_picturePool->start([this, chosen, stamp] {
        const picture::Read read = picture::read(chosen, kThumb);
        QMetaObject::invokeMethod(
            this,
            [this, chosen, stamp, read] {
                m_pictureAdd->setEnabled(true);
                m_thumbnails.insert(chosen, Thumbnail{stamp, read.image, read.problem});
                if (!read.problem.isEmpty()) {
                    m_ui.message(read.problem + QStringLiteral("\r\nこの画像は出品に加えていません。"), QStringLiteral("画像"),
                                 UiServices::Icon::Warning, UiServices::Buttons::Ok, this);
                    return;
                }
                QStringList now = pictures();
                if (now.size() >= site::maxPictures()) return;  // filled meanwhile (a memory file opened)
                now << chosen;
                setPictures(now);
                m_pictureList->setCurrentRow(now.size() - 1);
            },
            Qt::QueuedConnection);
    });
}

void SiteFormPane::movePicture(int by) {
    QStringList list = pictures();
    const int at = m_pictureList->currentRow();
    const int to = at + by;
    if (at < 0 || at >= list.size() || to < 0 || to >= list.size()) return;
    list.move(at, to);
    setPictures(list);
    m_pictureList->setCurrentRow(to);
}

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
    if (const listing::Mirror* m = listing::findMirror(control)) writeMirror(*m);
}

namespace {
listing::Reach reachOf(const Browser::Result& r) {
    switch (r.outcome) {
        case Browser::Outcome::Done:
            return listing::Reach::Reached;
        case Browser::Outcome::Missing:
            return listing::Reach::Missing;
        case Browser::Outcome::NoAnswer:
            break;
    }
    return listing::Reach::NoAnswer;
}
}  // namespace

listing::Reach SiteFormPane::writeMirror(const listing::Mirror& m) {
    const site::FormField* field = site::formField(m.meaning);
    if (!field) return listing::Reach::Missing;
    site::ListingFormPage form(m_wb);
    // Each step needs the one before: a page that cannot scroll is not written either.
    const Browser::Result scrolled = form.scrollTo(m.meaning);
    if (!scrolled) return reachOf(scrolled);
    QWidget* w = m_controls.value(m.control);
    switch (field->kind) {
        case site::FieldKind::Check:
            return reachOf(form.check(m.meaning, VbCheck::value(static_cast<QCheckBox*>(w))));
        case site::FieldKind::List:
            return reachOf(form.choose(m.meaning, static_cast<QComboBox*>(w)->currentIndex()));
        case site::FieldKind::Text:
            return reachOf(form.fill(m.meaning, static_cast<QLineEdit*>(w)->text()));
        case site::FieldKind::Option: {
            const QList<QRadioButton*>& pair = m_options.value(m.control);
            return reachOf(form.choosePair(m.meaning, pair[0]->isChecked(), pair[1]->isChecked()));
        }
    }
    return listing::Reach::NoAnswer;
}

listing::Reach SiteFormPane::pushTitle() {
    // The counter follows the page: no title field there, no new count.
    const Browser::Result written = site::ListingFormPage(m_wb).fill(QStringLiteral("タイトル"), m_txtTitle->text());
    if (!written) return reachOf(written);
    const int bytes = mduInterFace::Byte_Len(m_txtTitle->text());
    CounterLabel::show(m_label18, bytes, bytes > listing::kTitleLimit);
    return listing::Reach::Reached;
}

listing::Reach SiteFormPane::pushDescription() {
    return reachOf(site::ListingFormPage(m_wb).fill(QStringLiteral("説明"), PlainText::crlf(m_txtDescription)));
}

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
            pushed.append({name, writeMirror(*m)});
    }
    // A missing field stops nothing (each write is on its own), but the seller is told which.
    // The pages after the form (the picture, the site's confirmation) have none of its fields:
    // what the form took stays known until the next listing begins.
    const listing::FormCheck check = listing::checkForm(pushed);
    if (!check.formPage) return;
    // A form that did not take every field is kept as it was, once per page it came in.
    if (!check.notReached.isEmpty() && m_wb->url() != m_evidenceFor) {
        m_evidenceFor = m_wb->url();
        m_evidence = site::keepEvidence(m_wb, QStringLiteral("出品フォームに入らなかった項目: ") +
                                                  listing::formCheckLines(check).join(QStringLiteral("、")));
    }
    m_formCheck = check;
    showFormCheck();
}

void SiteFormPane::forgetFormCheck() {
    m_formCheck = listing::FormCheck();
    m_evidence.clear();
    m_evidenceFor.clear();
    showFormCheck();
}

void SiteFormPane::showFormCheck() {
    const QStringList lines = listing::formCheckLines(m_formCheck);
    m_formCheckList->clear();
    m_formCheckList->addItems(lines);
    m_formCheckList->setVisible(!lines.isEmpty());
    QPalette palette = m_formCheckText->palette();
    palette.setColor(QPalette::WindowText, lines.isEmpty() ? this->palette().color(QPalette::WindowText) : QColor(0xC0, 0, 0));
    m_formCheckText->setPalette(palette);
    if (!m_formCheck.formPage)
        m_formCheckText->setText(QStringLiteral("出品フォームを開くと、各項目がページに入ったかをここに表示します。"));
    else if (lines.isEmpty())
        m_formCheckText->setText(QStringLiteral("すべての項目が出品フォームに入りました。"));
    else
        m_formCheckText->setText(QStringLiteral("%1 項目が出品フォームに入りませんでした。サイトの出品フォームで直接入力して下さい。")
                                     .arg(lines.size()) +
                                 (m_evidence.isEmpty() ? QString() : QStringLiteral("（ページを %1 に残しました）").arg(m_evidence)));
}

QString SiteFormPane::feeFile() { return ProgramFolder::mast() + listing::kFeeFileName; }

void SiteFormPane::loadFees() {
    const QFileInfo info(feeFile());
    const QString stamp = info.exists() ? info.lastModified().toString(Qt::ISODateWithMs) + QLatin1Char('/') + QString::number(info.size())
                                        : QString();
    if (m_feeFile != FeeFile::NotRead && stamp == m_feeStamp) return;
    m_feeStamp = stamp;
    m_feeTable = listing::FeeTable();
    QString text;
    switch (TextFile::readCp932Text(feeFile(), &text)) {
        case TextFile::Read::Missing:
            m_feeFile = FeeFile::Missing;
            return;
        case TextFile::Read::NotText:
            m_feeFile = FeeFile::NotText;
            return;
        case TextFile::Read::Ok:
            break;
    }
    m_feeTable = listing::parseFees(text);
    m_feeFile = m_feeTable.ok() ? FeeFile::Ok : FeeFile::Malformed;
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
    loadFees();
    f.known = m_feeFile == FeeFile::Ok;
    if (f.known) f.cost = listing::cost(f.choice, m_feeTable);
    return f;
}

bool SiteFormPane::reportFeeFile() {
    loadFees();
    if (m_feeFile == FeeFile::Ok) return true;
    const QString fault = m_feeStamp + QLatin1Char('|') + QString::number(static_cast<int>(m_feeFile));
    if (fault == m_feeReported) return false;
    m_feeReported = fault;
    QString text;
    if (m_feeFile == FeeFile::Missing)
        text = QStringLiteral("有料オプションの料金表が見つかりません。\r\n") + feeFile();
    else if (m_feeFile == FeeFile::NotText)
        text = QStringLiteral("有料オプションの料金表を読み込めませんでした。\r\nShift-JIS（CP932）のテキストファイルか確認して下さい。\r\n") +
               feeFile();
    else if (!m_feeTable.missingOption.isEmpty())
        text = QStringLiteral("有料オプションの料金表に「%1」の料金がありません。\r\n").arg(m_feeTable.missingOption) + feeFile();
    else
        text = QStringLiteral("有料オプションの料金表の %1 行目が正しくありません。\r\n").arg(m_feeTable.badLine) + feeFile() +
               QStringLiteral("\r\n見出しの行「%1」の後に、「太字テキスト,10.80」のように項目名と料金を書いて下さい。").arg(listing::kFeeHeader);
    m_ui.message(text + QStringLiteral("\r\n料金の目安は表示できません。"), QStringLiteral("有料オプション"), UiServices::Icon::Critical,
                 UiServices::Buttons::Ok, this);
    return false;
}

void SiteFormPane::showFees() {
    const Fees f = fees();
    if (!f.known) {
        // Broken while the seller is on the options: said now, not at the next visit.
        if (m_tabs->currentIndex() == 1 && isVisible()) reportFeeFile();
        m_feeLines->setText(QStringLiteral("料金表（MAST フォルダの「%1」）を読み込めないため、料金は表示できません。")
                                .arg(listing::kFeeFileName.toHtmlEscaped()));
        m_feeTotal->clear();
        return;
    }
    if (f.cost.lines.isEmpty()) {
        m_feeLines->setText(QStringLiteral("有料オプションは選ばれていません。"));
        m_feeTotal->setText(QStringLiteral("合計　0円"));
        return;
    }
    m_feeLines->setText(listing::costHtml(f.cost));
    m_feeTotal->setText(QStringLiteral("合計　") + listing::yenText(f.cost.total) +
                        (f.cost.durationMissing ? QStringLiteral("（注目のオークションは期間を選ぶと加わります）") : QString()));
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
        m_uploadTimer->stop();
        const QString name = QFileInfo(m_uploadNames.first()).fileName();
        if (!m_wb->lastLoadOk() || m_wb->documentTitle().text() != site::uploadPageTitle()) {
            endUpload(QStringLiteral("「%1」のアップロードの後、画像のアップロードのページが表示されませんでした。").arg(name));
            return;
        }
        m_refusalWait->stop();
        afterUpload(false);
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
        const auto answer = m_queueMode ? UiServices::Answer::Yes
                                        : m_ui.message(listing::kContinuePrompt, listing::kContinueCaption,
                                                       UiServices::Icon::Information, UiServices::Buttons::YesNo, this);
        if (answer == UiServices::Answer::Yes) {
            if (!form.pressContinue()) return;
            m_queueContinued = m_queueMode;
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
    if (uploadingPictures() || m_preparing) return;  // one upload at a time: the page answers each in turn
    QString problem;
    if (pictures().isEmpty()) {
        // No picture chosen for the listing yet: the file dialog, and the choice becomes its first picture.
        const Browser::Hold hold(m_wb);
        if (!m_wb->clickById(site::uploadSelectButton())) return;
        if (!m_wb->scrollTo(0, 0)) return;
        const QString chosen = m_ui.openFileName(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                                                 listing::kPictureFilter, this);
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
    if (uploadingPictures() || m_preparing) return false;
    const QStringList list = pictures().mid(0, site::maxPictures());
    if (list.isEmpty()) {
        *problem = QStringLiteral("アップロードする画像が選ばれていません。");
        return false;
    }
    const Browser::Result title = m_wb->documentTitle();
    if (!title || title.text() != site::uploadPageTitle()) {
        *problem = QStringLiteral("画像のアップロードのページが表示されていません。\r\n出品フォームの「続ける」の後のページで行って下さい。");
        return false;
    }
    // Copies made for the site, never the seller's files; they go with the next upload or the pane.
    m_pictureCopies = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("sorabako-pictures-XXXXXX")));
    // Made off the window's thread: a large picture takes a moment, and the window is drawn meanwhile.
    struct Made {
        QStringList paths;
        QString problem;
        std::atomic<bool> done{false};
    };
    auto made = std::make_shared<Made>();
    const QString root = m_pictureCopies->path();
    m_preparing = true;
    {
        // Pages that finish meanwhile are handled once the copies are there, as before the first is sent.
        const Browser::Hold hold(m_wb);
        m_picturePool->start([made, list, root] {
            for (int i = 0; i < list.size(); ++i) {
                const QString folder = QDir(root).filePath(QString::number(i + 1));
                QDir().mkpath(folder);
                const picture::Prepared p = picture::prepare(list[i], folder, picture::siteLimits());
                if (!p.ok()) {
                    made->problem = p.problem;
                    break;
                }
                made->paths << p.path;
            }
            made->done = true;
        });
        waitFor([made] { return made->done.load(); }, -1);
    }
    m_preparing = false;
    if (!made->problem.isEmpty()) {
        *problem = made->problem + QStringLiteral("\r\n画像は1枚もアップロードしていません。");
        return false;
    }
    m_uploads = made->paths;
    m_uploadNames = list;
    uploadNext();
    return true;
}

void SiteFormPane::uploadNext() {
    const std::optional<int> count = site::ListingFormPage(m_wb).uploadedCount();
    if (!count) {
        endUpload(QStringLiteral("画像のアップロードのページが応答しませんでした。"));
        return;
    }
    m_uploadedBefore = *count;
    const Browser::Hold hold(m_wb);
    if (!m_wb->clickById(site::uploadSelectButton()) || !m_wb->scrollTo(0, 0) || !uploadThroughPage(m_uploads.first())) {
        endUpload(QStringLiteral("「%1」を送れませんでした。ページに画像を選ぶ欄が見つかりません。").arg(QFileInfo(m_uploadNames.first()).fileName()));
        return;
    }
    m_uploadTimer->start();
}

void SiteFormPane::afterUpload(bool waited) {
    const QString name = QFileInfo(m_uploadNames.first()).fileName();
    const std::optional<int> count = site::ListingFormPage(m_wb).uploadedCount();
    if (!count || *count <= m_uploadedBefore) {
        // The page that took the file may finish once more before the site's answer comes:
        // a refusal is the site's answer only when no other page follows.
        if (!waited) {
            m_uploadTimer->start();
            m_refusalWait->start();
            return;
        }
        endUpload(QStringLiteral("「%1」はサイトに受け付けられませんでした。\r\n").arg(name) + site::pictureRule());
        return;
    }
    m_uploads.removeFirst();
    m_uploadNames.removeFirst();
    if (!m_uploads.isEmpty()) {
        uploadNext();
        return;
    }
    endUpload(QString());
    m_wb->scrollTo(0, site::uploadPageScroll());
}

void SiteFormPane::endUpload(const QString& problem) {
    m_uploadTimer->stop();
    m_refusalWait->stop();
    m_uploads.clear();
    m_uploadNames.clear();
    QString told = problem;
    if (!problem.isEmpty()) told += site::evidenceNote(site::keepEvidence(m_wb, problem));
    // The queue says it on its row (and leaves queue mode as it hears it); by hand the seller hears it now.
    const bool byHand = !m_queueMode;
    Q_EMIT picturesUploaded(told);
    if (!told.isEmpty() && byHand)
        m_ui.message(told, QStringLiteral("画像のアップロード"), UiServices::Icon::Warning, UiServices::Buttons::Ok, this);
}

bool SiteFormPane::uploadThroughPage(const QString& path) {
    // From the clicked element, a few Tabs reach the page's file field; the
    // field's chooser is answered with the chosen file (a typed path is not
    // taken by the engine); more Tabs then reach the upload button. Every key
    // goes to this browser's page only.
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
            return m_wb->evaluate(QStringLiteral("var e=document.activeElement;return !!(e&&e.files&&e.files.length);"))
                .value.toBool();
        },
        5000);
    if (!taken) return false;
    for (int i = 0; i < site::tabsToUploadButton(); ++i) m_wb->sendKey(Qt::Key_Tab);
    m_wb->sendKey(Qt::Key_Return);
    return true;
}

listing::ListingWarnings SiteFormPane::listingWarnings() const {
    auto* startPrice = findChild<QLineEdit*>(QStringLiteral("imNumLite2"));
    return listing::listingWarnings(m_txtTitle->text(), startPrice ? startPrice->text() : QString());
}
