#include "myauction/MyAuctionPane.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "core/mduInterFace.h"
#include "myauction/Scan.h"
#include "myauction/HistoryWindow.h"
#include "myauction/ScanJob.h"
#include "site/Evidence.h"
#include "settings/SiteAddresses.h"
#include "widgets/ScreenFit.h"
#include "widgets/Grid.h"
#include "site/SharedNetwork.h"

namespace {
const QString kCaption = QStringLiteral("アクセス解析");

QString previousFile() { return ProgramFolder::data() + QStringLiteral("zenkai.csv"); }
QString historyFile() { return HistoryStore::programFile(); }
// Complete scans the history could not take yet (another program held it), until it can.
QString pendingFile() { return ProgramFolder::data() + QStringLiteral("rireki.pending.json"); }
constexpr int kPendingRetryMs = 30000;
const QString kPendingNote =
    QStringLiteral("この解析結果は保存待ちとして残し、履歴が使えるようになったら保存します（次の起動時にも保存します）。");

const QString kPositionNotice = QStringLiteral("※追加出品、出品終了分がある時は前回値がズレて正常に比較できません。");
const QString kByIdNotice = QStringLiteral("※前回値は、同じ出品（オークションID）の前回の解析結果と比べています。");
const QString kHistoryBehindNotice =
    QStringLiteral("※前回保存した解析結果が履歴に無いため、前回値は位置で比べています。追加出品、出品終了分がある時はズレます。");

QString clockOf(const QDateTime& t) { return scan::clockText(t.time().hour(), t.time().minute()); }

// Why the history did not take something, in the seller's words.
QString reasonOf(HistoryStore::Error error) {
    switch (error) {
        case HistoryStore::Error::None: return QString();
        case HistoryStore::Error::NoDriver: return QStringLiteral("履歴を扱う部品（SQLite）がインストールされていません。");
        case HistoryStore::Error::NoFolder: return QStringLiteral("履歴のフォルダがありません。");
        case HistoryStore::Error::Busy: return QStringLiteral("他のプログラムが履歴を使用中です。");
        case HistoryStore::Error::Newer: return QStringLiteral("新しい版のソラバコで作られた履歴です。");
        case HistoryStore::Error::Damaged: return QStringLiteral("履歴のファイルが壊れています。");
        case HistoryStore::Error::CannotMoveAside: return QStringLiteral("壊れた履歴のファイルを別の名前で残せませんでした。");
        case HistoryStore::Error::NoAuctionId: return QStringLiteral("オークションIDがありません。");
        case HistoryStore::Error::Refused: return QStringLiteral("履歴を読み書きできませんでした。");
    }
    return QString();
}
}  // namespace

