#include "sales/SalesWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QRegularExpressionValidator>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "sales/SaleRecord.h"
#include "sales/SalesModel.h"
#include "sales/SalesRefresh.h"
#include "settings/IniFile.h"
#include "settings/SalesKeys.h"
#include "settings/mINI.h"
#include "store/HistoryStore.h"
#include "store/HistoryThread.h"
#include "store/SalesTable.h"
#include "widgets/PlainText.h"

using namespace sales;

namespace {
const QString kCaption = QStringLiteral("取引一覧");

QPushButton* button(const char* name, const QString& caption) {
    auto* b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    return b;
}

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

SalesWindow::SalesWindow(UiServices& ui, const QString& databasePath, Hooks hooks, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_path(databasePath), m_hooks(std::move(hooks)), m_now([] { return QDateTime::currentDateTime(); }) {
    // The list is read on a connection of its own while the window is built: a long list costs the
    // seller no more than the window, and another program writing the database holds up neither.
    m_firstRead = std::async(std::launch::async, [path = m_path]() -> std::optional<QList<Sale>> {
        const std::optional<QList<salestable::Row>> rows = historythread::sales(path);
        if (!rows) return std::nullopt;
        QList<Sale> list;
        list.reserve(rows->size());
        for (const salestable::Row& r : *rows) list << fromRow(r);
        return list;
    });
    setObjectName(QStringLiteral("frmTORIHIKI"));
    setWindowTitle(kCaption);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    const IniFile settings = IniFile::load(ProgramFolder::settingsFile());
    m_limits = limitsFrom([&settings](const QString& key) { return settings.value(saleskeys::kSection, key); });
    m_model = new SalesModel(this);
    m_model->setLimits(m_limits);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_refreshButton = button("cmdKOUSHIN", QStringLiteral("最新の情報に更新(&R)"));
    top->addWidget(m_refreshButton);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("表示")));
    m_show = named(new QComboBox, "cboHYOUJI");
    m_show->addItems({QStringLiteral("すべて"), QStringLiteral("対応中"), QStringLiteral("期限切れ")});
    for (Stage stage : allStages()) m_show->addItem(stageName(stage));
    top->addWidget(m_show);
    top->addWidget(new QLabel(QStringLiteral("検索")));
    m_search = named(new QLineEdit, "txtKENSAKU");
    m_search->setPlaceholderText(QStringLiteral("ID・商品名・落札者・メールの文面"));
    m_search->setClearButtonEnabled(true);
    top->addWidget(m_search, 1);
    layout->addLayout(top);

    auto* split = new QSplitter(Qt::Horizontal);
    m_grid = named(new QTableView, "grdTORIHIKI");
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setWordWrap(false);
    // A filter or a refresh resets the model, and with it the header's widths: the seller's are kept.
    auto widths = std::make_shared<QList<int>>(QList<int>{124, 108, 96, 220, 170, 76, 64, 116});
    auto restoring = std::make_shared<bool>(false);
    const auto applyWidths = [this, widths, restoring] {
        *restoring = true;
        for (int c = 0; c < widths->size(); ++c) m_grid->setColumnWidth(c, widths->at(c));
        *restoring = false;
    };
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [widths, restoring](int column, int, int width) {
        if (!*restoring && column < widths->size()) (*widths)[column] = width;
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, applyWidths);
    applyWidths();
    split->addWidget(m_grid);
    split->addWidget(buildDetail());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setSizes({940, 360});
    layout->addWidget(split, 1);

