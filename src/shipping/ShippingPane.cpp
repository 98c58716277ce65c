#include "shipping/ShippingPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "core/Prefectures.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "core/Values.h"
#include "shipping/mHASSOU.h"
#include "widgets/ScreenFit.h"
#include "widgets/EnterKeyFilter.h"
#include "widgets/Grid.h"
#include "widgets/Named.h"
#include "widgets/PlainText.h"

namespace {
const QString kCaption = QStringLiteral("送料計算");
const QString kPasteName = QStringLiteral("送料・発送方法");

// Calculated in this order after the fixed-rate services: the weight-based one last; each with
// the Check1 box that gives its drop-off discount (-1: none).
const struct {
    int index;
    int dropOff;
} kParcels[] = {{6, 0}, {8, 1}, {7, -1}};
}  // namespace

const QStringList& ShippingPane::weights() {
    static const QStringList grams{QStringLiteral("25"),   QStringLiteral("50"),   QStringLiteral("100"),
                                   QStringLiteral("150"),  QStringLiteral("250"),  QStringLiteral("500"),
                                   QStringLiteral("1000"), QStringLiteral("2000"), QStringLiteral("4000")};
    return grams;
}

QString ShippingPane::origin() const { return m_cmbKEN[0]->currentText(); }

const QStringList& ShippingPane::serviceNames() { return mHASSOU::serviceNames(); }

ShippingPane::ShippingPane(UiServices& ui, QWidget* parent) : QWidget(parent), m_ui(ui) {
    setObjectName(QStringLiteral("ShippingPane"));
    auto* layout = new QHBoxLayout(ScreenFit::scrollingContent(this));
    layout->addWidget(buildInputs(), 0);
    layout->addWidget(buildResults(), 1);

    // Enter moves on, out of the HTML box and the result grid too; the parcel's sides take digits only.
    EnterKeyFilter::install(this, {QStringLiteral("cmbKEN"), QStringLiteral("Combo8"), QStringLiteral("Combo9"), QStringLiteral("imText1"),
                                   QStringLiteral("vsSOURYOU")});
    EnterKeyFilter::install(this, {QStringLiteral("imNumber1")}, EnterKeyFilter::Mode::EnterAndDigits);
}

