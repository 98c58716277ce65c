#pragma once

#include <QDateTime>
#include <QDialog>
#include <QList>
#include <functional>
#include <optional>

#include "myauction/ScanHistory.h"

class Grid;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class UiServices;

// One listing over time: its accesses, watches, bids and price at every scan
// the history holds, as a chart and as a table, and either exported to CSV
// (the listing's history, or a whole scan).
class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    HistoryWindow(UiServices& ui, const ScanHistory& history, const QString& auctionId, QWidget* parent = nullptr);

    // 出品記録を開く: what it does with the listing's auction ID (none: the button is not shown).
    void setRecordOpener(std::function<void(const QString&)> open);

    void exportHistory();  // "この出品の履歴をCSV保存"
    void exportScan();     // "選んだ回の解析結果をCSV保存"

private:
    void fillChart();
    void fillTable();
    QWidget* recordPane();
    bool writeCsv(const QString& text, const QString& suggested);

    UiServices& m_ui;
    const ScanHistory& m_history;
    QString m_auctionId;
    QList<ScanHistory::Entry> m_entries;
    QChartView* m_chart = nullptr;
    Grid* m_table = nullptr;
    QComboBox* m_scans = nullptr;
    QLabel* m_title = nullptr;
    std::optional<ScanHistory::Listed> m_listed;
    std::function<void(const QString&)> m_openRecord;
    QPushButton* m_openRecordButton = nullptr;
};
