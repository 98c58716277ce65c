// 取引一覧's actions: what the seller's clicks do to the sales, each stored as it happens.
#include <QComboBox>
#include <QScopeGuard>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QHeaderView>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/Csv.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "sales/SaleMailDialog.h"
#include "sales/SalesMoney.h"
#include "sales/SalesMonthsWindow.h"
#include "sales/SaleRecord.h"
#include "sales/SalesModel.h"
#include "sales/SalesRefresh.h"
#include "sales/SalesWindow.h"
#include "settings/SalesKeys.h"
#include "settings/mINI.h"
#include "store/HistoryStore.h"
#include "store/SalesTable.h"
#include "widgets/PlainText.h"

using namespace sales;

namespace {
const QString kCaption = QStringLiteral("取引一覧");

QString amountText(qint64 yen) { return yen >= 0 ? QString::number(yen) : QString(); }
QString when(const QDateTime& t) { return t.toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm")); }
}  // namespace

void SalesWindow::showCurrent() {
    keepTyped();
    m_filling = true;
    const auto filled = qScopeGuard([this] { m_filling = false; });
    const int i = currentSale();
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_address, m_carrier, m_tracking, m_shipped, m_fee, m_paid, m_cost, m_note, m_caution})
        w->setEnabled(i >= 0);
    m_mails->clear();
    if (i < 0) {
        m_facts->setText(QStringLiteral("取引を選んで下さい。"));
        m_dates->clear();
        for (QLineEdit* e : {m_tracking, m_fee, m_paid, m_cost, m_caution}) e->clear();
        m_address->clear();
        m_note->clear();
        m_profit->clear();
        return;
    }
    const Sale& s = m_model->sales()[i];
    QString facts = QStringLiteral("%1\n%2\n落札者：%3 %4\n%5\n落札価格：%6　終了：%7")
                        .arg(s.auctionId, s.title, s.winnerId, s.winnerName, s.winnerMail, yen(s.price), when(s.ended));
    const int bought = m_model->salesOfBuyer(s.winnerId);
    if (bought > 1) facts += QStringLiteral("\nこの落札者との取引：%1件").arg(bought);
    if (const std::optional<SaleFeeDialog::Record> record = m_hooks.record ? m_hooks.record(s.auctionId) : std::nullopt) {
        facts += QStringLiteral("\n出品記録：%1　開始価格 %2円").arg(record->category, record->startPrice);
        const SaleFeeDialog::Package& p = record->package;
        if (p.sides[0] > 0 || p.grams > 0)
            facts += QStringLiteral("\n荷物：%1×%2×%3cm %4g").arg(p.sides[0]).arg(p.sides[1]).arg(p.sides[2]).arg(p.grams);
        if (!record->ways.isEmpty()) facts += QStringLiteral("\n発送方法：") + record->ways.join(QStringLiteral("、"));
    }
    m_facts->setText(facts);
    QStringList dates;
    for (Stage stage : allStages()) {
        const QDateTime at = s.reached(stage);
        if (at.isValid()) dates << stageName(stage) + QStringLiteral("：") + when(at);
    }
    if (const std::optional<Deadline> due = m_model->deadlineOf(s))
        dates << (due->over() ? QStringLiteral("期限：%1（%2日超過）").arg(when(due->due)).arg(due->daysOver)
                              : QStringLiteral("期限：%1").arg(when(due->due)));
    m_dates->setText(dates.join(QLatin1Char('\n')));
    m_dates->setStyleSheet(m_model->deadlineOf(s) && m_model->deadlineOf(s)->over() ? QStringLiteral("color: #c00000;") : QString());
    PlainText::setCrlf(m_address, s.address);
    m_carrier->setCurrentText(s.shipment.carrier);
    m_tracking->setText(s.shipment.tracking);
    m_shipped->setDate(s.shipment.date.isValid() ? s.shipment.date : m_shipped->minimumDate());
    m_fee->setText(amountText(s.shippingFee));
    m_paid->setText(amountText(s.shippingPaid));
    m_cost->setText(amountText(s.itemCost));
    m_profit->setText(s.stage == Stage::Cancelled ? QStringLiteral("－（取消）") : yen(moneyOf(s, feePercent()).profit()));
    PlainText::setCrlf(m_note, s.note);
    m_caution->setText(m_model->caution(s.winnerId));
    if (m_store)
        if (const auto kept = salestable::mails(*m_store, s.auctionId, s.winnerId))
            for (const salestable::Mail& m : *kept) {
                auto* item = new QListWidgetItem(QStringLiteral("%1 %2 %3（%4）").arg(when(m.made), m.stage, m.subject, m.handed));
                item->setData(Qt::UserRole, QStringLiteral("宛先：%1\n件名：%2\n\n%3").arg(m.addressee, m.subject, m.body));
                m_mails->addItem(item);
            }
}