    auto* bottom = new QHBoxLayout;
    QPushButton* next = button("cmdSUSUMERU", QStringLiteral("次の段階へ(&N)"));
    QPushButton* undo = button("cmdMODOSU", QStringLiteral("元に戻す(&U)"));
    QPushButton* cancel = button("cmdTORIKESHI", QStringLiteral("取消..."));
    QPushButton* mail = button("cmdMAIL", QStringLiteral("メール作成(&M)"));
    QPushButton* remind = button("cmdSAISOKU", QStringLiteral("催促メール"));
    QPushButton* rate = button("cmdHYOUKA", QStringLiteral("評価..."));
    rate->setToolTip(QStringLiteral("選んだ取引（選んでいなければ受取確認の取引）の評価のページを順に開いて入力します。投稿はご自身で。"));
    QPushButton* months = button("cmdGEKKAN", QStringLiteral("月別集計..."));
    QPushButton* buyers = button("cmdRAKUSATSUSHA", QStringLiteral("落札者..."));
    QPushButton* csvOut = button("cmdCSV", QStringLiteral("CSV出力..."));
    for (QPushButton* b : {next, undo, cancel, mail, remind, rate}) bottom->addWidget(b);
    bottom->addSpacing(12);
    for (QPushButton* b : {months, buyers, csvOut}) bottom->addWidget(b);
    m_status = named(new QLabel, "lblJOUTAI");
    m_status->setWordWrap(true);
    bottom->addWidget(m_status, 1);
    QPushButton* close = button("cmdTOJIRU", QStringLiteral("閉じる"));
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(m_refreshButton, &QPushButton::clicked, this, &SalesWindow::refresh);
    connect(next, &QPushButton::clicked, this, &SalesWindow::moveOnSelected);
    connect(undo, &QPushButton::clicked, this, &SalesWindow::undoSelected);
    connect(cancel, &QPushButton::clicked, this, &SalesWindow::cancelSelected);
    connect(mail, &QPushButton::clicked, this, [this] { mailSelected(false); });
    connect(remind, &QPushButton::clicked, this, [this] { mailSelected(true); });
    connect(rate, &QPushButton::clicked, this, &SalesWindow::feedbackSelected);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(months, &QPushButton::clicked, this, &SalesWindow::showMonths);
    connect(buyers, &QPushButton::clicked, this, &SalesWindow::showBuyers);
    connect(csvOut, &QPushButton::clicked, this, &SalesWindow::exportCsv);
    connect(m_show, &QComboBox::currentIndexChanged, this, &SalesWindow::applyFilter);
    connect(m_search, &QLineEdit::textChanged, this, &SalesWindow::applyFilter);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &SalesWindow::showCurrent);
    // Deadlines pass while the window stays open: the red rows and the bottom bar follow the clock.
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, [this] {
        m_model->setNow(m_now(), false);
        updateSummary();
    });
    clock->start(60 * 1000);
    // Enter in a field is no click on a button (最新の情報に更新 would take it).
    for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);
    resize(1320, 680);
    reload();
}

SalesWindow::~SalesWindow() = default;