MyAuctionPane::MyAuctionPane(UiServices& ui, QWidget* parent) : QWidget(parent), m_ui(ui) {
    setObjectName(QStringLiteral("MyAuctionPane"));
    auto* v = new QVBoxLayout(ScreenFit::scrollingContent(this));

    auto* top = new QHBoxLayout;
    m_command2 = new QPushButton(QStringLiteral("解  析"));
    m_command2->setObjectName(QStringLiteral("Command2"));
    top->addWidget(m_command2);
    m_ckHOZON = new QCheckBox(QStringLiteral("前回保存"));
    m_ckHOZON->setObjectName(QStringLiteral("ckHOZON"));
    top->addWidget(m_ckHOZON);
    m_cancel = new QPushButton(QStringLiteral("中止"));
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setEnabled(false);
    top->addWidget(m_cancel);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("pbScan"));
    m_progress->setTextVisible(false);
    m_progress->setMaximumWidth(220);
    m_progress->setVisible(false);
    top->addWidget(m_progress);
    m_progressText = new QLabel;
    m_progressText->setObjectName(QStringLiteral("lblScan"));
    top->addWidget(m_progressText, 1);
    m_label11 = new QLabel(QStringLiteral("現在:"));
    m_label11->setObjectName(QStringLiteral("Label11"));
    m_label11->setMinimumWidth(90);
    top->addWidget(m_label11);
    m_label12 = new QLabel(QStringLiteral("前回:"));
    m_label12->setObjectName(QStringLiteral("Label12"));
    m_label12->setMinimumWidth(90);
    top->addWidget(m_label12);
    v->addLayout(top);

    // The heading over the difference columns follows them when the grid scrolls or resizes.
    auto* heading = new QWidget;
    m_label13 = new QLabel(QStringLiteral("前回比"), heading);
    m_label13->setObjectName(QStringLiteral("Label13"));
    m_label13->setAlignment(Qt::AlignCenter);
    heading->setFixedHeight(m_label13->sizeHint().height());
    v->addWidget(heading);

    m_vbNow = new Grid;
    m_vbNow->setObjectName(QStringLiteral("vbNow"));
    m_vbNow->setCols(scan::kColumns);
    m_vbNow->setRows(1);
    const QStringList headers{QStringLiteral("No."),  QStringLiteral("タイトル"), QStringLiteral("ｱｸｾｽ"), QStringLiteral("ｳｫｯﾁ"),
                              QStringLiteral("落札"), QStringLiteral("残り時間"), QStringLiteral("値段"), QStringLiteral("ｱｸｾｽ"),
                              QStringLiteral("ｳｫｯﾁ"), QStringLiteral("落札"),     QStringLiteral("値段"), QStringLiteral("ｱｸｾｽ"),
                              QStringLiteral("ｳｫｯﾁ"), QStringLiteral("落札"),     QStringLiteral("値段")};
    const int widths[] = {390, 5700, 600, 600, 600, 855, 600, 600, 600, 600, 600, 600, 600, 600, 600};
    for (int c = 0; c < scan::kColumns; ++c) {
        m_vbNow->setText(0, c, headers[c]);
        m_vbNow->setColWidthTwips(c, widths[c]);
    }
    // A shop of a hundred listings or more: its row numbers must be read, not "…".
    m_vbNow->setColumnWidth(0, qMax(m_vbNow->columnWidth(0), m_vbNow->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 10));
    m_vbNow->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->addWidget(m_vbNow, 1);

    auto* bottom = new QHBoxLayout;
    m_label45 = new QLabel(kPositionNotice);
    m_label45->setObjectName(QStringLiteral("Label45"));
    bottom->addWidget(m_label45, 1);
    auto* rireki = new QPushButton(QStringLiteral("履歴"));
    rireki->setObjectName(QStringLiteral("cmdRIREKI"));
    rireki->setToolTip(
        QStringLiteral("選んだ出品のアクセス・ウォッチ・入札・価格の推移を表示します。（行をダブルクリックしても表示します）"));
    bottom->addWidget(rireki);
    v->addLayout(bottom);
    connect(rireki, &QPushButton::clicked, this, [this] { showHistory(m_vbNow->row()); });
    connect(m_vbNow, &QTableWidget::cellDoubleClicked, this, [this](int tableRow, int) { showHistory(tableRow + 1); });

    connect(m_command2, &QPushButton::clicked, this, &MyAuctionPane::Command2_Click);
    connect(m_vbNow->horizontalScrollBar(), &QScrollBar::valueChanged, this, &MyAuctionPane::placeHeading);
    connect(m_vbNow->horizontalHeader(), &QHeaderView::sectionResized, this, &MyAuctionPane::placeHeading);
    connect(m_cancel, &QPushButton::clicked, this, &MyAuctionPane::cancelScan);

    m_pendingRetry = new QTimer(this);
    m_pendingRetry->setInterval(kPendingRetryMs);
    connect(m_pendingRetry, &QTimer::timeout, this, &MyAuctionPane::storePending);
    // Scans that were waiting for the history when the program last ended.
    if (QFileInfo::exists(pendingFile())) {
        m_pendingRetry->start();
        QTimer::singleShot(0, this, &MyAuctionPane::storePending);
    }
}

