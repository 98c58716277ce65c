#pragma once

#include <QDialog>
#include <functional>

#include "siteform/ListingRecord.h"

class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;
class QueueRun;
class UiServices;

// 出品記録: every listing as it went out; open one as a memory file, or list it again.
class frmKIROKU : public QDialog {
    Q_OBJECT
public:
    // `open` opens a memory file into the main window as a copy (not as the current file).
    frmKIROKU(UiServices& ui, QueueRun& run, std::function<bool(const QString&)> open, QWidget* parent = nullptr);

    void reload();
    // The records shown narrowed to this listing, and it selected.
    void find(const QString& auctionId);
    // The selected record put back into the queue, its start price lowered by the percentage typed.
    bool relist();

private:
    void showList();
    void showDetail();
    const listingrecord::Record* selected() const;

    UiServices& m_ui;
    QueueRun& m_run;
    std::function<bool(const QString&)> m_open;
    QList<listingrecord::Record> m_all;
    QList<listingrecord::Record> m_shown;
    QLineEdit* m_search = nullptr;
    QTableWidget* m_table = nullptr;
    QPlainTextEdit* m_detail = nullptr;
    QSpinBox* m_percent = nullptr;
};