QWidget* ShippingPane::buildInputs() {
    auto* column = new QWidget;
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    auto* places = named(new QGroupBox(QStringLiteral("発送元/発送先")), QStringLiteral("fraPlaces"));
    auto* placesGrid = new QGridLayout(places);
    const QStringList placeLabels{QStringLiteral("発送元"), QStringLiteral("発送先")};
    const QStringList placeTips{QStringLiteral("出品者の住んでいる都道府県を選択して下さい。"),
                                QStringLiteral("落札者の住んでいる都道府県を選択して下さい。")};
    for (int i = 0; i < 2; ++i) {
        auto* combo = named(new QComboBox, QStringLiteral("cmbKEN_%1").arg(i), placeTips[i]);
        combo->addItems(kShippingPrefectures);
        combo->setCurrentIndex(-1);
        combo->setMaxVisibleItems(20);
        m_cmbKEN << combo;
        placesGrid->addWidget(new QLabel(placeLabels[i]), i, 0);
        placesGrid->addWidget(combo, i, 1);
    }
    v->addWidget(places);

    auto* size = named(new QGroupBox(QStringLiteral("荷物サイズ")), QStringLiteral("fraSize"));
    auto* sizeGrid = new QGridLayout(size);
    const QStringList sides{QStringLiteral("長さ"), QStringLiteral("幅"), QStringLiteral("厚さ")};
    for (int i = 0; i < 3; ++i) {
        auto* edit = named(new QLineEdit, QStringLiteral("imNumber1_%1").arg(i));
        edit->setAlignment(Qt::AlignRight);
        edit->setMaximumWidth(80);
        m_imNumber1 << edit;
        sizeGrid->addWidget(new QLabel(sides[i]), i, 0);
        sizeGrid->addWidget(edit, i, 1);
        sizeGrid->addWidget(new QLabel(QStringLiteral("cm")), i, 2);
    }
    m_label46 = named(new QLabel(QStringLiteral("0")), QStringLiteral("Label46"), QStringLiteral("3辺計の合計が表示されます。"));
    m_label46->setTextFormat(Qt::PlainText);
    m_label46->setFrameShape(QFrame::StyledPanel);
    m_label46->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sizeGrid->addWidget(new QLabel(QStringLiteral("合計")), 3, 0);
    sizeGrid->addWidget(m_label46, 3, 1);
    sizeGrid->addWidget(new QLabel(QStringLiteral("cm")), 3, 2);
    sizeGrid->setColumnStretch(3, 1);
    v->addWidget(size);

    auto* weightRow = new QHBoxLayout;
    weightRow->addWidget(new QLabel(QStringLiteral("重さ")));
    m_combo8 = named(new QComboBox, QStringLiteral("Combo8"), QStringLiteral("荷物の重量を選択して下さい。"));
    m_combo8->setEditable(true);
    m_combo8->addItems(weights());
    m_combo8->setCurrentIndex(-1);
    // The box keeps what is typed: completing 200 to 2000 would price another weight, and a
    // typed weight is not a new item of the list.
    m_combo8->setCompleter(nullptr);
    m_combo8->setInsertPolicy(QComboBox::NoInsert);
    connect(m_combo8->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        const int item = m_combo8->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (item < 0 || item == m_combo8->currentIndex()) return;
        const int cursor = m_combo8->lineEdit()->cursorPosition();  // selecting rewrites the text and moves it
        m_combo8->setCurrentIndex(item);
        m_combo8->lineEdit()->setCursorPosition(cursor);
    });
    weightRow->addWidget(m_combo8, 1);
    weightRow->addWidget(new QLabel(QStringLiteral("g")));
    v->addLayout(weightRow);

    auto* conditions = named(new QGroupBox(QStringLiteral("条件")), QStringLiteral("fraConditions"));
    auto* conditionsRow = new QHBoxLayout(conditions);
    const QStringList dropOffs{QStringLiteral("ゆうﾊﾟｯｸ持込"), QStringLiteral("宅配便持込")};
    for (int i = 0; i < 2; ++i) {
        m_check1 << named(new QCheckBox(dropOffs[i]), QStringLiteral("Check1_%1").arg(i));
        conditionsRow->addWidget(m_check1.last());
    }
    v->addWidget(conditions);

    auto* services = named(new QGroupBox(QStringLiteral("発送方法")), QStringLiteral("fraServices"),
                           QStringLiteral("送料計算を行いたい発送方法を選択して下さい。"));
    auto* servicesGrid = new QGridLayout(services);
    for (int i = 0; i < serviceNames().size(); ++i) {
        m_ckHOUHOU << named(new QCheckBox(serviceNames()[i]), QStringLiteral("ckHOUHOU_%1").arg(i),
                            QStringLiteral("送料計算を行いたい発送方法を選択して下さい。"));
        servicesGrid->addWidget(m_ckHOUHOU.last(), i / 2, i % 2);
    }
    v->addWidget(services);

    auto* calculate =
        named(new QPushButton(QStringLiteral("送料計算")), QStringLiteral("Command15"), QStringLiteral("送料計算、送料HTMLを生成します。"));
    v->addWidget(calculate);
    v->addStretch(1);
    connect(calculate, &QPushButton::clicked, this, &ShippingPane::Command15_Click);
    return column;
}

