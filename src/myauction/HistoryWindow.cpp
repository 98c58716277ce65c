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
#include "core/Csv.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "core/Values.h"
#include "widgets/Grid.h"

namespace {
const QString kCaption = QStringLiteral("アクセス解析の履歴");
QString when(const QDateTime& t) { return t.toString(QStringLiteral("yyyy/MM/dd HH:mm")); }
}  // namespace

HistoryWindow::HistoryWindow(UiServices& ui, const HistoryStore& history, const QString& auctionId, QWidget* parent)
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
        QString HistoryStore::Entry::*field;
        bool price;
    };
    const Line lines[] = {{"アクセス", &HistoryStore::Entry::access, false},
                          {"ウォッチ", &HistoryStore::Entry::watch, false},
                          {"入札", &HistoryStore::Entry::bids, false},
                          {"価格（円）", &HistoryStore::Entry::price, true}};
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
        for (const HistoryStore::Entry& e : m_entries) {
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
        const TimeAxis axis = timeAxis(m_entries.first().taken, m_entries.last().taken);
        time->setRange(axis.from, axis.to);
        time->setFormat(axis.format);
        time->setTickCount(axis.ticks);
    }
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setChart(chart);
}

void HistoryWindow::fillTable() {
    const QStringList headers{QStringLiteral("解析日時"), QStringLiteral("ｱｸｾｽ"),     QStringLiteral("ｳｫｯﾁ"),
                              QStringLiteral("落札"),     QStringLiteral("残り時間"), QStringLiteral("値段")};
    m_table->setCols(static_cast<int>(headers.size()));
    m_table->setRows(1);
    const int widths[] = {2400, 900, 900, 900, 1300, 1200};
    for (int c = 0; c < headers.size(); ++c) {
        m_table->setText(0, c, headers[c]);
        m_table->setColWidthTwips(c, widths[c]);
    }
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const HistoryStore::Entry& e : m_entries)
        m_table->addRow(QStringList{e.taken.toString(QStringLiteral("yyyy/MM/dd HH:mm")), e.access, e.watch, e.bids, e.timeLeft, e.price});
    // The latest scans first in sight, once the table has its size.
    QTimer::singleShot(0, m_table, &QAbstractItemView::scrollToBottom);
}

bool HistoryWindow::writeCsv(const QString& text, const QString& suggested) {
    return csv::saveAs(m_ui, ProgramFolder::data() + suggested, text, kCaption, this);
}

void HistoryWindow::exportHistory() { writeCsv(historyCsv(m_entries), m_auctionId + QStringLiteral("_履歴.csv")); }

void HistoryWindow::exportScan() {
    const QDateTime taken = m_scans->currentData().toDateTime();
    if (!taken.isValid()) return;
    writeCsv(scanCsv(m_history.scanAt(taken)), QStringLiteral("解析_%1.csv").arg(taken.toString(QStringLiteral("yyyyMMdd_HHmm"))));
}

HistoryWindow::TimeAxis HistoryWindow::timeAxis(const QDateTime& first, const QDateTime& last) {
    TimeAxis axis;
    axis.from = first;
    axis.to = last > first ? last : first.addSecs(60);  // one scan: a minute's width to draw it in
    const qint64 span = axis.from.secsTo(axis.to);
    qint64 unit = 60;
    if (axis.from.date().year() != axis.to.date().year()) {
        axis.format = span >= 7 * 86400 ? QStringLiteral("yyyy/MM/dd") : QStringLiteral("yyyy/MM/dd HH:mm");
        unit = span >= 7 * 86400 ? 86400 : 60;
    } else if (axis.from.date() != axis.to.date()) {
        axis.format = span >= 7 * 86400 ? QStringLiteral("MM/dd") : QStringLiteral("MM/dd HH:mm");
        unit = span >= 7 * 86400 ? 86400 : 60;
    } else if (span < 120) {
        axis.format = QStringLiteral("HH:mm:ss");
        unit = 1;
    } else {
        axis.format = QStringLiteral("HH:mm");
    }
    // Ticks at least one unit of the label apart, so that no two read the same.
    axis.ticks = static_cast<int>(qBound(qint64(2), span / unit + 1, qint64(6)));
    return axis;
}

QStringList HistoryWindow::timeLabels(const TimeAxis& axis) {
    QStringList labels;
    const qint64 from = axis.from.toMSecsSinceEpoch(), to = axis.to.toMSecsSinceEpoch();
    for (int i = 0; i < axis.ticks; ++i)
        labels << QDateTime::fromMSecsSinceEpoch(from + (to - from) * i / (axis.ticks - 1)).toString(axis.format);
    return labels;
}

QString HistoryWindow::historyCsv(const QList<HistoryStore::Entry>& entries) {
    QString text =
        csv::line({QStringLiteral("日時"), QStringLiteral("オークションID"), QStringLiteral("タイトル"), QStringLiteral("アクセス"),
                   QStringLiteral("ウォッチ"), QStringLiteral("入札"), QStringLiteral("残り時間"), QStringLiteral("価格")});
    for (const HistoryStore::Entry& e : entries)
        text += csv::line({when(e.taken), e.auctionId, e.title, e.access, e.watch, e.bids, e.timeLeft, e.price});
    return text;
}

QString HistoryWindow::scanCsv(const QList<HistoryStore::Entry>& entries) {
    QString text = csv::line({QStringLiteral("No."), QStringLiteral("日時"), QStringLiteral("オークションID"), QStringLiteral("タイトル"),
                              QStringLiteral("アクセス"), QStringLiteral("ウォッチ"), QStringLiteral("入札"), QStringLiteral("残り時間"),
                              QStringLiteral("価格")});
    for (const HistoryStore::Entry& e : entries)
        text += csv::line({QString::number(e.row), when(e.taken), e.auctionId, e.title, e.access, e.watch, e.bids, e.timeLeft, e.price});
    return text;
}
