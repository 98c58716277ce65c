#pragma once

#include <QDateTime>
#include <QDialog>
#include <QList>
#include <functional>
#include <optional>

#include "store/HistoryStore.h"

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
    HistoryWindow(UiServices& ui, const HistoryStore& history, const QString& auctionId, QWidget* parent = nullptr);

    // 出品記録を開く: what it does with the listing's auction ID (none: the button is not shown).
    void setRecordOpener(std::function<void(const QString&)> open);

    void exportHistory();  // "この出品の履歴をCSV保存"
    void exportScan();     // "選んだ回の解析結果をCSV保存"

    // The time axis of the chart: its range and ticks, and a label format
    // fine enough that no two ticks read the same and no coarser than needed:
    // times alone within a day, the date with them once the scans span days, the
    // date alone over a week or more.
    struct TimeAxis {
        QDateTime from, to;
        QString format;  // QDateTime's format
        int ticks = 2;   // including both ends
    };
    static TimeAxis timeAxis(const QDateTime& first, const QDateTime& last);
    // The labels that axis shows, tick by tick.
    static QStringList timeLabels(const TimeAxis& axis);

    // The exports' text: a header row, then a line per entry (one listing's history, or one scan).
    static QString historyCsv(const QList<HistoryStore::Entry>& entries);
    static QString scanCsv(const QList<HistoryStore::Entry>& entries);

private:
    void fillChart();
    void fillTable();
    QWidget* recordPane();
    bool writeCsv(const QString& text, const QString& suggested);

    UiServices& m_ui;
    const HistoryStore& m_history;
    QString m_auctionId;
    QList<HistoryStore::Entry> m_entries;
    QChartView* m_chart = nullptr;
    Grid* m_table = nullptr;
    QComboBox* m_scans = nullptr;
    QLabel* m_title = nullptr;
    std::optional<HistoryStore::Listed> m_listed;
    std::function<void(const QString&)> m_openRecord;
    QPushButton* m_openRecordButton = nullptr;
};