MyAuctionPane::~MyAuctionPane() {
    // The history's thread ends within its busy wait; the program must not end under it.
    if (m_worker) m_worker->wait();
    if (m_recordWorker) m_recordWorker->wait();
    if (m_pendingWorker) m_pendingWorker->wait();
}

void MyAuctionPane::setPendingRetry(int ms) { m_pendingRetry->setInterval(ms); }

void MyAuctionPane::recordListing(const HistoryStore::Listed& listed, bool tell) {
    m_pendingRecords.append(listed);
    if (!tell) m_quietRecords.insert(listed.auctionId);
    if (!m_recordWorker) storeRecords();  // else the running one starts the next batch when it ends
}

std::optional<QList<HistoryStore::Listed>> MyAuctionPane::listings() const { return historythread::listings(historyFile()); }

void MyAuctionPane::storeRecords() {
    const QList<HistoryStore::Listed> batch = std::exchange(m_pendingRecords, {});
    const QSet<QString> quiet = std::exchange(m_quietRecords, {});
    auto why = std::make_shared<HistoryStore::Error>(HistoryStore::Error::None);
    auto stored = std::make_shared<bool>(false);
    // One connection and one commit for the batch, however many records it has.
    QThread* worker =
        QThread::create([path = historyFile(), batch, why, stored] { *stored = historythread::storeListed(path, batch, why.get()); });
    m_recordWorker = worker;
    connect(worker, &QThread::finished, this, [this, worker, batch, quiet, why, stored] {
        worker->deleteLater();
        m_recordWorker = nullptr;
        QStringList failed;
        if (!*stored)
            for (const HistoryStore::Listed& listed : batch)
                if (!quiet.contains(listed.auctionId)) failed << listed.auctionId + QStringLiteral("：") + reasonOf(*why);
        // The record itself is kept in its folder already; only the history's copy is missing.
        if (!failed.isEmpty())
            m_ui.message(
                QStringLiteral("出品記録をアクセス解析の履歴に保存できませんでした。記録は出品記録のフォルダに残っています。\r\n") +
                    historyFile() + QStringLiteral("\r\n") + failed.join(QStringLiteral("\r\n")),
                kCaption, UiServices::Icon::Warning, UiServices::Buttons::Ok, this);
        if (!m_pendingRecords.isEmpty()) storeRecords();
        Q_EMIT listingRecorded();
    });
    worker->start();
}

void MyAuctionPane::storePending() {
    // A scan's answer stores them before its own; one try at a time.
    if (m_worker || m_pendingWorker) return;
    auto result = std::make_shared<historythread::PendingResult>();
    QThread* worker = QThread::create(
        [history = historyFile(), pending = pendingFile(), result] { *result = historythread::storePending(history, pending); });
    m_pendingWorker = worker;
    connect(worker, &QThread::finished, this, [this, worker, result] {
        worker->deleteLater();
        m_pendingWorker = nullptr;
        if (result->left == 0) m_pendingRetry->stop();
        if (result->stored == 0) return;
        if (isScanning()) {
            m_pendingStoredMeanwhile += result->stored;
            return;
        }
        QString status = m_progressText->text();
        if (!status.isEmpty() && !status.endsWith(QStringLiteral("。"))) status += QStringLiteral("。");
        m_progressText->setText(status + QStringLiteral("保存を待っていた解析結果（%1 回分）を履歴に保存しました。").arg(result->stored));
    });
    worker->start();
}

void MyAuctionPane::placeHeading() {
    const int left = m_vbNow->x() + m_vbNow->frameWidth() + m_vbNow->verticalHeader()->width() + m_vbNow->columnViewportPosition(11);
    int width = 0;
    for (int c = 11; c < scan::kColumns; ++c) width += m_vbNow->columnWidth(c);
    m_label13->setGeometry(left, 0, width, m_label13->parentWidget()->height());
}

