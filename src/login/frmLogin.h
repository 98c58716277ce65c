#pragma once

#include <QDialog>
#include <QSet>
#include <QTimer>
#include <functional>

#include "login/LoginList.h"

class Browser;
class Grid;
class QCheckBox;
class QLineEdit;
class QPushButton;
class UiServices;

// The login window: signs in with an ID and password through hidden
// browsers that share the program's cookie store, and keeps the list of
// saved accounts. The window is always shown modally.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    // `onSignedIn` runs after a successful sign-in, once the window has closed.
    frmLogin(UiServices& ui, std::function<void()> onSignedIn, QWidget* parent = nullptr);

    void cmdLOGIN_Click();
    void Login_Lock(int mode);
    Grid* vbLogin() const { return m_grid; }

    // A sign-in that gets no answer gives up after this long.
    void setSignInDeadline(int ms) { m_deadline.setInterval(ms); }

    void done(int result) override;

private:
    void Login_ListRead();
    void Login_ListAdd();
    QList<LoginList::Row> rows() const;
    void onRowClicked();
    void onW1Complete();
    void onWB2Complete();
    void onWebBrowser1Complete(const QString& url);
    void fail(const QString& message, bool clearBoxes);

    UiServices& m_ui;
    std::function<void()> m_onSignedIn;
    Grid* m_grid = nullptr;
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QCheckBox* m_ckLogin = nullptr;
    QPushButton* m_cmdLOGIN = nullptr;
    QPushButton* m_cmdCANCEL = nullptr;
    Browser* m_w1 = nullptr;
    Browser* m_wb2 = nullptr;
    Browser* m_webBrowser1 = nullptr;
    QTimer m_deadline;
    bool m_requested = false;  // a sign-in has started and not failed
    bool m_loginPage = false;  // the last browser has been sent to the login page
    bool m_submitted = false;  // the form has been sent once in this sign-in
    bool m_closed = false;
    QSet<QString> m_inKeyring;  // the saved accounts whose password the keyring keeps
};
