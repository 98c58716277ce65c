#include "app/frmSHINDAN.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "site/SiteCheckJob.h"

namespace {
const QString kCaption = QStringLiteral("サイト診断");

QColor colourOf(site::Verdict v) {
    switch (v) {
        case site::Verdict::Match: return QColor(0x1E, 0x7B, 0x34);
        case site::Verdict::Missing:
        case site::Verdict::Different: return QColor(0xC0, 0, 0);
        case site::Verdict::NotChecked: return QColor(0x70, 0x70, 0x70);
    }
    return QColor();
}
}  // namespace

frmSHINDAN::frmSHINDAN(UiServices& ui, const site::Hosts& hosts, QWidget* parent) : QDialog(parent), m_ui(ui), m_hosts(hosts) {
    setObjectName(QStringLiteral("frmSHINDAN"));
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    auto* intro =
        new QLabel(QStringLiteral("サイトのページを読み、ソラバコのサイト定義（MAST/サイト定義.ini）と比べます。"
                                  "何も送信せず、何も変えません。"));
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* row = new QHBoxLayout;
    m_start = new QPushButton(QStringLiteral("診断開始"));
    m_start->setObjectName(QStringLiteral("cmdSTART"));
    m_cancel = new QPushButton(QStringLiteral("中止"));
    m_cancel->setObjectName(QStringLiteral("cmdCANCEL"));
    m_cancel->setEnabled(false);
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("pbSHINDAN"));
    m_progress->setRange(0, SiteCheckJob::kPages);
    m_progress->setValue(0);
    row->addWidget(m_start);
    row->addWidget(m_cancel);
    row->addWidget(m_progress, 1);
    layout->addLayout(row);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("lblSHINDAN"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("tvSHINDAN"));
    m_tree->setHeaderLabels({QStringLiteral("項目"), QStringLiteral("結果"), QStringLiteral("定義の値"), QStringLiteral("今のサイト")});
    m_tree->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_tree->setColumnWidth(0, 200);
    m_tree->setColumnWidth(1, 110);
    m_tree->setColumnWidth(2, 230);
    m_tree->setMinimumHeight(200);
    layout->addWidget(m_tree, 1);
    auto* bottom = new QHBoxLayout;
    m_copy = new QPushButton(QStringLiteral("コピー"));
    m_copy->setObjectName(QStringLiteral("cmdCOPY"));
    m_save = new QPushButton(QStringLiteral("保存"));
    m_save->setObjectName(QStringLiteral("cmdSAVE"));
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    close->setObjectName(QStringLiteral("cmdCLOSE"));
    for (QPushButton* b : {m_copy, m_save}) b->setEnabled(false);
    bottom->addWidget(m_copy);
    bottom->addWidget(m_save);
    bottom->addStretch(1);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    connect(m_start, &QPushButton::clicked, this, &frmSHINDAN::cmdSTART_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmSHINDAN::cmdCANCEL_Click);
    connect(m_copy, &QPushButton::clicked, this, &frmSHINDAN::cmdCOPY_Click);
    connect(m_save, &QPushButton::clicked, this, &frmSHINDAN::cmdSAVE_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(900, 600);
}

frmSHINDAN::~frmSHINDAN() { delete m_job; }

void frmSHINDAN::cmdSTART_Click() {
    if (m_job) return;
    m_tree->clear();
    m_report.clear();
    m_progress->setValue(0);
    m_start->setEnabled(false);
    m_cancel->setEnabled(true);
    m_copy->setEnabled(false);
    m_save->setEnabled(false);
    m_job = new SiteCheckJob(m_hosts, this);
    connect(m_job, &SiteCheckJob::progress, this, [this](const QString& page, int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(qMin(done, total));
        m_status->setText(QStringLiteral("「%1」を読んでいます…").arg(page));
    });
    connect(m_job, &SiteCheckJob::finished, this, [this] {
        SiteCheckJob* job = m_job;
        m_job = nullptr;
        showFindings(*job);
        job->deleteLater();
        Q_EMIT checked();
    });
    m_job->start();
}

void frmSHINDAN::cmdCANCEL_Click() {
    if (m_job) m_job->cancel();
}

void frmSHINDAN::showFindings(const SiteCheckJob& job) {
    m_start->setEnabled(true);
    m_cancel->setEnabled(false);
    m_progress->setValue(m_progress->maximum());
    const QList<site::Finding>& findings = job.findings();
    QTreeWidgetItem* group = nullptr;
    QTreeWidgetItem* firstChange = nullptr;
    for (const site::Finding& f : findings) {
        if (!group || group->text(0) != f.page) {
            group = new QTreeWidgetItem(m_tree, {f.page});
            group->setExpanded(true);
        }
        auto* item = new QTreeWidgetItem(group, {f.fact, site::verdictText(f.verdict), f.expected, f.now});
        item->setForeground(1, colourOf(f.verdict));
        item->setToolTip(3, f.now);
        if (!firstChange && (f.verdict == site::Verdict::Missing || f.verdict == site::Verdict::Different)) firstChange = item;
    }
    // Each page's heading says how it went, so a long report reads from the top.
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* g = m_tree->topLevelItem(i);
        int bad = 0;
        for (int c = 0; c < g->childCount(); ++c)
            bad += g->child(c)->text(1) == site::verdictText(site::Verdict::Missing) ||
                   g->child(c)->text(1) == site::verdictText(site::Verdict::Different);
        g->setText(1, bad == 0 ? QStringLiteral("問題なし") : QStringLiteral("%1 件").arg(bad));
        g->setForeground(1, bad == 0 ? colourOf(site::Verdict::Match) : colourOf(site::Verdict::Different));
        // A page whose facts all match is folded away: what changed is what the seller looks for.
        g->setExpanded(bad > 0);
    }
    // The first change in sight, however far down its page it stands.
    if (firstChange) {
        m_tree->setCurrentItem(firstChange);
        m_tree->scrollToItem(firstChange, QAbstractItemView::PositionAtCenter);
    }
    m_report = site::reportText(findings);
    const int changed = site::countOf(findings, site::Verdict::Missing) + site::countOf(findings, site::Verdict::Different);
    QString status = job.isCancelled() ? QStringLiteral("中止しました（%1 ページを確かめました）。").arg(job.pagesLoaded())
                     : changed == 0
                         ? QStringLiteral("サイト定義と違うところはありません。")
                         : QStringLiteral("サイト定義と違うところが %1 件あります。MAST/サイト定義.ini で直せます。").arg(changed);
    if (!job.isCancelled() && !job.signedIn())
        status += QStringLiteral(
            "\nログインしていないため、出品フォーム・出品中一覧・商品ページなど、ログインが必要なページは確かめていません。");
    m_status->setText(status);
    m_copy->setEnabled(!findings.isEmpty());
    m_save->setEnabled(!findings.isEmpty());
}

void frmSHINDAN::cmdCOPY_Click() { m_ui.setClipboardText(m_report); }

void frmSHINDAN::cmdSAVE_Click() {
    QString path =
        m_ui.saveFileName(ProgramFolder::data() + QStringLiteral("サイト診断.txt"), QStringLiteral("テキスト(*.txt)|*.txt"), this);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) path += QStringLiteral(".txt");
    QStringList lines = m_report.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    QString lost;
    if (!TextFile::writeCp932Lines(path, lines, &lost)) {
        m_ui.message(QStringLiteral("診断結果を保存できませんでした。\r\n") + path, kCaption, UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, this);
        return;
    }
    if (!lost.isEmpty())
        m_ui.message(QStringLiteral("次の文字は保存できないため、「?」で保存しました。\r\n") + lost, kCaption,
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
}
