#pragma once

#include <QDialog>

#include "site/Addresses.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class SiteCheckJob;
class UiServices;

// サイト診断: the site as configured against the site definition, page by
// page, with progress and 中止; the report can be copied and saved.
class frmSHINDAN : public QDialog {
    Q_OBJECT
public:
    frmSHINDAN(UiServices& ui, const site::Hosts& hosts, QWidget* parent = nullptr);
    ~frmSHINDAN() override;

    void cmdSTART_Click();
    void cmdCANCEL_Click();
    void cmdCOPY_Click();
    void cmdSAVE_Click();
    bool isRunning() const { return m_job != nullptr; }
    QString report() const { return m_report; }

Q_SIGNALS:
    void checked();

private:
    void showFindings(const SiteCheckJob& job);

    UiServices& m_ui;
    site::Hosts m_hosts;
    SiteCheckJob* m_job = nullptr;
    QString m_report;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_save = nullptr;
};
