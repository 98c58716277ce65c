#include "listing/csv/frmCSV.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "listing/form/MirrorTable.h"
#include "widgets/Named.h"
#include "widgets/ScreenFit.h"

namespace {
const QString kCaption = QStringLiteral("CSVから追加");
}  // namespace

namespace listingcsv {

QByteArray readCsvFile(const QString& path, QString* problem) { return csv::readFile(path, QStringLiteral("出品CSV"), problem); }

bool exportFiles(UiServices& ui, const QStringList& memoryFiles, const Hooks& hooks, QWidget* owner) {
    if (memoryFiles.isEmpty()) {
        ui.message(QStringLiteral("書き出す記憶ファイルがありません。"), QStringLiteral("CSVに書き出す"), UiServices::Icon::Information,
                   UiServices::Buttons::Ok, owner);
        return false;
    }
    const QStringList designs = hooks.context ? hooks.context().designs : QStringList();
    QList<QStringList> rows;
    QStringList unread;
    for (const QString& file : memoryFiles) {
        const std::optional<QMap<QString, QString>> controls = hooks.readMemory ? hooks.readMemory(file) : std::nullopt;
        if (controls)
            rows << exportRow(*controls, file, designs);
        else
            unread << QFileInfo(file).fileName();
    }
    QString path = ui.saveFileName(ProgramFolder::user(), QStringLiteral("CSVファイル(*.CSV)|*.csv"), owner);
    if (path.isEmpty()) return false;
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) path += QStringLiteral(".csv");
    if (!TextFile::writeBytes(path, exportBytes(rows))) {
        ui.message(QStringLiteral("CSVファイルを保存できませんでした。\r\n") + path, QStringLiteral("CSVに書き出す"),
                   UiServices::Icon::Critical, UiServices::Buttons::Ok, owner);
        return false;
    }
    QString said = QStringLiteral("%1件を書き出しました。\r\n%2").arg(rows.size()).arg(path);
    if (!unread.isEmpty())
        said += QStringLiteral("\r\n\r\n記憶ファイルとして読めなかったため、次のファイルは書き出していません。\r\n") +
                unread.join(QStringLiteral("\r\n"));
    ui.message(said, QStringLiteral("CSVに書き出す"), unread.isEmpty() ? UiServices::Icon::Information : UiServices::Icon::Warning,
               UiServices::Buttons::Ok, owner);
    return true;
}

bool exportFolder(UiServices& ui, const Hooks& hooks, QWidget* owner) {
    const QString folder = ui.folderName(QStringLiteral("書き出す記憶ファイルのフォルダを選んで下さい。"), owner);
    if (folder.isEmpty()) return false;
    QStringList files;
    for (const QFileInfo& f : QDir(folder).entryInfoList({QStringLiteral("*.srb"), QStringLiteral("*.SRB")}, QDir::Files, QDir::Name))
        files << f.absoluteFilePath();
    return exportFiles(ui, files, hooks, owner);
}

}  // namespace listingcsv

