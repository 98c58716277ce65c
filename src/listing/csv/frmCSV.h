#pragma once

#include <QDialog>

#include "listing/csv/ListingCsv.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class UiServices;

// CSVから追加: a spreadsheet's rows as they will become listings, every problem
// by row and column, before anything is made. Only rows without a problem are
// made (the seller mends the file and reads it again), each a memory file in
// the folder chosen and a waiting row of the queue.
class frmCSV : public QDialog {
    Q_OBJECT
public:
    frmCSV(UiServices& ui, const QString& csvPath, listingcsv::Hooks hooks, std::function<int(const QStringList&)> addToQueue,
           QWidget* parent = nullptr);

    // The file read again (after the seller mended it); false when it could not be read (said).
    bool reload();
    // Makes the good rows and queues them; the number made.
    int makeRows();
    const listingcsv::Plan& plan() const { return m_plan; }

private:
    void display(const listingcsv::Plan& plan);

    UiServices& m_ui;
    QString m_path;
    listingcsv::Hooks m_hooks;
    std::function<int(const QStringList&)> m_add;
    listingcsv::Plan m_plan;
    QByteArray m_shownBytes;  // the file as the review shows it: only that is made
    QString m_encoding;
    QLabel* m_file = nullptr;
    QTableWidget* m_table = nullptr;
    QPlainTextEdit* m_problems = nullptr;
    QLineEdit* m_folder = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_make = nullptr;
};

namespace listingcsv {
// Bytes of a CSV file the seller chose: a regular file of a spreadsheet's size, or empty with `problem` said.
QByteArray readCsvFile(const QString& path, QString* problem);
// 「CSVに書き出す」: the memory files as rows, saved where the seller says. False when cancelled or not written (said).
bool exportFiles(UiServices& ui, const QStringList& memoryFiles, const Hooks& hooks, QWidget* owner);
// The same for every memory file of a folder the seller chooses.
bool exportFolder(UiServices& ui, const Hooks& hooks, QWidget* owner);
}  // namespace listingcsv