QWidget* ShippingPane::buildResults() {
    auto* splitter = new QSplitter(Qt::Vertical);

    auto* top = new QWidget;
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(0, 0, 0, 0);
    auto* results = named(new QGroupBox(QStringLiteral("計算結果")), QStringLiteral("fraResults"));
    auto* resultsLayout = new QVBoxLayout(results);
    m_vsSOURYOU = named(new Grid, QStringLiteral("vsSOURYOU"), QStringLiteral("送料計算結果を表示します。"));
    m_vsSOURYOU->setCols(3);
    m_vsSOURYOU->setRows(11);
    m_vsSOURYOU->setText(0, 1, QStringLiteral("価格"));
    m_vsSOURYOU->setText(0, 2, QStringLiteral("備考"));
    const int widths[] = {1575, 825, 2040};
    for (int c = 0; c < 3; ++c) m_vsSOURYOU->setColWidthTwips(c, widths[c]);
    for (int r = 1; r <= 9; ++r) m_vsSOURYOU->setText(r, 0, serviceNames()[r - 1]);
    m_vsSOURYOU->setText(10, 0, QStringLiteral("佐川急便"));
    m_vsSOURYOU->widenToContents(0);
    m_vsSOURYOU->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_vsSOURYOU->setMinimumWidth(390);  // the three columns with room for the longest note
    resultsLayout->addWidget(m_vsSOURYOU);
    topRow->addWidget(results, 0);

    auto* htmlFrame = named(new QGroupBox(QStringLiteral("ＨＴＭＬ")), QStringLiteral("fraShippingHtml"));
    auto* htmlLayout = new QVBoxLayout(htmlFrame);
    m_imText1 = named(new QPlainTextEdit, QStringLiteral("imText1"));
    m_imText1->setTabChangesFocus(true);
    htmlLayout->addWidget(m_imText1, 1);
    m_check2 = named(new QCheckBox(QStringLiteral("送料計算後自動的に貼り付ける")), QStringLiteral("Check2"),
                     QStringLiteral("送料計算後、自動的に出品ﾌｫｰﾑ作成に張付け時はこちらにﾁｪｯｸして下さい。"));
    htmlLayout->addWidget(m_check2);
    auto* pasteRow = new QHBoxLayout;
    pasteRow->addWidget(new QLabel(QStringLiteral("出品ﾌｫｰﾑ貼付先項目")));
    m_combo9 = named(new QComboBox, QStringLiteral("Combo9"), QStringLiteral("貼付け先項目０１～０８(出品ﾌｫｰﾑ作成画面)を選択して下さい。"));
    for (int k = 1; k <= 8; ++k) m_combo9->addItem(QStringLiteral("項目０") + QChar(0xFF10 + k));
    m_combo9->setCurrentIndex(-1);
    pasteRow->addWidget(m_combo9);
    auto* paste = named(new QPushButton(QStringLiteral("出品ﾌｫｰﾑ作成貼付")), QStringLiteral("Command16"),
                        QStringLiteral("選択された項目０１～０８に送料HTMLを貼付けます。"));
    pasteRow->addWidget(paste);
    pasteRow->addStretch(1);
    auto* preview = named(new QPushButton(QStringLiteral("プレビュー")), QStringLiteral("Command19"),
                          QStringLiteral("送料HTMLをIEでプレビュー表示します。"));
    pasteRow->addWidget(preview);
    htmlLayout->addLayout(pasteRow);
    topRow->addWidget(htmlFrame, 1);
    splitter->addWidget(top);

    auto* rates = named(new QGroupBox(QStringLiteral("料金表")), QStringLiteral("fraRates"));
    auto* ratesLayout = new QVBoxLayout(rates);
    m_vsYU = named(new Grid, QStringLiteral("vsYU"));
    m_vsYU->setCols(15);
    m_vsYU->setRows(1);
    for (int c = 1; c < 15; ++c) {
        m_vsYU->setText(0, c, QString::number(c));
        m_vsYU->setColWidthTwips(c, 900);
    }
    m_vsYU->setColWidthTwips(0, 1200);
    m_vsYU->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ratesLayout->addWidget(m_vsYU);
    splitter->addWidget(rates);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    connect(paste, &QPushButton::clicked, this, &ShippingPane::Command16_Click);
    connect(preview, &QPushButton::clicked, this, &ShippingPane::Command19_Click);
    return splitter;
}

QString ShippingPane::shippingHtml() const { return PlainText::crlf(m_imText1); }