frmCSV::frmCSV(UiServices& ui, const QString& csvPath, listingcsv::Hooks hooks, std::function<int(const QStringList&)> addToQueue,
               QWidget* parent)
    : QDialog(parent), m_ui(ui), m_path(csvPath), m_hooks(std::move(hooks)), m_add(std::move(addToQueue)) {
    setObjectName(QStringLiteral("frmCSV"));
    setWindowTitle(kCaption);
    auto* v = new QVBoxLayout(this);
    m_file = named(new QLabel, QStringLiteral("lblFILE"));
    m_file->setTextFormat(Qt::PlainText);
    m_file->setWordWrap(true);
    v->addWidget(m_file);
    m_table = named(new QTableWidget(0, 8), QStringLiteral("lvCSV"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("状態"), QStringLiteral("タイトル"),
                                        QStringLiteral("開始価格"), QStringLiteral("即決価格"), QStringLiteral("期間"),
                                        QStringLiteral("カテゴリ"), QStringLiteral("画像")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (const auto& [column, width] : QList<QPair<int, int>>{{0, 50}, {1, 80}, {2, 300}, {3, 80}, {4, 80}, {5, 60}, {6, 260}})
        m_table->setColumnWidth(column, width);
    m_table->setWordWrap(false);
    v->addWidget(m_table, 3);
    v->addWidget(new QLabel(QStringLiteral("問題（問題のある行は作りません。CSVを直して保存し、「読み直す」を押して下さい）")));
    m_problems = named(new QPlainTextEdit, QStringLiteral("txtPROBLEMS"));
    m_problems->setReadOnly(true);
    v->addWidget(m_problems, 2);
    auto* where = new QHBoxLayout;
    where->addWidget(new QLabel(QStringLiteral("記憶ファイルの作成先:")));
    m_folder = named(new QLineEdit(ProgramFolder::user()), QStringLiteral("txtFOLDER"));
    where->addWidget(m_folder, 1);
    auto* browse = named(new QPushButton(QStringLiteral("参照...")), QStringLiteral("cmdFOLDER"));
    where->addWidget(browse);
    v->addLayout(where);
    auto* bottom = new QHBoxLayout;
    m_status = named(new QLabel, QStringLiteral("lblSTATUS"));
    m_status->setWordWrap(true);
    bottom->addWidget(m_status, 1);
    auto* again = named(new QPushButton(QStringLiteral("読み直す")), QStringLiteral("cmdRELOAD"));
    m_make = named(new QPushButton(QStringLiteral("作成してキューに追加")), QStringLiteral("cmdMAKE"));
    auto* close = named(new QPushButton(QStringLiteral("閉じる")), QStringLiteral("cmdCLOSE"));
    for (QPushButton* b : {again, m_make, close}) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    v->addLayout(bottom);
    resize(1100, 620);
    ScreenFit::fit(this);

    connect(browse, &QPushButton::clicked, this, [this] {
        const QString folder = m_ui.folderName(QStringLiteral("記憶ファイルを作るフォルダを選んで下さい。"), this);
        if (!folder.isEmpty()) m_folder->setText(folder);
    });
    connect(again, &QPushButton::clicked, this, &frmCSV::reload);
    connect(m_make, &QPushButton::clicked, this, [this] {
        if (makeRows() > 0) accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    reload();
}

bool frmCSV::reload() {
    QString problem;
    const QByteArray bytes = listingcsv::readCsvFile(m_path, &problem);
    listingcsv::Context context = m_hooks.context ? m_hooks.context() : listingcsv::Context();
    context.csvFolder = QFileInfo(m_path).absolutePath();
    listingcsv::Plan plan;
    QString encoding;
    if (!problem.isEmpty()) {
        plan.problem = problem;
    } else {
        const csv::Table table = csv::read(bytes);
        encoding = table.encoding;
        plan = listingcsv::plan(table, context);
    }
    m_shownBytes = bytes;
    m_encoding = encoding;
    display(plan);
    if (!plan.problem.isEmpty()) {
        m_ui.message(plan.problem + QStringLiteral("\r\n") + m_path, kCaption, UiServices::Icon::Warning, UiServices::Buttons::Ok, this);
        return false;
    }
    return true;
}

void frmCSV::display(const listingcsv::Plan& plan) {
    m_plan = plan;
    m_file->setText(QStringLiteral("ファイル: %1").arg(QDir::toNativeSeparators(m_path)) +
                    (m_encoding.isEmpty() ? QString() : QStringLiteral("（%1 として読みました）").arg(m_encoding)) +
                    (plan.unknownColumns.isEmpty() ? QString()
                                                   : QStringLiteral("\n使わない列（名前が出品CSVの列にありません）: ") +
                                                         plan.unknownColumns.join(QStringLiteral("、"))));
    m_table->setRowCount(plan.rows.size());
    QStringList problems;
    for (int i = 0; i < plan.rows.size(); ++i) {
        const listingcsv::Row& row = plan.rows.at(i);
        bool ok = false;
        const int duration = row.controls.value(QStringLiteral("Combo1")).toInt(&ok);
        int pictures = 0;
        for (int n = 0; n < 3; ++n) pictures += row.controls.value(QStringLiteral("txtPicture_%1").arg(n)).isEmpty() ? 0 : 1;
        const QStringList cells{
            QString::number(row.line),
            row.good() ? QStringLiteral("作成できます") : QStringLiteral("問題 %1件").arg(row.problems.size()),
            row.title(),
            row.controls.value(QStringLiteral("imNumLite2")),
            row.controls.value(QStringLiteral("imNumLite4")),
            ok && duration >= 0 && duration < listing::durations().size() ? listing::durations().at(duration) : QString(),
            row.controls.value(QStringLiteral("txtCategory")),
            QString::number(pictures)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            if (!row.good()) item->setBackground(QColor(255, 220, 220));
            m_table->setItem(i, c, item);
        }
        for (const listingcsv::Problem& p : row.problems)
            problems << QStringLiteral("%1行目「%2」: %3")
                            .arg(row.line)
                            .arg(p.column, QString(p.text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    }
    m_problems->setPlainText(plan.problem.isEmpty() ? problems.join(QLatin1Char('\n')) : plan.problem);
    const int good = plan.goodRows();
    m_status->setText(plan.problem.isEmpty() ? QStringLiteral("%1行のうち %2行を作成できます。").arg(plan.rows.size()).arg(good)
                                             : QString());
    m_make->setEnabled(good > 0);
}

int frmCSV::makeRows() {
    const QString folder = m_folder->text().trimmed();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        m_ui.message(QStringLiteral("記憶ファイルの作成先フォルダがありません。\r\n") + folder, kCaption, UiServices::Icon::Warning,
                     UiServices::Buttons::Ok, this);
        return 0;
    }
    // The file as it is now: what the seller saw is what is made, or the changed file is shown first.
    const QByteArray shown = m_shownBytes;
    if (!reload()) return 0;
    if (m_shownBytes != shown) {
        m_ui.message(QStringLiteral("CSVファイルが変わっていたので読み直しました。内容を確かめてから、もう一度押して下さい。"), kCaption,
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return 0;
    }
    const listingcsv::Made made = listingcsv::make(m_plan.rows, folder, m_hooks.maker ? m_hooks.maker() : listingcsv::Maker());
    const int queued = made.files.isEmpty() ? 0 : m_add(made.files);
    QString said = QStringLiteral("%1件の記憶ファイルを作り、出品キューに%2件追加しました。").arg(made.files.size()).arg(queued);
    const int skipped = m_plan.rows.size() - m_plan.goodRows();
    if (skipped > 0) said += QStringLiteral("\r\n問題のある %1行は作っていません。").arg(skipped);
    if (!made.failures.isEmpty()) said += QStringLiteral("\r\n\r\n") + made.failures.join(QStringLiteral("\r\n"));
    if (queued < made.files.size())
        said += QStringLiteral(
                    "\r\n\r\n作った記憶ファイルのうち %1件は出品キューに入っていません。出品キューの「追加...」で加えて下さい（%2）。")
                    .arg(made.files.size() - queued)
                    .arg(QDir::toNativeSeparators(folder));
    m_ui.message(said, kCaption,
                 made.failures.isEmpty() && queued == made.files.size() ? UiServices::Icon::Information : UiServices::Icon::Warning,
                 UiServices::Buttons::Ok, this);
    return made.files.size();
}
