#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <optional>

#include "listing/records/ListingRecord.h"

class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;
class QThread;
class QueueRun;
class UiServices;

// 出品記録: every listing as it went out; open one as a memory file, or list it again.
class frmKIROKU : public QDialog {
    Q_OBJECT
public:
    // `open` opens a memory file into the main window as a copy (not as the current file).
    frmKIROKU(UiServices& ui, QueueRun& run, std::function<bool(const QString&)> open, QWidget* parent = nullptr);
    ~frmKIROKU() override;

    // Where the list comes from. `list`: the history's records (one query, the columns the list
    // shows, each record's folder; nothing when the history cannot be read, and then every folder
    // is read instead, off the window's thread). The rest of a record is read from its folder
    // when its row is chosen. `lacking`: records kept on disk that the history lacks (written
    // while it could not be), found off the window's thread each time the list is loaded, shown
    // and handed over to be stored there.
    struct Source {
        std::function<std::optional<QList<listingrecord::Record>>()> list;
        std::function<void(const QList<listingrecord::Record>&)> lacking;
    };
    void setSource(Source source) { m_source = std::move(source); }

    // The list loaded again (the window is shown with nothing in it until this).
    void reload();
    // The records shown narrowed to this listing, and it selected.
    void find(const QString& auctionId);
    // The selected record put back into the queue, its start price lowered by the percentage typed.
    bool relist();

private:
    void showList();
    void showDetail();
    void lookOnDisk();
    void merge(const QList<listingrecord::Record>& found);
    const listingrecord::Record* selected() const;

    UiServices& m_ui;
    QueueRun& m_run;
    std::function<bool(const QString&)> m_open;
    Source m_source;
    bool m_fromHistory = false;
    QPointer<QThread> m_lookup;
    QList<listingrecord::Record> m_all;
    QList<listingrecord::Record> m_shown;
    QLineEdit* m_search = nullptr;
    QTableWidget* m_table = nullptr;
    QPlainTextEdit* m_detail = nullptr;
    QSpinBox* m_percent = nullptr;
};