bool SalesWindow::storeSale(int index) {
    HistoryStore* db = store();
    if (db && salestable::storeSellers(*db, toRow(m_model->sales()[index]))) {
        m_model->saleChanged(index);
        return true;
    }
    const bool busy = db && db->error() == HistoryStore::Error::Busy;
    m_ui.message((busy ? QStringLiteral("ほかのプログラムが取引のデータベースを使っているため、保存できませんでした。\r\n"
                                        "しばらくしてから、もう一度お試し下さい。")
                       : QStringLiteral("取引を保存できませんでした（ディスクの空き、データベースの状態を確かめて下さい）。")) +
                     QStringLiteral("\r\n取引は保存されている状態に戻します。"),
                 kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
    reload();
    return false;
}

void SalesWindow::moveOnSelected() {
    const QStringList chosen = selectedKeys();
    if (!keepTyped()) return;
    const QDateTime now = m_now();
    int moved = 0;
    for (const QString& key : chosen) {
        const int i = saleOfKey(key);
        if (i < 0 || !moveOn(m_model->sale(i), now)) continue;
        if (!storeSale(i)) return;
        ++moved;
    }
    if (moved == 0)
        m_ui.message(QStringLiteral("次の段階へ進められる取引が選ばれていません。"), kCaption, UiServices::Icon::Information,
                     UiServices::Buttons::Ok, this);
    showCurrent();
    updateSummary();
}

void SalesWindow::undoSelected() {
    const QStringList chosen = selectedKeys();
    if (!keepTyped()) return;
    for (const QString& key : chosen) {
        const int i = saleOfKey(key);
        if (i < 0 || !undo(m_model->sale(i))) continue;
        if (!storeSale(i)) return;
    }
    showCurrent();
    updateSummary();
}

void SalesWindow::cancelSelected() {
    const QStringList chosen = selectedKeys();
    if (!keepTyped()) return;
    if (chosen.isEmpty()) return;
    const UiServices::Answer answer = m_ui.message(QStringLiteral("選んだ %1件の取引を取り消します。\r\n落札者の都合による取消ですか？\r\n"
                                                                  "（はい：落札者都合　いいえ：出品者都合）")
                                                       .arg(chosen.size()),
                                                   kCaption, UiServices::Icon::Question, UiServices::Buttons::YesNoCancel, this);
    if (answer == UiServices::Answer::Cancel) return;
    const CancelReason reason = answer == UiServices::Answer::Yes ? CancelReason::Winner : CancelReason::Seller;
    for (const QString& key : chosen) {
        const int i = saleOfKey(key);
        if (i < 0 || !cancel(m_model->sale(i), reason, m_now())) continue;
        if (!storeSale(i)) return;
    }
    showCurrent();
    updateSummary();
}

bool SalesWindow::keepTyped() {
    if (m_typedFor.isEmpty()) return true;
    const int i = saleOfKey(m_typedFor);
    m_typedFor.clear();  // before saving: a save that reads the list again must not save once more
    return i < 0 || saveDetailInto(i);
}

void SalesWindow::saveDetail() {
    const int i = currentSale();
    if (i < 0) return;
    m_typedFor.clear();
    if (saveDetailInto(i)) showCurrent();
}

bool SalesWindow::saveDetailInto(int i) {
    const qint64 fee = yenWritten(m_fee->text()), paid = yenWritten(m_paid->text()), cost = yenWritten(m_cost->text());
    if (fee < -1 || paid < -1 || cost < -1) {
        m_ui.message(QStringLiteral("送料と原価は円の数字で入力して下さい。"), kCaption, UiServices::Icon::Information,
                     UiServices::Buttons::Ok, this);
        return false;
    }
    Sale& s = m_model->sale(i);
    const QString auctionId = s.auctionId, winnerId = s.winnerId;
    s.address = PlainText::crlf(m_address);
    s.shipment.carrier = m_carrier->currentText().trimmed();
    s.shipment.tracking = m_tracking->text().trimmed();
    s.shipment.date = m_shipped->date() == m_shipped->minimumDate() ? QDate() : m_shipped->date();
    s.shippingFee = fee;
    s.shippingPaid = paid;
    s.itemCost = cost;
    s.note = PlainText::crlf(m_note);
    const QString caution = m_caution->text().trimmed();
    // A store that failed has said so and shown the stored sale again; the action asked for stops.
    if (!storeSale(i)) return false;
    if (caution != m_model->caution(winnerId)) {
        HistoryStore* db = store();
        if (!db || !salestable::storeBuyer(*db, {winnerId, caution, QString()})) {
            m_ui.message(QStringLiteral("要注意の印を保存できませんでした。"), kCaption, UiServices::Icon::Critical,
                         UiServices::Buttons::Ok, this);
            return false;
        }
        reload();
    }
    m_status->setText(QStringLiteral("%1 を保存しました。").arg(auctionId));
    return true;
}

void SalesWindow::feeFromReply() {
    // Several sales selected: their replies one after the other, as their mails are made.
    QStringList chosen = selectedKeys();
    if (!keepTyped()) return;
    if (chosen.isEmpty()) {
        const int at = currentSale();
        if (at < 0) return;
        chosen << SalesModel::keyOf(m_model->sales()[at]);
    }
    for (int n = 0; n < chosen.size(); ++n) {
        // The list may be read again while a dialog is open: each sale by its key, not its place.
        const int at = saleOfKey(chosen[n]);
        if (at < 0) continue;
        // In a round over many, a sale that is over has no fee to work out.
        const Stage stage = m_model->sales()[at].stage;
        if (chosen.size() > 1 && (stage == Stage::Cancelled || stage == Stage::Rated)) continue;
        std::optional<SaleFeeDialog::Record> record = m_hooks.record ? m_hooks.record(m_model->sales()[at].auctionId) : std::nullopt;
        if (record)
            record->from = QStringLiteral("荷物の大きさと重さは、出品したときの記録から入れています。");
        else
            record = m_lastParcel;
        SaleFeeDialog dialog(m_model->sales()[at], m_hooks.feeRules, record, this);
        if (chosen.size() > 1) dialog.setWindowTitle(dialog.windowTitle() + QStringLiteral("（%1 / %2）").arg(n + 1).arg(chosen.size()));
        if (dialog.exec() != QDialog::Accepted) break;  // キャンセル ends the round; what was taken stays
        m_lastParcel = SaleFeeDialog::Record{
            {}, {}, dialog.package(), {dialog.way()}, QStringLiteral("荷物の大きさと重さは、前に送料を出した取引と同じにしています。")};
        const int i = saleOfKey(chosen[n]);
        if (i < 0) continue;
        Sale& s = m_model->sale(i);
        s.address = dialog.address();
        s.shippingFee = dialog.fee();
        s.shipment.carrier = dialog.way();
        if (!storeSale(i)) break;
    }
    showCurrent();
}

double SalesWindow::feePercent() const {
    bool found = false, ok = false;
    const double rate = mINI::Ini_Get(saleskeys::kSection, saleskeys::kFeeRate, &found).trimmed().toDouble(&ok);
    return found && ok && rate >= 0 && rate < 100 ? rate : saleskeys::kFeeRateDefault.toDouble();
}

void SalesWindow::showMonths() {
    SalesMonthsWindow months(byMonth(m_model->sales(), feePercent()), feePercent(), this);
    months.exec();
}

void SalesWindow::exportCsv() {
    if (!keepTyped()) return;
    // What the list shows, in its order: the filter chooses what goes to the spreadsheet.
    QList<Sale> shown;
    for (int row = 0; row < m_model->rowCount(); ++row) shown << m_model->sales()[m_model->saleIndex(row)];
    if (csv::saveAs(m_ui, ProgramFolder::data() + QStringLiteral("取引_%1.csv").arg(m_now().toString(QStringLiteral("yyyyMMdd"))),
                    salesCsv(shown, feePercent()), kCaption, this))
        m_status->setText(QStringLiteral("%1件の取引をCSVに書き出しました。").arg(shown.size()));
}

void SalesWindow::showBuyers() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("frmRAKUSATSUSHA"));
    dialog.setWindowTitle(QStringLiteral("落札者"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("行をダブルクリックすると、その落札者の取引だけを一覧に表示します。")));
    const QList<Buyer> buyers = buyersOf(m_model->sales());
    auto* table = new QTableWidget(static_cast<int>(buyers.size()), 7);
    table->setObjectName(QStringLiteral("grdRAKUSATSUSHA"));
    table->setHorizontalHeaderLabels({QStringLiteral("落札者ID"), QStringLiteral("名前"), QStringLiteral("取引"), QStringLiteral("合計"),
                                      QStringLiteral("初回"), QStringLiteral("最新"), QStringLiteral("要注意")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    for (int r = 0; r < buyers.size(); ++r) {
        const Buyer& b = buyers[r];
        const QStringList cells{b.winnerId,    b.name,       QStringLiteral("%1件").arg(b.count), yen(b.total),
                                when(b.first), when(b.last), m_model->caution(b.winnerId)};
        for (int c = 0; c < cells.size(); ++c) table->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    table->resizeColumnsToContents();
    layout->addWidget(table, 1);
    connect(table, &QTableWidget::cellDoubleClicked, &dialog, [this, &dialog, table](int row) {
        m_show->setCurrentIndex(0);
        m_search->setText(table->item(row, 0)->text());
        dialog.accept();
    });
    dialog.resize(760, 480);
    dialog.exec();
}

QString SalesWindow::readTemplate(const QString& key, const QString& fallback, QString* path) {
    // A key the file lacks is the shipped template; one the seller emptied is no template.
    bool found = false;
    QString name = mINI::Ini_Get(saleskeys::kSection, key, &found).trimmed();
    if (!found) name = fallback;
    if (name.isEmpty()) return QString();
    *path = ProgramFolder::templateMail() + name + QStringLiteral(".txt");
    QString text;
    return TextFile::readCp932Text(*path, &text) == TextFile::Read::Ok ? text : QString();
}

void SalesWindow::mailSelected(bool reminder) {
    const QStringList chosen = selectedKeys();
    if (!keepTyped()) return;
    if (chosen.isEmpty()) {
        m_ui.message(QStringLiteral("メールを作る取引を選んで下さい。"), kCaption, UiServices::Icon::Information, UiServices::Buttons::Ok,
                     this);
        return;
    }
    bool sendRest = false;
    for (int n = 0; n < chosen.size(); ++n)
        if (!mailOne(chosen[n], reminder, chosen.size() > 1 ? QStringLiteral("%1 / %2").arg(n + 1).arg(chosen.size()) : QString(),
                     n + 1 < chosen.size(), &sendRest))
            break;
    showCurrent();
    updateSummary();
}

bool SalesWindow::mailOne(const QString& key, bool reminder, const QString& place, bool more, bool* sendRest) {
    const int at = saleOfKey(key);
    if (at < 0) return true;  // gone from the list meanwhile: the next one
    Sale s = m_model->sales()[at];
    const std::optional<Stage> target = nextStage(s.stage);
    // The shipping notice is written on the day the parcel goes: a date not typed is today's, and
    // it is the sale's once the mail has left.
    const bool datedToday = !reminder && target == Stage::Shipped && !s.shipment.date.isValid();
    if (datedToday) s.shipment.date = m_now().toLocalTime().date();
    if (!reminder && !target) return true;  // nothing left to write about: the next sale
    const QString what = reminder ? kReminder : stageName(*target);
    QString path;
    const QString text = reminder ? readTemplate(reminderKey(), defaultReminderTemplate(), &path)
                                  : readTemplate(mailKey(*target), defaultTemplate(*target), &path);
    if (text.isEmpty()) {
        m_ui.message(path.isEmpty() ? QStringLiteral("「%1」のメールの雛形が設定されていません（設定の取引管理）。").arg(what)
                                    : QStringLiteral("メールの雛形を読み込めませんでした。\r\n") + path,
                     kCaption, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return path.isEmpty();
    }
    SaleMailDialog::Send send = m_hooks.send ? m_hooks.send() : SaleMailDialog::Send();
    // A mail for this stage that may have arrived already: sending another is the seller's call.
    if (send && !reminder)
        if (HistoryStore* db = store())
            if (const auto kept = salestable::mails(*db, s.auctionId, s.winnerId))
                for (const salestable::Mail& m : *kept)
                    if (m.stage == what && m.handed.startsWith(QStringLiteral("送信不明")) &&
                        m_ui.message(QStringLiteral("この段階のメールは、前に「送信不明」になっています（%1）。\r\n"
                                                    "落札者に届いていないことを確かめましたか？ もう一度メールを作りますか？")
                                         .arg(m.made.toLocalTime().toString(QStringLiteral("M/d H:mm"))),
                                     kCaption, UiServices::Icon::Question, UiServices::Buttons::YesNoDefaultNo,
                                     this) != UiServices::Answer::Yes)
                        return true;
    SaleMailDialog dialog(m_ui, this, send);
    dialog.setMail(s.winnerMail, subject(s, target.value_or(s.stage), reminder), fill(text, s, m_hooks.fill, m_model->deadlineOf(s)), place,
                   more);
    if (*sendRest && send) {
        // The seller read the first and said to send the rest: each goes unseen unless it fails,
        // and then it is shown as it stands, and the rest is the seller's to read again.
        dialog.send();
        if (dialog.outcome() == SaleMailDialog::Outcome::Stopped) {
            *sendRest = false;
            dialog.exec();
        }
    } else {
        dialog.exec();
    }
    if (dialog.sendRest()) *sendRest = true;
    const SaleMailDialog::Outcome outcome = dialog.outcome();
    if (outcome == SaleMailDialog::Outcome::Stopped) return false;
    if (outcome == SaleMailDialog::Outcome::Skipped) return true;
    if (outcome == SaleMailDialog::Outcome::Handed && !(m_hooks.handOver && m_hooks.handOver(dialog.to(), dialog.subject(), dialog.body())))
        return false;
    // Kept before the stage moves: a mail that left is on record even when the move cannot be stored.
    // A mail sent from the program keeps each attempt (one that may have arrived, then the one that went).
    const QStringList handed = outcome == SaleMailDialog::Outcome::Handed   ? QStringList{QStringLiteral("メーラー")}
                               : outcome == SaleMailDialog::Outcome::Copied ? QStringList{QStringLiteral("コピー")}
                                                                            : dialog.records();
    HistoryStore* db = store();
    bool keptAll = db != nullptr;
    for (const QString& how : handed)
        keptAll = keptAll && salestable::keepMail(*db, salestable::Mail{s.auctionId, s.winnerId, QDateTime::currentDateTimeUtc(), what,
                                                                        dialog.to(), dialog.subject(), dialog.body(), how});
    const bool sent = outcome == SaleMailDialog::Outcome::Sent;
    if (!keptAll) {
        // A mail that went is said to have gone: the seller must not send it again for want of a record.
        m_ui.message(
            sent ? QStringLiteral("メールは送信しましたが、取引の記録に残せませんでした。\r\n%1\r\n本文はクリップボードにコピーしました。")
                       .arg(handed.last())
                 : QStringLiteral("メールを取引の記録に残せませんでした。\r\n本文はクリップボードにコピーしました。"),
            kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
        m_ui.setClipboardText(dialog.body());
        if (!sent) return false;
    }
    // The sale as it is now (the list may have been read again while the mail was shown), moved
    // on only from the stage the mail was written for.
    const int index = saleOfKey(key);
    // A mail that may not have arrived (送信不明) moves nothing: the seller finds out first.
    if (outcome == SaleMailDialog::Outcome::Uncertain || reminder || index < 0 || m_model->sales()[index].stage != s.stage) return keptAll;
    Sale& moving = m_model->sale(index);
    if (datedToday && !moving.shipment.date.isValid()) moving.shipment.date = s.shipment.date;
    return moveOn(moving, m_now()) ? storeSale(index) && keptAll : keptAll;
}

void SalesWindow::refresh() {
    if (m_refresh || !keepTyped()) return;
    if (!m_hooks.network || m_hooks.closedListings.isEmpty()) return;
    m_refresh = new SalesRefresh(*m_hooks.network, this);
    if (!m_hooks.itemBase.isEmpty()) m_refresh->setItemBase(m_hooks.itemBase);
    m_refreshButton->setEnabled(false);
    connect(m_refresh, &SalesRefresh::progress, m_status, &QLabel::setText);
    connect(m_refresh, &SalesRefresh::finished, this, &SalesWindow::refreshDone, Qt::QueuedConnection);
    m_refresh->start(m_hooks.closedListings);
}

void SalesWindow::refreshDone() {
    SalesRefresh* job = m_refresh;
    m_refresh = nullptr;
    job->deleteLater();
    m_refreshButton->setEnabled(true);
    // However it ended, the refresh is over (tests, and whoever waits for the list).
    const auto over = qScopeGuard([this] { Q_EMIT refreshed(); });
    const auto told = [this](const QString& text, UiServices::Icon icon) {
        m_status->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
        m_ui.message(text, kCaption, icon, UiServices::Buttons::Ok, this);
    };
    if (job->isCancelled()) return;
    QStringList notes;
    if (job->problem() == SalesRefresh::Problem::SignedOut && job->pagesRead() == 0) {
        told(QStringLiteral(
                 "ログインしていないため、出品終了分を読めませんでした。\r\nログインしてから、もう一度[最新の情報に更新]を押して下さい。"),
             UiServices::Icon::Information);
        return;
    }
    if (job->problem() != SalesRefresh::Problem::None) {
        const QString why = job->problem() == SalesRefresh::Problem::NoAnswer    ? QStringLiteral("サイトが応答しません")
                            : job->problem() == SalesRefresh::Problem::SignedOut ? QStringLiteral("ログインが切れました")
                                                                                 : QStringLiteral("ページの形が違います");
        if (job->pagesRead() == 0) {
            told(QStringLiteral("出品終了分のページを読めませんでした（%1）。\r\nこれまでの取引はそのまま残っています。").arg(why),
                 UiServices::Icon::Information);
            return;
        }
        notes << QStringLiteral("出品終了分の %1 ページ目から先を読めませんでした（%2）。読めた分の取引だけを加えました。")
                     .arg(job->pagesRead() + 1)
                     .arg(why);
    }
    std::optional<salestable::Seen> seen;
    if (!job->rows().isEmpty()) {
        HistoryStore* db = store();
        if (db) seen = salestable::storeSeen(*db, job->rows());
        if (!seen) {
            told(QStringLiteral("取引を保存できませんでした（ディスクの空き、データベースの状態を確かめて下さい）。\r\n"
                                "これまでの取引はそのまま残っています。"),
                 UiServices::Icon::Critical);
            return;
        }
    }
    if (job->contactsMissing() > 0)
        notes << QStringLiteral("%1件の落札者の連絡先を読めませんでした（次の更新で読み直します）。").arg(job->contactsMissing());
    if (seen && !seen->newWinner.isEmpty())
        notes << QStringLiteral("落札者が替わった取引があります：%1\r\n（繰り上げ前の落札者との取引も一覧に残しています）")
                     .arg(seen->newWinner.join(QStringLiteral("、")));
    reload();
    const QString head =
        QStringLiteral("新しい取引 %1件を加えました（出品終了分 %2件を確認）。").arg(seen ? seen->added : 0).arg(job->rows().size());
    if (notes.isEmpty())
        m_status->setText(head);
    else
        told(head + QStringLiteral("\r\n") + notes.join(QStringLiteral("\r\n")), UiServices::Icon::Information);
}
