#include "listing/form/ListingPages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>

#include "listing/fees/FeeSummary.h"
#include "listing/form/MirrorTable.h"
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

ListingPages::ListingPages() {
    goods = buildGoods();
    options = buildOptions();
}

QCheckBox* ListingPages::check(const QString& name) {
    for (const listing::CheckBox& c : listing::checkBoxes())
        if (c.name == name) {
            auto* box = named(new QCheckBox(c.caption), name);
            box->setChecked(c.tickedAtStart);
            controls.insert(name, box);
            return box;
        }
    return nullptr;
}

QComboBox* ListingPages::list(const QString& name, const QStringList& items) {
    auto* combo = named(new QComboBox, name);
    combo->addItems(items);
    combo->setCurrentIndex(-1);  // nothing chosen until start-up sets the defaults
    controls.insert(name, combo);
    return combo;
}

QLineEdit* ListingPages::number(const QString& name) {
    auto* edit = named(new QLineEdit, name);
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(120);
    controls.insert(name, edit);
    return edit;
}

QWidget* ListingPages::checkFrame(const QString& caption, const QString& objectName, const QStringList& names, int columns) {
    auto* frame = named(new QGroupBox(caption), objectName);
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < names.size(); ++i) grid->addWidget(check(names[i]), i / columns, i % columns);
    return frame;
}

QWidget* ListingPages::optionFrame(const QString& caption, const QString& array, const QString& first, const QString& second) {
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
    optionGroups.insert(array, buttons);
    return frame;
}

QWidget* ListingPages::buildGoods() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    auto* basics = new QGridLayout;
    title = named(new QLineEdit, QStringLiteral("txtTitle"));
    titleBytes = named(new QLabel(QStringLiteral("0")), QStringLiteral("Label18"), QStringLiteral("バイト数を表示します。"));
    CounterLabel::prepare(titleBytes);
    CounterLabel::show(titleBytes, 0, false);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(title, 1);
    titleRow->addWidget(titleBytes);
    basics->addWidget(new QLabel(QStringLiteral("タイトル")), 0, 0);
    basics->addLayout(titleRow, 0, 1, 1, 2);
    description = named(new QPlainTextEdit, QStringLiteral("txtDescription"));
    description->setTabChangesFocus(true);
    description->setFixedHeight(90);
    basics->addWidget(new QLabel(QStringLiteral("説明")), 1, 0, Qt::AlignTop);
    basics->addWidget(description, 1, 1, 1, 2);
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
    controls.insert(QStringLiteral("Text1"), city);
    addRow(regionGrid, 1, QStringLiteral("市区町村"), city);
    regionGrid->setColumnStretch(1, 1);
    v->addWidget(region);
    v->addStretch(1);
    return scrolling(page);
}

QWidget* ListingPages::buildOptions() {
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

    fees = new FeeSummary;
    v->addWidget(fees);

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
