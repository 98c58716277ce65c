#include "myauction/HistoryWindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>

#include "core/Cp932.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "core/Values.h"
#include "widgets/Grid.h"

namespace {
const QString kCaption = QStringLiteral("アクセス解析の履歴");
const QString kCsvFilter = QStringLiteral("CSVファイル(*.CSV)|*.csv");
}  // namespace

HistoryWindow::HistoryWindow(UiServices& ui, const ScanHistory& history, const QString& auctionId, QWidget* parent)
    : QDialog(parent),
      m_ui(ui),
      m_history(history),
      m_auctionId(auctionId),
      m_entries(history.history(auctionId)),
      m_listed(history.listed(auctionId)) {
    setObjectName(QStringLiteral("frmRIREKI"));
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    const QString title = !m_entries.isEmpty() ? m_entries.last().title : m_listed ? m_listed->title : QString();
    m_title = new QLabel(QStringLiteral("%1　（オークションID：%2、解析 %3 回分）").arg(title, auctionId).arg(m_entries.size()));
    m_title->setObjectName(QStringLiteral("lblTitle"));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setWordWrap(true);
    layout->addWidget(m_title);

    auto* splitter = new QSplitter(Qt::Vertical);
    m_chart = new QChartView;
    m_chart->setObjectName(QStringLiteral("chtRIREKI"));
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->setMinimumHeight(260);
    splitter->addWidget(m_chart);
    m_table = new Grid;
    m_table->setObjectName(QStringLiteral("vbRIREKI"));
    splitter->addWidget(m_table);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    if (m_listed) {
        // Room for the record's rows too, within a laptop's screen: the chart gives way.
        m_chart->setMinimumHeight(220);
        splitter->addWidget(recordPane());
        splitter->setSizes({300, 130, 190});
    }
    layout->addWidget(splitter, 1);

    auto* buttons = new QHBoxLayout;
    auto* saveHistory = new QPushButton(QStringLiteral("この出品の履歴をCSV保存"));
    saveHistory->setObjectName(QStringLiteral("cmdCSV"));
    buttons->addWidget(saveHistory);
    buttons->addSpacing(16);
    buttons->addWidget(new QLabel(QStringLiteral("解析日時")));
    m_scans = new QComboBox;
    m_scans->setObjectName(QStringLiteral("cmbKAI"));
    for (const QDateTime& t : history.scanTimes()) m_scans->addItem(t.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")), t);
    buttons->addWidget(m_scans);
    auto* saveScan = new QPushButton(QStringLiteral("この回の解析結果をCSV保存"));
    saveScan->setObjectName(QStringLiteral("cmdCSV2"));
    buttons->addWidget(saveScan);
    buttons->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    close->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(saveHistory, &QPushButton::clicked, this, &HistoryWindow::exportHistory);
    connect(saveScan, &QPushButton::clicked, this, &HistoryWindow::exportScan);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    fillChart();
    fillTable();
    resize(900, 680);
}

QWidget* HistoryWindow::recordPane() {
    auto* box = new QGroupBox(QStringLiteral("出品記録"));
    box->setObjectName(QStringLiteral("grpKIROKU"));
    auto* v = new QVBoxLayout(box);
    auto* top = new QHBoxLayout;
    QString when = m_listed->listedAt.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    QString text = QStringLiteral("%1 に出品").arg(when);
    if (!m_listed->category.isEmpty()) text += QStringLiteral("　カテゴリ：") + m_listed->category;
    auto* label = new QLabel(text);
    label->setObjectName(QStringLiteral("lblKIROKU"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    top->addWidget(label, 1);
    m_openRecordButton = new QPushButton(QStringLiteral("出品記録を開く"));
    m_openRecordButton->setObjectName(QStringLiteral("cmdKIROKU"));
    m_openRecordButton->setToolTip(QStringLiteral("出品記録の画面で、この出品の記憶ファイルと説明文を表示します。"));
    m_openRecordButton->hide();
    top->addWidget(m_openRecordButton);
    v->addLayout(top);
    // What the site's confirmation page showed, row by row: the listing as it went out.
    auto* rows = new Grid;
    rows->setObjectName(QStringLiteral("vbKIROKU"));
    rows->setCols(2);
    rows->setRows(1);
    rows->setText(0, 0, QStringLiteral("確認画面の項目"));
    rows->setText(0, 1, QStringLiteral("内容"));
    rows->setColWidthTwips(0, 2400);
    rows->setColWidthTwips(1, 7200);
    rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const auto& [name, value] : m_listed->confirmation) rows->addRow(QStringList{name, value});
    v->addWidget(rows, 1);
    connect(m_openRecordButton, &QPushButton::clicked, this, [this] {
        // The records window is the seller's next window: this modal one steps aside for it.
        accept();
        if (m_openRecord) m_openRecord(m_auctionId);
    });
    return box;
}

void HistoryWindow::setRecordOpener(std::function<void(const QString&)> open) {
    m_openRecord = std::move(open);
    if (m_openRecordButton) m_openRecordButton->setVisible(bool(m_openRecord));
}

void HistoryWindow::fillChart() {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("アクセス・ウォッチ・入札・価格の推移"));
    struct Line {
        const char* name;
        QString ScanHistory::Entry::*field;
        bool price;
    };
    const Line lines[] = {{"アクセス", &ScanHistory::Entry::access, false},
                          {"ウォッチ", &ScanHistory::Entry::watch, false},
                          {"入札", &ScanHistory::Entry::bids, false},
                          {"価格（円）", &ScanHistory::Entry::price, true}};
    auto* time = new QDateTimeAxis;
    time->setTitleText(QStringLiteral("解析日時"));
    auto* counts = new QValueAxis;
    counts->setTitleText(QStringLiteral("件数"));
    counts->setLabelFormat(QStringLiteral("%d"));
    auto* yen = new QValueAxis;
    yen->setTitleText(QStringLiteral("円"));
    yen->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(counts, Qt::AlignLeft);
    chart->addAxis(yen, Qt::AlignRight);
    double maxCount = 1, maxYen = 1;
    for (const Line& line : lines) {
        auto* series = new QLineSeries;
        series->setName(QString::fromUtf8(line.name));
        series->setPointsVisible(true);
        for (const ScanHistory::Entry& e : m_entries) {
            // An empty cell is none (the page shows 0 as nothing).
            const double v = values::leadingNumber(e.*line.field);
            series->append(static_cast<qreal>(e.taken.toMSecsSinceEpoch()), v);
            (line.price ? maxYen : maxCount) = qMax(line.price ? maxYen : maxCount, v);
        }
        chart->addSeries(series);
        series->attachAxis(time);
        series->attachAxis(line.price ? yen : counts);
    }
    counts->setRange(0, maxCount * 1.1);
    yen->setRange(0, maxYen * 1.1);
    // Round steps (0, 10, 20 … or 0, 200, 400 … yen) read more easily than a tenth of the maximum.
    counts->applyNiceNumbers();
    yen->applyNiceNumbers();
    if (!m_entries.isEmpty()) {
        const scanhistory::TimeAxis axis = scanhistory::timeAxis(m_entries.first().taken, m_entries.last().taken);
        time->setRange(axis.from, axis.to);
        time->setFormat(axis.format);
        time->setTickCount(axis.ticks);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setChart(chart);
}

void HistoryWindow::fillTable() {
    const QStringList headers{QStringLiteral("解析日時"), QStringLiteral("ｱｸｾｽ"), QStringLiteral("ｳｫｯﾁ"), QStringLiteral("落札"),
                              QStringLiteral("残り時間"), QStringLiteral("値段")};
    m_table->setCols(static_cast<int>(headers.size()));
    m_table->setRows(1);
    const int widths[] = {2400, 900, 900, 900, 1300, 1200};
    for (int c = 0; c < headers.size(); ++c) {
        m_table->setText(0, c, headers[c]);
        m_table->setColWidthTwips(c, widths[c]);
    }
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const ScanHistory::Entry& e : m_entries)
        m_table->addRow(QStringList{e.taken.toString(QStringLiteral("yyyy/MM/dd HH:mm")), e.access, e.watch, e.bids, e.timeLeft, e.price});
    // The latest scans first in sight, once the table has its size.
    QTimer::singleShot(0, m_table, &QAbstractItemView::scrollToBottom);
}

bool HistoryWindow::writeCsv(const QString& text, const QString& suggested) {
    QString path = m_ui.saveFileName(ProgramFolder::data() + suggested, kCsvFilter, this);
    if (path.isEmpty()) return false;
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) path += QStringLiteral(".csv");
    // CP932 with CR LF, like every file the program writes; a character it cannot hold becomes "?".
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    QString lost;
    if (!TextFile::writeCp932Lines(path, lines, &lost)) {
        m_ui.message(QStringLiteral("CSVファイルを保存できませんでした。\r\n") + path, kCaption, UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, this);
        return false;
    }
    // A title with a character the file cannot hold is still exported; the seller is told which.
    if (!lost.isEmpty())
        m_ui.message(QStringLiteral("次の文字はCSVファイルに保存できないため、「?」で保存しました。\r\n") + lost, kCaption,
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
    return true;
}

void HistoryWindow::exportHistory() { writeCsv(scanhistory::historyCsv(m_entries), m_auctionId + QStringLiteral("_履歴.csv")); }

void HistoryWindow::exportScan() {
    const QDateTime taken = m_scans->currentData().toDateTime();
    if (!taken.isValid()) return;
    writeCsv(scanhistory::scanCsv(m_history.scanAt(taken)),
             QStringLiteral("解析_%1.csv").arg(taken.toString(QStringLiteral("yyyyMMdd_HHmm"))));
}
