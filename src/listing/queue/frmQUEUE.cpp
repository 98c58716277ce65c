#include "listing/queue/frmQUEUE.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "listing/csv/frmCSV.h"
#include "listing/queue/QueueRun.h"
#include "widgets/Named.h"

using listingqueue::State;

namespace {
const QString kMemoryFilter = QStringLiteral("記憶ファイル(*.SRB)|*.srb");

QStringList memoryFilesIn(const QMimeData* data) {
    QStringList files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".srb"), Qt::CaseInsensitive)) files << url.toLocalFile();
    return files;
}
}  // namespace

frmQUEUE::frmQUEUE(UiServices& ui, QueueRun& run, QWidget* parent) : QDialog(parent), m_ui(ui), m_run(run) {
    setObjectName(QStringLiteral("frmQUEUE"));
    setWindowTitle(QStringLiteral("出品キュー"));
    setAcceptDrops(true);
    auto* v = new QVBoxLayout(this);
    m_status = named(new QLabel, QStringLiteral("lblQUEUE"));
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    v->addWidget(new QLabel(
        QStringLiteral("記憶ファイルを追加（ここへドロップもできます）して「開始」を押すと、1件ずつサイトの確認画面まで進めます。\n"
                       "確認画面で内容を確かめ、サイトの「利用規約とガイドラインに同意する」ボタンはご自身で押して下さい。")));
    auto* middle = new QHBoxLayout;
    m_table = named(new QTableWidget(0, 5), QStringLiteral("lvQUEUE"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("タイトル"), QStringLiteral("カテゴリ"), QStringLiteral("画像"),
                                        QStringLiteral("状態"), QStringLiteral("オークションID・理由")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(0, 230);
    m_table->setColumnWidth(1, 200);
    m_table->setColumnWidth(2, 40);
    m_table->setColumnWidth(3, 70);
    m_table->setWordWrap(false);
    middle->addWidget(m_table, 1);
    auto* side = new QVBoxLayout;
    auto* add = named(new QPushButton(QStringLiteral("追加...")), QStringLiteral("cmdADD"));
    auto* fromCsv = named(new QPushButton(QStringLiteral("CSVから追加...")), QStringLiteral("cmdCSV"),
                          QStringLiteral("表計算ソフトで作った出品CSVの行を、確かめてから記憶ファイルにしてキューに追加します。"));
    auto* up = named(new QPushButton(QStringLiteral("上へ")), QStringLiteral("cmdUP"));
    auto* down = named(new QPushButton(QStringLiteral("下へ")), QStringLiteral("cmdDOWN"));
    auto* remove = named(new QPushButton(QStringLiteral("削除")), QStringLiteral("cmdREMOVE"),
                         QStringLiteral("行をキューから外します。記憶ファイルはそのままです。"));
    auto* back = named(new QPushButton(QStringLiteral("待機に戻す")), QStringLiteral("cmdBACK"),
                       QStringLiteral("要確認の行を、サイトで確かめた後にもう一度出品するときに使います。"));
    for (QPushButton* b : {add, fromCsv, up, down, remove, back}) side->addWidget(b);
    side->addStretch(1);
    middle->addLayout(side);
    v->addLayout(middle, 1);
    v->addWidget(m_status);
    auto* bottom = new QHBoxLayout;
    m_atOnce = named(new QCheckBox(QStringLiteral("出品が終わったらすぐ次へ進む")), QStringLiteral("chkAUTO"));
    m_atOnce->setChecked(m_run.goesOnAtOnce());
    bottom->addWidget(m_atOnce);
    bottom->addStretch(1);
    auto* start = named(new QPushButton(QStringLiteral("開始")), QStringLiteral("cmdSTART"));
    auto* pause = named(new QPushButton(QStringLiteral("一時停止")), QStringLiteral("cmdPAUSE"));
    auto* skip = named(new QPushButton(QStringLiteral("スキップ")), QStringLiteral("cmdSKIP"));
    auto* next = named(new QPushButton(QStringLiteral("次へ")), QStringLiteral("cmdNEXT"));
    auto* close = named(new QPushButton(QStringLiteral("閉じる")), QStringLiteral("cmdCLOSE"));
    for (QPushButton* b : {start, pause, skip, next, close}) bottom->addWidget(b);
    v->addLayout(bottom);
    resize(900, 440);

    connect(add, &QPushButton::clicked, this, [this] { addFiles(m_ui.openFileNames(ProgramFolder::user(), kMemoryFilter, this)); });
    connect(fromCsv, &QPushButton::clicked, this, [this] {
        const QString path = m_ui.openFileName(ProgramFolder::user(), QStringLiteral("CSVファイル(*.CSV;*.TXT)|*.csv;*.txt"), this);
        if (path.isEmpty()) return;
        frmCSV review(
            m_ui, path, m_run.csvHooks(), [this](const QStringList& files) { return m_run.add(files); }, this);
        review.exec();
    });
    connect(up, &QPushButton::clicked, this, [this] {
        if (m_run.queue().move(selectedRow(), -1) && m_run.saveQueue()) refresh();
    });
    connect(down, &QPushButton::clicked, this, [this] {
        if (m_run.queue().move(selectedRow(), 1) && m_run.saveQueue()) refresh();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        const int id = selectedRow();
        if (!id) return;
        if (!m_run.queue().remove(id)) {
            m_ui.message(QStringLiteral("入力中と確認待ちの行は削除できません。一時停止かスキップの後に削除して下さい。"), windowTitle(),
                         UiServices::Icon::Information, UiServices::Buttons::Ok, this);
            return;
        }
        m_run.saveQueue();
        refresh();
    });
    connect(back, &QPushButton::clicked, this, [this] {
        const int id = selectedRow();
        const listingqueue::Row* row = m_run.queue().row(id);
        if (!row || row->state != State::NeedsCheck) return;
        // The one way a row that may have reached the site is entered again: the seller says so.
        if (m_ui.message(
                QStringLiteral("「%1」を待機に戻します。\r\nサイトの出品中の一覧に出品されていないことを確かめましたか？").arg(row->title),
                windowTitle(), UiServices::Icon::Question, UiServices::Buttons::YesNo, this) != UiServices::Answer::Yes)
            return;
        m_run.queue().backToWaiting(id, true);
        m_run.saveQueue();
        refresh();
    });
    connect(m_atOnce, &QCheckBox::toggled, this, [this](bool on) { m_run.setGoOnAtOnce(on); });
    connect(start, &QPushButton::clicked, &m_run, &QueueRun::start);
    connect(next, &QPushButton::clicked, &m_run, &QueueRun::start);
    connect(pause, &QPushButton::clicked, &m_run, &QueueRun::pause);
    connect(skip, &QPushButton::clicked, &m_run, &QueueRun::skip);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_run, &QueueRun::changed, this, &frmQUEUE::refresh);
    connect(&m_run, &QueueRun::stopped, this, [this](const QString& why) {
        refresh();
        m_status->setText(why);
    });
    refresh();
}

void frmQUEUE::addFiles(const QStringList& files) {
    if (files.isEmpty()) return;
    m_run.add(files);
}

int frmQUEUE::selectedRow() const {
    const int at = m_table->currentRow();
    if (at < 0 || at >= m_run.queue().rows().size()) return 0;
    return m_run.queue().rows().at(at).id;
}

void frmQUEUE::refresh() {
    {
        const QSignalBlocker quiet(m_atOnce);
        m_atOnce->setChecked(m_run.goesOnAtOnce());
    }
    const int keep = selectedRow();
    const QList<listingqueue::Row>& rows = m_run.queue().rows();
    m_table->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const listingqueue::Row& r = rows[i];
        const QString last = r.state == State::Listed ? r.auctionId : r.state == State::NeedsCheck ? r.reason : QString();
        const QStringList cells{r.title, r.category.isEmpty() ? QStringLiteral("（なし）") : r.category, QString::number(r.pictures),
                                listingqueue::stateText(r.state), last};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(c == 0 ? r.file : cells[c]);
            if (r.state == State::NeedsCheck) item->setForeground(QColor(0xC0, 0, 0));
            if (r.state == State::Listed) item->setForeground(QColor(0x60, 0x60, 0x60));
            if (r.id == m_run.current()) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            m_table->setItem(i, c, item);
        }
        if (r.id == keep) m_table->setCurrentCell(i, 0);
    }
    int waiting = 0, listed = 0, check = 0;
    for (const listingqueue::Row& r : rows) {
        waiting += r.state == State::Waiting;
        listed += r.state == State::Listed;
        check += r.state == State::NeedsCheck;
    }
    QString run;
    if (const listingqueue::Row* current = m_run.queue().row(m_run.current())) {
        run = current->state == State::AtConfirmation
                  ? QStringLiteral("「%1」がサイトの確認画面で待っています。内容を確かめ、サイトの同意ボタンを押して下さい。\n")
                        .arg(current->title)
                  : QStringLiteral("「%1」を%2まで進めています。\n").arg(current->title, m_run.stepText());
    }
    m_status->setText(run + QStringLiteral("待機 %1 件、出品済 %2 件、要確認 %3 件").arg(waiting).arg(listed).arg(check));
}

void frmQUEUE::dragEnterEvent(QDragEnterEvent* event) {
    if (!memoryFilesIn(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void frmQUEUE::dropEvent(QDropEvent* event) {
    const QStringList files = memoryFilesIn(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    addFiles(files);
}