void MyAuctionPane::showRows(const QList<scan::Row>& rows) {
    // Cell by cell: a tab inside a value read from a page must stay in its cell, not open a new one.
    for (const scan::Row& row : rows) {
        m_vbNow->addRow(QStringList(row.cells.begin(), row.cells.end()));
        const int r = m_vbNow->rows() - 1;
        for (int c = 0; c < scan::kColumns; ++c)
            if (row.colours[c] != 0) m_vbNow->setCellBackground(r, c, QColor(QRgb(row.colours[c])));
    }
}

HistoryStore* MyAuctionPane::history() {
    if (m_history && m_history->isOpen()) return m_history.get();
    m_history = std::make_unique<HistoryStore>(historyFile());
    const HistoryStore::Opened opened = m_history->open();
    if (opened == HistoryStore::Opened::MovedAside)
        m_ui.message(
            QStringLiteral("アクセス解析の履歴が壊れていたため、次の名前で残して新しく始めます。\r\n") + m_history->movedAsidePath(),
            kCaption, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
    if (opened == HistoryStore::Opened::Failed) {
        m_ui.message(QStringLiteral("アクセス解析の履歴を開けませんでした。\r\n") + historyFile() +
                         QStringLiteral("\r\n解析結果は前回データ（位置）と比べて表示します。"),
                     kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
        m_history.reset();
        return nullptr;
    }
    return m_history.get();
}

void MyAuctionPane::showHistory(int row) {
    if (row < 1 || row > m_rowAddresses.size()) {
        m_ui.message(QStringLiteral("履歴を表示する出品を一覧から選んで下さい。"), kCaption, UiServices::Icon::Information,
                     UiServices::Buttons::Ok, this);
        return;
    }
    HistoryStore* store = history();
    if (!store) return;
    const QString id = HistoryStore::auctionIdOf(m_rowAddresses[row - 1]);
    HistoryWindow window(m_ui, *store, id, this);
    window.setRecordOpener(m_openRecord);
    window.exec();
}

void MyAuctionPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeHeading();
}

void MyAuctionPane::Command2_Click() {
    if (isScanning()) return;  // one scan at a time
    m_vbNow->setRows(1);
    m_rowAddresses.clear();
    mduInterFace::Wait_Cursor(m_ui, 0);
    m_command2->setEnabled(false);
    m_cancel->setEnabled(true);
    m_progress->setRange(0, 0);
    m_progress->setVisible(true);
    m_progressText->clear();
    m_job = new ScanJob(*SharedNetwork::manager(), m_concurrency, this);
    connect(m_job, &ScanJob::progress, this, [this](const QString& text, int done, int total) {
        m_progressText->setText(text);
        m_progress->setRange(0, total);
        m_progress->setValue(done);
    });
    connect(m_job, &ScanJob::finished, this, &MyAuctionPane::scanDone);
    m_job->start(SiteAddresses::sellingUrl());
}

void MyAuctionPane::cancelScan() {
    if (m_job) m_job->cancel();
}

void MyAuctionPane::scanDone() {
    ScanJob* job = m_job;
    m_job = nullptr;
    job->deleteLater();
    m_cancel->setEnabled(false);
    if (job->isCancelled()) {
        m_command2->setEnabled(true);
        m_progress->setVisible(false);
        mduInterFace::Wait_Cursor(m_ui, 1);
        m_progressText->setText(QStringLiteral("解析を中止しました。"));
        Q_EMIT scanFinished();
        return;
    }
    Finished finished;
    finished.rows = scan::buildRows(job->steps(), job->figures());
    finished.taken = QDateTime::currentDateTime();
    finished.failedPages = job->failedPages();
    finished.failedListPages = job->failedListPages();
    finished.kept = m_ckHOZON->isChecked();
    finished.listProblem = job->listProblem();
    finished.listStatus = job->listHttpStatus();
    finished.evidence = job->evidence();
    if (finished.rows.isEmpty()) {
        finish(finished, std::nullopt);
        return;
    }
    m_comparing = true;
    // The history is read and written on a thread of its own: another program holding the
    // database makes the scan wait for it, not the window.
    historythread::Request request;
    request.path = historyFile();
    request.pendingPath = pendingFile();
    request.taken = finished.taken;
    request.rows = scan::storedRows(finished.rows);
    request.store = finished.complete();
    request.kept = finished.kept;
    m_progressText->setText(QStringLiteral("解析結果を履歴と比べています…"));
    auto answer = std::make_shared<historythread::Answer>();
    QThread* worker = QThread::create([request, answer] { *answer = historythread::ask(request); });
    m_worker = worker;
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this, [this, finished, answer] { finish(finished, *answer); });
    worker->start();
}

