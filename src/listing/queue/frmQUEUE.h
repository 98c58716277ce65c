#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QTableWidget;
class QueueRun;
class UiServices;

// 出品キュー: the saved listings to take through the site one after another.
class frmQUEUE : public QDialog {
    Q_OBJECT
public:
    frmQUEUE(UiServices& ui, QueueRun& run, QWidget* parent = nullptr);

    // Adds memory files as waiting rows (the 追加 button and a drop both come here).
    void addFiles(const QStringList& files);
    void refresh();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int selectedRow() const;  // the row's id, 0 for none

    UiServices& m_ui;
    QueueRun& m_run;
    QTableWidget* m_table = nullptr;
    QLabel* m_status = nullptr;
    QCheckBox* m_atOnce = nullptr;
};
