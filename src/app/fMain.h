#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class Browser;
class DescriptionPane;
class MailPane;
class MemoryFiles;
class MyAuctionPane;
class QAction;
class QLabel;
class QPushButton;
class QTabWidget;
class ShippingPane;
class SiteFormPane;
class QueueRun;
class frmQUEUE;
class frmKIROKU;
class SalesWindow;
class QPushButton;
class UiServices;

// The main window: every pane is a tab; the window builds the panes, its menus and
// bottom bar, and keeps its place. The data paths between the panes are joined in
// PaneWiring: panes never reach each other, nor does the window reach into them.
class fMain : public QMainWindow {
    Q_OBJECT
public:
    // The panes of the tabs not shown at first are built with the window, or once the window
    // is on screen (start-up), or when anything reaches them first, whichever comes first.
    enum class Panes { AllNow, MailFirst };
    // Without a store of its own the window keeps its memory files itself.
    explicit fMain(UiServices& ui, MemoryFiles* memory = nullptr, QWidget* parent = nullptr, Panes panes = Panes::AllNow);
    ~fMain() override;

    MailPane* mailPane() const { return m_mail; }
    ShippingPane* shippingPane() const;
    DescriptionPane* descriptionPane() const;
    SiteFormPane* siteFormPane() const;
    MyAuctionPane* myAuctionPane() const;
    QTabWidget* vsMAIN() const { return m_tabs; }

    Browser* WB() const;
    Browser* WB2() const;
    Browser* WB3() const;

    const QString& currentPath() const { return m_currentPath; }
    void setCurrentPath(const QString& path) { m_currentPath = path; }

    // File commands. A save says how it ended: the close prompt keeps the window when it failed.
    enum class SaveResult { Saved, Cancelled, Failed };
    void Open();
    SaveResult Save();
    SaveResult SaveAs();
    bool ReadFile(const QString& path);  // false, after telling the user, when the file could not be read

    void Command7_Click();   // confirm
    void Command18_Click();  // reload the closed listings
    void mHelp2_Click();
    void mVer_Click();
    void mINI_Click();
    void mSHINDAN_Click();  // サイト診断
    // 出品キュー and 出品記録: one window each, brought forward when open.
    frmQUEUE* showQueue();
    frmKIROKU* showRecords();
    QueueRun* queueRun() const;
    // 取引一覧: one window, brought forward when open.
    SalesWindow* showSales();
    // The bottom bar's words on the sales that wait (empty: none waits).
    void setSalesSummary(const QString& text);
    QString salesSummary() const;

    // Start-up's steps that act on the main window.
    void setListDefaults();
    // Runs `step` on the panes not built yet once they are, at once where they are.
    void whenPanesBuilt(const std::function<void()>& step);
    bool panesBuilt() const { return m_siteForm != nullptr; }
    void Ini_Re();
    void showLogin();
    // Shown where it was last closed (size, place, maximised), brought back onto a screen
    // when that place is on none; a first start opens at its usual size, inside the screen.
    void showPlaced();

    // What runs each time the main window becomes active.
    void Form_Activate();

Q_SIGNALS:
    // The main window has been closed for good: the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void savePlacement();
    QWidget* buildBottomBar();
    void Form_Load();
    void buildPanes();
    fMain* built() const;
    // What waits among the sales, read once the window is up; said once when something is overdue.
    void reportSales();

    UiServices& m_ui;
    std::unique_ptr<MemoryFiles> m_ownMemory;
    MemoryFiles* m_memory;
    QString m_currentPath;

    QTabWidget* m_tabs = nullptr;
    MailPane* m_mail = nullptr;
    ShippingPane* m_shipping = nullptr;
    DescriptionPane* m_description = nullptr;
    SiteFormPane* m_siteForm = nullptr;
    MyAuctionPane* m_myAuction = nullptr;
    QLabel* m_lblUser = nullptr;
    QAction* m_saveAs = nullptr;
    QAction* m_end = nullptr;
    QueueRun* m_queue = nullptr;
    QPointer<frmQUEUE> m_queueWindow;
    QPointer<frmKIROKU> m_recordsWindow;
    QPointer<SalesWindow> m_salesWindow;
    QPushButton* m_salesSummary = nullptr;
    std::vector<std::function<void()>> m_whenBuilt;
    bool m_buildOnExpose = false;
};
