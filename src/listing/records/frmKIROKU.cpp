#include "listing/records/frmKIROKU.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <memory>

#include "listing/csv/frmCSV.h"
#include "core/UiServices.h"
#include "listing/queue/QueueRun.h"
#include "widgets/Named.h"

frmKIROKU::frmKIROKU(UiServices& ui, QueueRun& run, std::function<bool(const QString&)> open, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_run(run), m_open(std::move(open)) {
    setObjectName(QStringLiteral("frmKIROKU"));
    setWindowTitle(QStringLiteral("出品記録"));
    auto* v = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("検索")));
    m_search = named(new QLineEdit, QStringLiteral("txtKIROKU"));
    m_search->setPlaceholderText(QStringLiteral("タイトルかオークションIDの一部"));
    m_search->setClearButtonEnabled(true);
    top->addWidget(m_search, 1);
    v->addLayout(top);
    m_table = named(new QTableWidget(0, 4), QStringLiteral("lvKIROKU"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("オークションID"), QStringLiteral("出品日時"), QStringLiteral("タイトル"), QStringLiteral("カテゴリ")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(0, 110);
    m_table->setColumnWidth(1, 130);
    m_table->setColumnWidth(2, 260);
    v->addWidget(m_table, 2);
    m_detail = named(new QPlainTextEdit, QStringLiteral("txtDETAIL"), QStringLiteral("サイトの確認画面が表示した内容です。"));
    m_detail->setReadOnly(true);
    v->addWidget(m_detail, 1);
    auto* bottom = new QHBoxLayout;
    auto* openButton = named(new QPushButton(QStringLiteral("記憶ファイルとして開く")), QStringLiteral("cmdOPEN"),
                             QStringLiteral("出品したときの内容を画面に開きます。保存するときは新しい名前を付けます。"));
    bottom->addWidget(openButton);
    auto* toCsv =
        named(new QPushButton(QStringLiteral("CSVに書き出す...")), QStringLiteral("cmdCSV"),
              QStringLiteral("一覧に出ている記録を、出品CSVの列で書き出します。表計算ソフトで直して「CSVから追加」で再出品できます。"));
    bottom->addWidget(toCsv);
    bottom->addStretch(1);
    bottom->addWidget(new QLabel(QStringLiteral("開始価格を")));
    m_percent = named(new QSpinBox, QStringLiteral("spnNESAGE"));
    m_percent->setRange(0, 90);
    m_percent->setSuffix(QStringLiteral(" %"));
    bottom->addWidget(m_percent);
    bottom->addWidget(new QLabel(QStringLiteral("下げて")));
    auto* again = named(new QPushButton(QStringLiteral("再出品")), QStringLiteral("cmdRELIST"),
                        QStringLiteral("出品キューに加えます。元の記憶ファイルと出品記録はそのままです。"));
    bottom->addWidget(again);
    auto* close = named(new QPushButton(QStringLiteral("閉じる")), QStringLiteral("cmdCLOSE"));
    bottom->addWidget(close);
    v->addLayout(bottom);
    resize(820, 520);

    connect(m_search, &QLineEdit::textChanged, this, &frmKIROKU::showList);
    connect(m_table, &QTableWidget::currentCellChanged, this, &frmKIROKU::showDetail);
    connect(openButton, &QPushButton::clicked, this, [this] {
        if (const listingrecord::Record* r = selected())
            if (m_open) m_open(listingrecord::memoryFileOf(*r));
    });
    connect(again, &QPushButton::clicked, this, &frmKIROKU::relist);
    connect(toCsv, &QPushButton::clicked, this, [this] {
        QStringList files;
        for (const listingrecord::Record& r : m_shown) files << listingrecord::memoryFileOf(r);
        listingcsv::exportFiles(m_ui, files, m_run.csvHooks(), this);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

frmKIROKU::~frmKIROKU() {
    // The look through the folders ends in moments; the window must not go from under it.
    if (m_lookup) m_lookup->wait();
}

void frmKIROKU::reload() {
    // Five thousand folders read one by one took seconds on the window's thread: the history
    // gives the list in one query, and the folders are only looked over, off the thread.
    const std::optional<QList<listingrecord::Record>> listed = m_source.list ? m_source.list() : std::nullopt;
    m_fromHistory = listed.has_value();
    m_all = listed.value_or(QList<listingrecord::Record>());
    lookOnDisk();
    showList();
}

void frmKIROKU::lookOnDisk() {
    if (m_lookup && m_lookup->isRunning()) return;  // what it finds is merged with the list as it is then
    QStringList known;
    known.reserve(m_all.size());
    for (const listingrecord::Record& r : m_all) known << r.auctionId;
    auto found = std::make_shared<QList<listingrecord::Record>>();
    QThread* lookup =
        QThread::create([known, found, root = listingrecord::recordsRoot()] { *found = listingrecord::notAmong(known, root); });
    m_lookup = lookup;
    connect(lookup, &QThread::finished, lookup, &QObject::deleteLater);
    connect(lookup, &QThread::finished, this, [this, found] { merge(*found); });
    lookup->start();
}

void frmKIROKU::merge(const QList<listingrecord::Record>& found) {
    QSet<QString> have;
    for (const listingrecord::Record& r : m_all) have.insert(r.auctionId);
    QList<listingrecord::Record> added;
    for (const listingrecord::Record& r : found)
        if (!have.contains(r.auctionId)) added << r;
    if (added.isEmpty()) {
        if (m_all.isEmpty()) showDetail();  // no longer 読み込んでいます
        return;
    }
    // The seller may have chosen a row meanwhile: it stays chosen.
    const listingrecord::Record* chosen = selected();
    const QString chosenId = chosen ? chosen->auctionId : QString();
    m_all += added;
    listingrecord::sortNewestFirst(m_all);
    showList();
    for (int i = 0; i < m_shown.size() && !chosenId.isEmpty(); ++i)
        if (m_shown[i].auctionId == chosenId) {
            m_table->setCurrentCell(i, 0);
            break;
        }
    if (m_fromHistory && m_source.lacking) m_source.lacking(added);
}

void frmKIROKU::find(const QString& auctionId) { m_search->setText(auctionId); }

void frmKIROKU::showList() {
    m_shown = listingrecord::search(m_all, m_search->text());
    m_table->setUpdatesEnabled(false);
    m_table->setRowCount(static_cast<int>(m_shown.size()));
    for (int i = 0; i < m_shown.size(); ++i) {
        const listingrecord::Record& r = m_shown[i];
        const QString when = QDateTime::fromString(r.listedAt, Qt::ISODate).toString(QStringLiteral("yyyy/MM/dd HH:mm"));
        const QStringList cells{r.auctionId, when, r.title, r.category};
        for (int c = 0; c < cells.size(); ++c) m_table->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
    m_table->setUpdatesEnabled(true);
    if (!m_shown.isEmpty()) m_table->setCurrentCell(0, 0);
    showDetail();
}

const listingrecord::Record* frmKIROKU::selected() const {
    const int at = m_table->currentRow();
    return at >= 0 && at < m_shown.size() ? &m_shown[at] : nullptr;
}

void frmKIROKU::showDetail() {
    const listingrecord::Record* r = selected();
    if (!r) {
        const bool looking = m_lookup && m_lookup->isRunning();
        m_detail->setPlainText(!m_all.isEmpty() ? QString()
                               : looking        ? QStringLiteral("出品記録を読み込んでいます…")
                                                : QStringLiteral("出品キューで出品すると、ここに記録が残ります。"));
        return;
    }
    // The rest of the record is in its folder, read for the row chosen only.
    const std::optional<listingrecord::Record> record = listingrecord::read(r->folder);
    if (!record) {
        m_detail->setPlainText(QStringLiteral("出品記録のフォルダを読み込めませんでした。\n") + r->folder);
        return;
    }
    QStringList lines;
    for (const auto& [caption, value] : record->confirmation) lines << caption + QStringLiteral("：") + value;
    lines << QString() << QStringLiteral("記憶ファイル（出品時）：") + listingrecord::memoryFileOf(*record)
          << QStringLiteral("元の記憶ファイル：") + record->sourceFile;
    m_detail->setPlainText(lines.join(QLatin1Char('\n')));
}

bool frmKIROKU::relist() {
    const listingrecord::Record* r = selected();
    if (!r) return false;
    QString problem;
    const QString file = listingrecord::relistFile(*r, m_percent->value(), &problem);
    if (file.isEmpty()) {
        m_ui.message(problem, windowTitle(), UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
        return false;
    }
    // Through the run, so that an open 出品キュー shows the row at once.
    if (m_run.add({file}) == 0) return false;
    m_ui.message(QStringLiteral("「%1」を出品キューに加えました。").arg(r->title) +
                     (m_percent->value() > 0 ? QStringLiteral("\r\n開始価格は %1% 下げました。").arg(m_percent->value()) : QString()),
                 windowTitle(), UiServices::Icon::Information, UiServices::Buttons::Ok, this);
    return true;
}