QWidget* SalesWindow::buildDetail() {
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(300);
    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    m_facts = named(new QLabel, "lblTORIHIKI");
    m_facts->setWordWrap(true);
    m_facts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(m_facts);
    m_dates = named(new QLabel, "lblHIDUKE");
    m_dates->setWordWrap(true);
    column->addWidget(m_dates);

    auto* ship = new QGroupBox(QStringLiteral("発送"));
    auto* shipForm = new QFormLayout(ship);
    m_address = named(new QPlainTextEdit, "txtSOUFUSAKI");
    m_address->setFixedHeight(54);
    m_carrier = named(new QComboBox, "cboHAISOU");
    m_carrier->setEditable(true);
    m_carrier->addItems({QString(), QStringLiteral("ゆうパック"), QStringLiteral("ゆうパケット"), QStringLiteral("クリックポスト"),
                         QStringLiteral("宅急便"), QStringLiteral("ネコポス"), QStringLiteral("定形外郵便"),
                         QStringLiteral("レターパック")});
    m_tracking = named(new QLineEdit, "txtTSUISEKI");
    m_shipped = named(new QDateEdit, "dtHASSOU");
    m_shipped->setCalendarPopup(true);
    m_shipped->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    m_shipped->setSpecialValueText(QStringLiteral("未発送"));
    m_shipped->setMinimumDate(QDate(2000, 1, 1));
    shipForm->addRow(QStringLiteral("送付先"), m_address);
    QPushButton* fromReply = button("cmdHENSHIN", QStringLiteral("返信から送料..."));
    connect(fromReply, &QPushButton::clicked, this, &SalesWindow::feeFromReply);
    QPushButton* fromLabels = button("cmdTSUISEKI", QStringLiteral("追跡番号をCSVから..."));
    fromLabels->setToolTip(QStringLiteral("送り状を作ったプログラムのCSVから、取引ごとの追跡番号を取り込みます。"));
    connect(fromLabels, &QPushButton::clicked, this, &SalesWindow::importTracking);
    auto* shipButtons = new QHBoxLayout;
    shipButtons->addWidget(fromReply);
    shipButtons->addWidget(fromLabels);
    shipForm->addRow(QString(), shipButtons);
    shipForm->addRow(QStringLiteral("配送方法"), m_carrier);
    shipForm->addRow(QStringLiteral("追跡番号"), m_tracking);
    shipForm->addRow(QStringLiteral("発送日"), m_shipped);
    column->addWidget(ship);

    auto* money = new QGroupBox(QStringLiteral("お金"));
    auto* moneyForm = new QFormLayout(money);
    m_fee = named(new QLineEdit, "txtSOURYOU");
    m_paid = named(new QLineEdit, "txtJIPPI");
    m_cost = named(new QLineEdit, "txtGENKA");
    m_profit = named(new QLabel, "lblRIEKI");
    // Amounts only, as a seller writes them (digits half- or full-width, commas, 円): typing can always be kept.
    const auto* amounts = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9０-９,，]{0,15}円?")), this);
    for (QLineEdit* e : {m_fee, m_paid, m_cost}) e->setValidator(amounts);
    moneyForm->addRow(QStringLiteral("送料（請求）"), m_fee);
    moneyForm->addRow(QStringLiteral("送料（実費）"), m_paid);
    moneyForm->addRow(QStringLiteral("原価"), m_cost);
    moneyForm->addRow(QStringLiteral("利益"), m_profit);
    column->addWidget(money);

    column->addWidget(new QLabel(QStringLiteral("メモ")));
    m_note = named(new QPlainTextEdit, "txtMEMO");
    m_note->setFixedHeight(60);
    column->addWidget(m_note);
    auto* caution = new QFormLayout;
    m_caution = named(new QLineEdit, "txtYOUCHUUI");
    m_caution->setPlaceholderText(QStringLiteral("理由を書くと、この落札者の取引に印が付きます"));
    caution->addRow(QStringLiteral("要注意"), m_caution);
    column->addLayout(caution);
    QPushButton* save = button("cmdHOZON", QStringLiteral("保存(&S)"));
    column->addWidget(save);
    connect(save, &QPushButton::clicked, this, &SalesWindow::saveDetail);

    column->addWidget(new QLabel(QStringLiteral("この取引のメール")));
    m_mails = named(new QListWidget, "lstMAIL");
    m_mails->setMinimumHeight(90);
    column->addWidget(m_mails, 1);
    connect(m_mails, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        m_ui.message(item->data(Qt::UserRole).toString(), kCaption, UiServices::Icon::None, UiServices::Buttons::Ok, this);
    });
    // Typing in a field marks its sale: the typing is kept (saved) before the fields show another
    // sale or anything changes the list.
    const auto typed = [this] {
        if (m_filling) return;
        if (const int i = currentSale(); i >= 0) m_typedFor = SalesModel::keyOf(m_model->sales()[i]);
    };
    for (QLineEdit* e : {m_tracking, m_fee, m_paid, m_cost, m_caution}) connect(e, &QLineEdit::textEdited, this, typed);
    for (QPlainTextEdit* e : {m_address, m_note}) connect(e, &QPlainTextEdit::textChanged, this, typed);
    connect(m_carrier, &QComboBox::currentTextChanged, this, typed);
    connect(m_shipped, &QDateEdit::dateChanged, this, typed);
    scroll->setWidget(panel);
    return scroll;
}

