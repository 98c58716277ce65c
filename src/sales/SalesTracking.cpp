// 取引一覧's 追跡番号をCSVから: the numbers of the labels the seller printed, each put on its sale.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>

#include "core/Csv.h"
#include "core/UiServices.h"
#include "sales/SalesModel.h"
#include "sales/SalesWindow.h"
#include "sales/TrackingImport.h"

using namespace sales;

namespace {
const QString kCaption = QStringLiteral("追跡番号の取り込み");
}

void SalesWindow::importTracking() {
    if (!keepTyped()) return;
    // Where a label program's download lands, unless the seller goes elsewhere.
    const QString path = m_ui.openFileName(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
                                           QStringLiteral("CSVファイル(*.CSV;*.TXT)|*.csv;*.txt"), this);
    if (path.isEmpty()) return;
    QString problem;
    const QByteArray bytes = csv::readFile(path, QStringLiteral("送り状のCSV"), &problem);
    TrackingFile file;
    if (problem.isEmpty()) {
        file = readTrackingFile(csv::read(bytes), m_model->sales());
        problem = file.problem;
    }
    if (!problem.isEmpty()) {
        m_ui.message(problem, kCaption, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }

    // The sales by their keys: a refresh may read the list again while the dialog is open.
    struct Taking {
        QString key, tracking, carrier;
        QDate date;
    };
    QList<Taking> taking;
    bool carrierWanted = false;
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("frmTSUISEKI"));
    dialog.setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* table = new QTableWidget(static_cast<int>(file.lines.size()), 7);
    table->setObjectName(QStringLiteral("grdTSUISEKI"));
    table->setHorizontalHeaderLabels({QStringLiteral("行"), QStringLiteral("追跡番号"), QStringLiteral("発送日"),
                                      QStringLiteral("オークションID"), QStringLiteral("落札者"), QStringLiteral("照合"),
                                      QStringLiteral("結果")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < file.lines.size(); ++r) {
        const TrackingLine& line = file.lines[r];
        QStringList ids, winners;
        for (int i : line.sales) {
            const Sale& s = m_model->sales()[i];
            ids << s.auctionId;
            winners << (s.winnerName.isEmpty() ? s.winnerId : s.winnerName);
            if (line.outcome != TrackingLine::Outcome::Take) continue;
            taking << Taking{SalesModel::keyOf(s), line.tracking, line.carrier, line.date};
            carrierWanted = carrierWanted || (line.carrier.isEmpty() && s.shipment.carrier.isEmpty());
        }
        const QStringList cells{QString::number(line.line),
                                line.tracking,
                                line.date.isValid() ? line.date.toString(QStringLiteral("yyyy/MM/dd")) : QString(),
                                ids.join(QStringLiteral("、")),
                                winners.join(QStringLiteral("、")),
                                line.how,
                                outcomeText(line.outcome)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (line.outcome != TrackingLine::Outcome::Take) item->setForeground(palette().placeholderText());
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    const int takenLines = static_cast<int>(std::count_if(file.lines.begin(), file.lines.end(),
                                                          [](const TrackingLine& l) { return l.outcome == TrackingLine::Outcome::Take; }));
    auto* says =
        new QLabel(QStringLiteral("「%1」の %2行のうち、%3行の追跡番号を %4件の取引に入れます。すでに入っている番号は変えません。\n"
                                  "取り込んだ取引を選んでおきます。続けて「メール作成」で発送完了のご連絡を作れます。")
                       .arg(QFileInfo(path).fileName())
                       .arg(file.lines.size())
                       .arg(takenLines)
                       .arg(taking.size()));
    says->setObjectName(QStringLiteral("lblTSUISEKI"));
    says->setWordWrap(true);
    layout->addWidget(says);
    layout->addWidget(table, 1);
    QComboBox* carrier = nullptr;
    if (carrierWanted) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("配送方法が入っていない取引の配送方法")));
        carrier = new QComboBox;
        carrier->setObjectName(QStringLiteral("cboHAISOU"));
        carrier->setEditable(true);
        for (int i = 0; i < m_carrier->count(); ++i) carrier->addItem(m_carrier->itemText(i));
        row->addWidget(carrier, 1);
        layout->addLayout(row);
    }
    auto* buttons = new QDialogButtonBox;
    QPushButton* take = buttons->addButton(QStringLiteral("取り込む"), QDialogButtonBox::AcceptRole);
    take->setObjectName(QStringLiteral("cmdTORIKOMU"));
    take->setEnabled(!taking.isEmpty());
    take->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("cmdCANCEL"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(860, 440);
    if (dialog.exec() != QDialog::Accepted) return;

    const QString chosenCarrier = carrier ? carrier->currentText().trimmed() : QString();
    QStringList taken;
    bool stopped = false;
    for (const Taking& t : taking) {
        const int i = saleOfKey(t.key);
        if (i < 0) continue;
        Sale& s = m_model->sale(i);
        // Typed, cancelled or rated while the dialog was open, or taken from an earlier line: as it is.
        if (!s.shipment.tracking.isEmpty() || s.stage == Stage::Cancelled || s.stage == Stage::Rated) continue;
        s.shipment.tracking = t.tracking;
        if (s.shipment.carrier.isEmpty()) s.shipment.carrier = t.carrier.isEmpty() ? chosenCarrier : t.carrier;
        if (!s.shipment.date.isValid() && t.date.isValid()) s.shipment.date = t.date;
        if (!storeSale(i)) {  // said so, and the list is as stored; what went in before stays in
            stopped = true;
            break;
        }
        taken << t.key;
    }
    if (taken.isEmpty()) return;
    // Shown whatever the filter, and chosen: the notices are the next click.
    m_show->setCurrentIndex(0);
    m_search->clear();
    selectKeys(taken, taken.first());
    showCurrent();
    m_status->setText(stopped ? QStringLiteral("%1件の取引に追跡番号を入れたところで止まりました。").arg(taken.size())
                              : QStringLiteral("%1件の取引に追跡番号を入れました。").arg(taken.size()));
}
