#pragma once

#include <QDateTime>
#include <QDialog>
#include <functional>
#include <future>
#include <optional>
#include <memory>

#include "sales/Deadlines.h"
#include "sales/SaleFeeDialog.h"
#include "sales/SaleMailDialog.h"
#include "sales/SaleMail.h"
#include "store/HistoryStore.h"
#include "store/SalesTable.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QNetworkAccessManager;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class SalesModel;
class SalesRefresh;
class UiServices;

// 取引一覧: every sale since its auction ended, with its stage, deadline, mails and money. The
// sales come from the seller's closed listings (最新の情報に更新) and live in the history
// database; each click the seller makes is stored at once, and a store that fails says so and
// leaves the sale as it was.
class SalesWindow : public QDialog {
    Q_OBJECT
public:
    // What the window needs from the rest of the program.
    struct Hooks {
        sales::PaneFill fill;  // the mail pane's placeholders
        // The mail to the mail program; false when it could not be handed over (the seller was told).
        std::function<bool(const QString& to, const QString& subject, const QString& body)> handOver;
        // Through the seller's own mail server, when the settings say so (else empty: no 「送信」).
        std::function<SaleMailDialog::Send()> send;
        std::function<QString(const QString& auctionId)> feedbackUrl;  // a sale's feedback page
        QNetworkAccessManager* network = nullptr;
        QString closedListings;         // the first page of the closed listings with a winner
        QString itemBase;               // an item page's address without its auction ID
        SaleFeeDialog::Rules feeRules;  // the shipping pane's ways and rules
        // What the program's record of a listing says of it (出品記録): nothing for a listing it did not make.
        std::function<std::optional<SaleFeeDialog::Record>(const QString& auctionId)> record;
    };

    SalesWindow(UiServices& ui, const QString& databasePath, Hooks hooks, QWidget* parent = nullptr);
    ~SalesWindow() override;

    // Reads the sales again from the database.
    void reload();
    void refresh();  // 最新の情報に更新
    void moveOnSelected();
    void undoSelected();
    void cancelSelected();
    // The mail that brings each selected sale to its next stage (or the reminder), one after another.
    void mailSelected(bool reminder);
    void feeFromReply();    // 返信から送料
    void importTracking();  // 追跡番号をCSVから
    // 評価: the selected sales (or, with none selected, those at 受取確認) on the site's feedback pages.
    void feedbackSelected();
    void saveDetail();  // 保存
    void showMonths();  // 月別集計
    void exportCsv();   // CSV出力
    void showBuyers();  // 落札者: what the seller typed for the current sale and its buyer
    // Makes the sale the current one (the first of that auction when no winner is named).
    void selectSale(const QString& auctionId, const QString& winnerId = QString());

    // The clock deadlines are counted at (tests set it).
    void setClock(std::function<QDateTime()> now);
    QString summary() const { return m_summary; }
    SalesModel* model() const { return m_model; }
    bool isRefreshing() const { return m_refresh != nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

Q_SIGNALS:
    // The bottom bar's words: what waits, and what is overdue.
    void summaryChanged(const QString& text);
    void refreshed();

private:
    QWidget* buildDetail();
    HistoryStore* store();
    QList<int> selectedSales() const;
    // The same as keys (auction and winner), which outlast a reload while a dialog is open.
    QStringList selectedKeys() const;
    int saleOfKey(const QString& key) const;
    int currentSale() const;
    // What the seller typed in the detail fields and has not saved goes into its sale before
    // anything else changes the list or the fields.
    // False (and the seller told) when it could not be stored: the caller stops there.
    bool keepTyped();
    bool saveDetailInto(int index);
    void selectKeys(const QStringList& keys, const QString& current);
    void showCurrent();
    void applyFilter();
    bool storeSale(int index);
    void refreshDone();
    void updateSummary();
    double feePercent() const;
    // `sendRest`: the seller said to send the rest of the run unseen (in and out).
    bool mailOne(const QString& key, bool reminder, const QString& place, bool more, bool* sendRest);
    QString readTemplate(const QString& key, const QString& fallback, QString* path);

    UiServices& m_ui;
    QString m_path;
    Hooks m_hooks;
    std::unique_ptr<HistoryStore> m_store;
    std::future<std::optional<QList<sales::Sale>>> m_firstRead;
    std::function<QDateTime()> m_now;
    sales::Limits m_limits;
    SalesModel* m_model = nullptr;
    SalesRefresh* m_refresh = nullptr;
    QString m_summary;
    QString m_typedFor;  // the sale (key) whose detail fields hold unsaved typing
    // The parcel and way of the last fee worked out, offered for a sale with no listing record:
    // a seller mostly ships the same boxes.
    std::optional<SaleFeeDialog::Record> m_lastParcel;
    bool m_filling = false;
    HistoryStore::Opened m_opened = HistoryStore::Opened::Ok;

    QTableView* m_grid = nullptr;
    QComboBox* m_show = nullptr;
    QLineEdit* m_search = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QLabel* m_facts = nullptr;
    QLabel* m_dates = nullptr;
    QPlainTextEdit* m_address = nullptr;
    QComboBox* m_carrier = nullptr;
    QLineEdit* m_tracking = nullptr;
    QDateEdit* m_shipped = nullptr;
    QLineEdit* m_fee = nullptr;
    QLineEdit* m_paid = nullptr;
    QLineEdit* m_cost = nullptr;
    QLabel* m_profit = nullptr;
    QPlainTextEdit* m_note = nullptr;
    QLineEdit* m_caution = nullptr;
    QListWidget* m_mails = nullptr;
};