HistoryStore* SalesWindow::store() {
    if (m_store && m_store->isOpen()) return m_store.get();
    m_store = std::make_unique<HistoryStore>(m_path);
    const HistoryStore::Opened opened = m_store->open();
    m_opened = opened;
    if (opened == HistoryStore::Opened::MovedAside)
        m_ui.message(
            QStringLiteral("取引と履歴のデータベースが壊れていたため、次の名前で残して新しく始めます。\r\n") + m_store->movedAsidePath(),
            kCaption, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
    if (opened == HistoryStore::Opened::Failed) {
        m_ui.message(
            m_store->error() == HistoryStore::Error::Busy
                ? QStringLiteral("ほかのプログラムが取引のデータベースを使っています。しばらくしてから開き直して下さい。\r\n") + m_path
                : QStringLiteral("取引のデータベースを開けませんでした。\r\n") + m_path,
            kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
        m_store.reset();
        return nullptr;
    }
    return m_store.get();
}

void SalesWindow::reload() {
    const QStringList selected = selectedKeys();
    const int at = currentSale();
    const QString current = at >= 0 ? SalesModel::keyOf(m_model->sales()[at]) : QString();
    QList<Sale> list;
    QHash<QString, QString> cautions;
    std::optional<QList<Sale>> early;
    // The list read early is taken before the window's own connection opens: that open may switch
    // an older file's journal or migrate it, which a reader still at work would hold up.
    if (m_firstRead.valid()) early = m_firstRead.get();
    HistoryStore* db = store();
    // A database set aside as damaged was what the early read saw: the list is the new one's.
    if (m_opened != HistoryStore::Opened::Ok) early.reset();
    if (db) {
        // What was read early stands unless it failed (an older database, mended by the open just made).
        if (early) {
            list = std::move(*early);
        } else if (const std::optional<QList<salestable::Row>> rows = salestable::all(*db)) {
            list.reserve(rows->size());
            for (const salestable::Row& r : *rows) list << fromRow(r);
        } else {
            m_ui.message(QStringLiteral("取引を読み込めませんでした。\r\n") + m_path, kCaption, UiServices::Icon::Critical,
                         UiServices::Buttons::Ok, this);
        }
        if (const auto buyers = salestable::buyers(*db))
            for (const salestable::Buyer& b : *buyers)
                if (!b.caution.isEmpty()) cautions.insert(b.winnerId, b.caution);
    }
    m_model->setNow(m_now(), false);
    m_model->setCautions(cautions);
    m_model->setSales(list);
    applyFilter();
    selectKeys(selected, current);
    updateSummary();
}

void SalesWindow::setClock(std::function<QDateTime()> now) {
    m_now = std::move(now);
    m_model->setNow(m_now());
    updateSummary();
}

void SalesWindow::applyFilter() {
    m_model->setNow(m_now(), false);
    const int choice = m_show->currentIndex();
    const SalesModel::Show show = choice == 1   ? SalesModel::Show::Open
                                  : choice == 2 ? SalesModel::Show::Overdue
                                  : choice >= 3 ? SalesModel::Show::Stage
                                                : SalesModel::Show::All;
    const Stage stage = choice >= 3 ? allStages().value(choice - 3) : Stage::Won;
    // The search also finds a sale by the words of a mail it was sent.
    QSet<QString> byMail;
    const QString text = m_search->text().trimmed();
    if (!text.isEmpty() && m_store && m_store->isOpen())
        if (const auto found = salestable::searchMails(*m_store, text))
            for (const salestable::Mail& m : *found) byMail.insert(m.auctionId + QLatin1Char('\n') + m.winnerId);
    m_model->setAlsoShown(byMail);
    // The overdue list is worked out again at each look: deadlines pass while the window is open.
    m_model->setFilter(show, stage, text, show == SalesModel::Show::Overdue);
    m_status->setText(QStringLiteral("%1件を表示（全%2件）").arg(m_model->rowCount()).arg(m_model->sales().size()));
    showCurrent();
}

void SalesWindow::updateSummary() {
    const QString text = sales::summary(waiting(m_model->sales(), m_limits, m_now()));
    if (text == m_summary) return;
    m_summary = text;
    Q_EMIT summaryChanged(text);
}

QList<int> SalesWindow::selectedSales() const {
    QList<int> out;
    for (const QModelIndex& row : m_grid->selectionModel()->selectedRows()) out << m_model->saleIndex(row.row());
    std::sort(out.begin(), out.end());
    if (out.isEmpty() && currentSale() >= 0) out << currentSale();
    return out;
}

int SalesWindow::currentSale() const { return m_model->saleIndex(m_grid->currentIndex().row()); }

void SalesWindow::selectSale(const QString& auctionId, const QString& winnerId) {
    const int row = m_model->rowOfSale(m_model->indexOf(auctionId, winnerId));
    if (row < 0) return;
    m_grid->selectRow(row);
    m_grid->setCurrentIndex(m_model->index(row, 0));
}

void SalesWindow::selectKeys(const QStringList& keys, const QString& current) {
    QItemSelection rows;
    for (const QString& key : keys) {
        const int row = m_model->rowOfSale(saleOfKey(key));
        if (row >= 0) rows.select(m_model->index(row, 0), m_model->index(row, SalesModel::Columns - 1));
    }
    const int row = m_model->rowOfSale(saleOfKey(current));
    if (row >= 0) m_grid->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    m_grid->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
}

void SalesWindow::closeEvent(QCloseEvent* event) {
    // What was typed and not saved is saved as the window closes; typing that cannot be stays open to mend.
    if (!keepTyped()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void SalesWindow::done(int result) {
    if (!keepTyped()) return;
    QDialog::done(result);
}

QStringList SalesWindow::selectedKeys() const {
    QStringList keys;
    for (int i : selectedSales()) keys << SalesModel::keyOf(m_model->sales()[i]);
    return keys;
}

int SalesWindow::saleOfKey(const QString& key) const {
    return m_model->indexOf(key.section(QLatin1Char('\n'), 0, 0), key.section(QLatin1Char('\n'), 1));
}