void MyAuctionPane::finish(Finished done, const std::optional<historythread::Answer>& answer) {
    m_comparing = false;
    m_command2->setEnabled(true);
    m_progress->setVisible(false);
    QList<scan::Row>& rows = done.rows;
    m_label11->setText(QStringLiteral("現在:") + clockOf(done.taken));
    // A missing previous scan reads as an empty one and leaves 前回 as it was; so does one that
    // is junk, after saying so (a good scan with 前回保存 then replaces it).
    QString previous;
    const TextFile::Read read = TextFile::readCp932Text(previousFile(), &previous);
    const QDateTime previousWritten = QFileInfo(previousFile()).lastModified();
    if (read == TextFile::Read::Ok) {
        scan::applyPrevious(rows, previous);
        m_label12->setText(QStringLiteral("前回:") + clockOf(previousWritten));
    }
    const bool previousUnreadable = read == TextFile::Read::NotText;

    if (answer && answer->opened == HistoryStore::Opened::MovedAside)
        m_ui.message(QStringLiteral("アクセス解析の履歴が壊れていたため、次の名前で残して新しく始めます。\r\n") + answer->movedAside,
                     kCaption, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
    if (answer && answer->opened == HistoryStore::Opened::Failed)
        m_ui.message(QStringLiteral("アクセス解析の履歴を開けませんでした。\r\n") + historyFile() +
                         QStringLiteral("\r\n解析結果は前回データ（位置）と比べて表示します。") +
                         (answer->pending ? QStringLiteral("\r\n") + kPendingNote : QString()),
                     kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
    if (answer) {
        if (answer->pendingLeft > 0)
            m_pendingRetry->start();
        else
            m_pendingRetry->stop();
    }
    const bool historyOpen = answer && answer->opened != HistoryStore::Opened::Failed;

    // The base is the scan the seller last kept, by auction ID as by position. A kept scan the
    // history could not store left the previous-scan file newer than the history's last kept
    // one (its figures are not the history's last kept ones): comparing by ID would then compare
    // with an older scan, so it is by position, and said.
    const std::optional<HistoryStore::Base>& base = historyOpen ? answer->base : std::nullopt;
    const bool historyBehind = base && read == TextFile::Read::Ok && !scan::isPreviousFileOf(*base, previous);
    scan::Comparison byId;
    const bool comparedById = base && !historyBehind;
    if (comparedById) {
        byId = scan::applyPreviousById(rows, base->byId, base->ids, done.failedListPages == 0);
        m_label12->setText(QStringLiteral("前回:") + clockOf(base->taken));
    }
    scan::compare(rows);
    m_label45->setText(comparedById && byId.byPosition == 0 ? kByIdNotice : historyBehind ? kHistoryBehindNotice : kPositionNotice);
    // The previous scan is the base of the next comparison: a scan that found nothing (signed
    // out, the site down) or missed pages would replace it with holes, so it stays as it was.
    const bool complete = done.complete();
    const bool historyFailed = historyOpen && complete && !answer->stored;
    const bool keptPrevious = done.kept && !complete;
    bool saveFailed = false;
    if (done.kept && complete) saveFailed = !TextFile::writeCp932Lines(previousFile(), scan::previousLines(rows));

    showRows(rows);
    m_rowAddresses.clear();
    for (const scan::Row& row : rows) m_rowAddresses << row.address;
    if (m_vbNow->rows() > 1) m_vbNow->setRow(1);
    mduInterFace::Wait_Cursor(m_ui, 1);
    const int failed = done.failedPages + done.failedListPages;
    QString status = failed > 0 ? QStringLiteral("%1 件を解析しました（取得できなかったページ %2 件）").arg(rows.size()).arg(failed)
                                : QStringLiteral("%1 件を解析しました").arg(rows.size());
    if (comparedById && !byId.endedCounted)
        status += QStringLiteral("。新規出品 %1 件（一覧のページが欠けたため、終了した出品は数えていません）").arg(byId.fresh);
    else if (comparedById && (byId.fresh > 0 || byId.ended > 0))
        status += QStringLiteral("。新規出品 %1 件、前回から終了した出品 %2 件").arg(byId.fresh).arg(byId.ended);
    if (historyBehind) status += QStringLiteral("。前回保存した解析結果が履歴に無いため、前回値は位置で比べました");
    if (keptPrevious) status += QStringLiteral("。前回データは保存せず、前回の解析結果をそのまま残しました。");
    const int storedLate = (answer ? answer->pendingStored : 0) + std::exchange(m_pendingStoredMeanwhile, 0);
    if (storedLate > 0) status += QStringLiteral("。保存を待っていた解析結果（%1 回分）を履歴に保存しました").arg(storedLate);
    if (answer && answer->pendingLeft > 0)
        status += QStringLiteral("。履歴が使えないため、解析結果 %1 回分を保存待ちにしています").arg(answer->pendingLeft);
    m_progressText->setText(status);

    // Once per scan, however many item pages failed: the progress line says how many.
    if (done.failedPages > 0)
        m_ui.message(QStringLiteral("情報を取得できませんでした。") + site::evidenceNote(done.evidence), QStringLiteral("ソラバコ"),
                     UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
    if (previousUnreadable)
        m_ui.message(QStringLiteral("前回データを読み込めませんでした。\r\n") + previousFile(), kCaption, UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, this);
    // A scan kept waiting is stored later, and the next scan compares with it by ID once it is.
    if (historyFailed && answer->pending)
        m_ui.message(QStringLiteral("アクセス解析の履歴を保存できませんでした。\r\n") + historyFile() +
                         QStringLiteral("\r\n他のプログラムが使用中か、書き込めません。\r\n") + kPendingNote,
                     kCaption, UiServices::Icon::Warning, UiServices::Buttons::Ok, this);
    else if (historyFailed)
        m_ui.message(
            QStringLiteral("アクセス解析の履歴を保存できませんでした。\r\n") + historyFile() +
                QStringLiteral("\r\n他のプログラムが使用中か、書き込めません。") +
                (done.kept && !saveFailed ? QStringLiteral("前回データは保存しました。次の解析は、履歴ではなく前回データと位置で比べます。")
                                          : QStringLiteral("この解析は履歴に残りません。")),
            kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
    if (saveFailed)
        m_ui.message(QStringLiteral("前回データを保存できませんでした。\r\n") + previousFile(), kCaption, UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, this);
    // What kept the list from being read, when something did; an empty list read whole keeps
    // the message that the list is empty or the seller signed out.
    if (done.listProblem != scan::ListProblem::None)
        m_ui.message(scan::listProblemMessage(done.listProblem, done.listStatus) +
                         (done.listProblem == scan::ListProblem::SignedOut ? QString() : site::evidenceNote(done.evidence)),
                     kCaption,
                     done.listProblem == scan::ListProblem::SignedOut ? UiServices::Icon::Information : UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, this);
    else if (rows.isEmpty())
        m_ui.message(QStringLiteral("出品リストが無いか、Yahooにログインしていません。\r\n確認して下さい。"), kCaption,
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
    Q_EMIT scanFinished();
}
