#pragma once

#include <QWidget>
#include <functional>

#include "settings/SenderForm.h"

namespace accounts {
struct Settings;
}
class Browser;
class Grid;
class QLineEdit;
class QPlainTextEdit;
class QComboBox;
class QGroupBox;
class QPushButton;
class QVBoxLayout;
class UiServices;

// The "メール作成(&1)" tab: the winning-bid mail, the sender block, the
// payment accounts, and the seller's closed listings in WB2.
class MailPane : public QWidget {
    Q_OBJECT
public:
    explicit MailPane(UiServices& ui, QWidget* parent = nullptr);

    Browser* WB2() const { return m_wb2; }
    QComboBox* Combo10() const { return m_combo10; }

    // The mail templates, names without ".txt"; the first is selected.
    void setMailTemplates(const QStringList& names);

    // Ini_Re: the sender block and the payment accounts as the settings hold them.
    void applyAccounts(const accounts::Settings& settings);

    // "最新の情報に更新": reload the closed listings.
    void Command18_Click();

    // What shows the login window (the main window's, modal).
    void setLoginWindow(std::function<void()> show) { m_showLogin = std::move(show); }
    // The closed listings finished loading: ask for a login when the site wants one.
    void WB2_DocumentComplete();

private:
    UiServices& m_ui;
    std::function<void()> m_showLogin;
    QVBoxLayout* m_left = nullptr;  // the left column, top to bottom
    Browser* m_wb2 = nullptr;
    QPushButton* m_command18 = nullptr;
    QComboBox* m_combo10 = nullptr;
    SenderForm m_sender;
    Grid* m_vGINKOU = nullptr;
    Grid* m_vYUBIN = nullptr;
};
