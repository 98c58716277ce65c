#include "listing/form/SiteFormPane.h"

// The pane's pages as the seller sees them: the listing's goods and options, each control
// registered by its object name for the mirror, the category and pictures, and the browser.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>

#include "listing/fees/FeeSummary.h"
#include "listing/pictures/PictureStrip.h"
#include "widgets/Browser.h"
#include "widgets/CounterLabel.h"
#include "widgets/Named.h"

namespace {

// A page of options that scrolls up and down, never sideways.
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
}  // namespace

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

QWidget* SiteFormPane::checkFrame(const QString& caption, const QString& objectName, const QStringList& names, int columns) {
    auto* frame = named(new QGroupBox(caption), objectName);
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < names.size(); ++i) grid->addWidget(check(names[i]), i / columns, i % columns);
    return frame;
}

QWidget* SiteFormPane::optionFrame(const QString& caption, const QString& array, const QString& first, const QString& second) {
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
    options->addWidget(optionFrame(QStringLiteral("送料負担"), QStringLiteral("optHANBAI"), QStringLiteral("落札者が送料を負担"),
                                   QStringLiteral("出品者が送料を負担")));
    v->addLayout(options);
    v->addWidget(optionFrame(QStringLiteral("発送時期"), QStringLiteral("optHANBAI2"), QStringLiteral("支払い終了時に発送"),
                             QStringLiteral("ｵｰｸｼｮﾝ終了時に発送")));
    v->addWidget(
        checkFrame(QStringLiteral("発送"), QStringLiteral("fraShipping"), {QStringLiteral("Check28"), QStringLiteral("Check29")}, 2));

    auto* region = named(new QGroupBox(QStringLiteral("出品者の地域")), QStringLiteral("fraRegion"));
    auto* regionGrid = new QGridLayout(region);
    addRow(regionGrid, 0, QStringLiteral("都道府県"), list(QStringLiteral("Combo5"), listing::sellerRegions()));
    auto* city = named(new QLineEdit, QStringLiteral("Text1"));
    m_controls.insert(QStringLiteral("Text1"), city);
    addRow(regionGrid, 1, QStringLiteral("市区町村"), city);
    regionGrid->setColumnStretch(1, 1);
    v->addWidget(region);
    v->addStretch(1);
    return scrolling(page);
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

    m_feeSummary = new FeeSummary;
    v->addWidget(m_feeSummary);

    auto* prices = new QGridLayout;
    addRow(prices, 0, QStringLiteral("即買価格"), number(QStringLiteral("imNumLite4")), QStringLiteral("円"));
    addRow(prices, 1, QStringLiteral("最低落札価格"), number(QStringLiteral("imNumLite5")), QStringLiteral("円"));
    addRow(prices, 2, QStringLiteral("希望落札価格"), number(QStringLiteral("imNumLite6")), QStringLiteral("円"));
    prices->setColumnStretch(2, 1);
    v->addLayout(prices);

    v->addWidget(
        checkFrame(QStringLiteral("エスクロー"), QStringLiteral("fraEscrow"), {QStringLiteral("Check30"), QStringLiteral("Check31")}, 2));
    v->addWidget(checkFrame(QStringLiteral("無料オプション"), QStringLiteral("fraFree"),
                            {QStringLiteral("Check39"), QStringLiteral("Check40"), QStringLiteral("Check41")}, 2));

    auto* end = new QGridLayout;
    addRow(end, 0, QStringLiteral("終了時間"), list(QStringLiteral("Combo3"), listing::endHours()));
    addRow(end, 1, QStringLiteral("自動再出品"), list(QStringLiteral("Combo4"), listing::relistings()));
    end->setColumnStretch(2, 1);
    v->addLayout(end);
    v->addStretch(1);
    return scrolling(page);
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
    connect(m_category, &QLineEdit::textChanged, this,
            [this](const QString& path) { m_categoryShown->setText(path.isEmpty() ? QStringLiteral("（まだ選ばれていません）") : path); });
    m_categoryShown->setText(QStringLiteral("（まだ選ばれていません）"));
    m_pictures = new PictureStrip(m_ui, m_picturePool);
    v->addWidget(m_pictures);

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
    connect(m_pictures, &PictureStrip::changed, this, [this](const QStringList& list) {
        for (int i = 0; i < 3; ++i)
            if (auto* shown = findChild<QLabel*>(QStringLiteral("A_%1").arg(i))) shown->setText(list.value(i));
    });
    return frame;
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