void ShippingPane::setRow(int row, const QString& price, const QString& note) {
    m_vsSOURYOU->setText(row, 1, price);
    m_vsSOURYOU->setText(row, 2, note);
    m_vsSOURYOU->widenToContents(1);
    m_vsSOURYOU->widenToContents(2);
}

void ShippingPane::appendHtml(const QString& html) {
    if (!html.isEmpty()) PlainText::setCrlf(m_imText1, shippingHtml() + html);
}

void ShippingPane::showRates(const QList<QStringList>& block) {
    m_vsYU->setRows(1);
    for (const QStringList& row : block) m_vsYU->addRow(row);
}

void ShippingPane::Command15_Click() {
    m_imText1->clear();
    // The running sum is written back after each side, so the box shows the sum however far it got.
    double sideSum = 0;
    m_label46->setText(QStringLiteral("0"));
    for (QLineEdit* side : m_imNumber1) {
        sideSum += values::leadingNumber(side->text());
        m_label46->setText(mHASSOU::plainNumber(sideSum));
    }
    mHASSOU::Parcel parcel;
    for (int i = 0; i < 3; ++i) parcel.sides[i] = values::leadingNumber(m_imNumber1[i]->text());
    parcel.grams = values::leadingNumber(m_combo8->currentText());
    parcel.origin = m_cmbKEN[0]->currentText();
    parcel.destination = m_cmbKEN[1]->currentText();

    for (int k = 0; k <= 5; ++k) {
        if (!m_ckHOUHOU[k]->isChecked()) continue;  // rows of unticked services keep what they showed
        const mHASSOU::Fee fee = mHASSOU::serviceFee(k, parcel, {});
        setRow(k + 1, fee.price, fee.note);
        appendHtml(fee.html);
    }

    QStringList unreadable, malformed;
    for (const auto& service : kParcels) {
        if (!m_ckHOUHOU[service.index]->isChecked()) continue;
        const QString path = ProgramFolder::mast() + mHASSOU::rateFileOf(service.index);
        const mHASSOU::RateReader rates = [&path]() -> std::optional<QString> {
            QString text;
            if (TextFile::readCp932Text(path, &text) != TextFile::Read::Ok) return std::nullopt;  // missing or junk
            return text;
        };
        parcel.dropOff = service.dropOff >= 0 && m_check1[service.dropOff]->isChecked();
        const mHASSOU::ParcelFee fee = mHASSOU::serviceFee(service.index, parcel, rates);
        if (fee.unreadable) unreadable << path;
        if (fee.malformed) malformed << path;
        if (fee.blockLoaded) showRates(fee.block);
        setRow(service.index + 1, fee.price, fee.note);
        appendHtml(fee.html);
    }
    if (!unreadable.isEmpty())
        m_ui.message(QStringLiteral("料金表ファイルを読み込めませんでした。\r\n") + unreadable.join(QStringLiteral("\r\n")) +
                         QStringLiteral("\r\nそれ以外の送料は計算しました。"),
                     kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
    if (!malformed.isEmpty())
        m_ui.message(QStringLiteral("料金表ファイルの内容が正しくありません。\r\n") + malformed.join(QStringLiteral("\r\n")) +
                         QStringLiteral("\r\nそれ以外の送料は計算しました。"),
                     kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, this);

    if (m_check2->isChecked()) Command16_Click();
}

void ShippingPane::Command16_Click() {
    const int row = m_combo9->currentIndex();
    if (row < 0) {
        m_ui.message(QStringLiteral("貼付け先の項目(出品ﾌｫｰﾑ貼付先項目)を選択して下さい。"), kCaption, UiServices::Icon::Information,
                     UiServices::Buttons::Ok, this);
        return;
    }
    QString html = shippingHtml();
    Q_EMIT pasteRequested(row, kPasteName, html.remove(QStringLiteral("\r\n")));
}

void ShippingPane::Command19_Click() { Q_EMIT previewRequested(shippingHtml()); }
