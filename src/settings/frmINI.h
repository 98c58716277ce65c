#pragma once

#include <QDialog>
#include <functional>

#include "settings/Accounts.h"
#include "settings/SalesSettingsForm.h"
#include "settings/SendSettingsForm.h"
#include "settings/SenderForm.h"

class Grid;
class QCheckBox;
class QLineEdit;
class UiServices;

// The settings dialog: sender block, bank and postal accounts, start-up
// options. It reads everything on opening and writes it back on "保　存".
class frmINI : public QDialog {
    Q_OBJECT
public:
    // `showLogin` opens the login window (modal) for "ログイン情報".
    frmINI(UiServices& ui, std::function<void()> showLogin, QWidget* parent = nullptr);

    void Form_Load();
    void Command1_Click();  // save
    void Command3_Click();  // browse for the start-up file
    void Command5_Click();  // browse for a folder

    accounts::Settings values() const;

    // What メール送信 needs beyond the settings file: the keyring for the password typed (its
    // answer says where it was kept, and the dialog tells the seller), and a test mail.
    struct MailHooks {
        std::function<QString(const sendsettings::Settings&, const QString& password)> keepPassword;
        std::function<void(const sendsettings::Settings&, const QString& typedPassword, QWidget* owner)> testSend;
    };
    void setMailHooks(MailHooks hooks) { m_mailHooks = std::move(hooks); }

private:
    QWidget* buildCommon();

    UiServices& m_ui;
    std::function<void()> m_showLogin;
    QCheckBox* m_check1 = nullptr;
    QCheckBox* m_check3 = nullptr;
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text3 = nullptr;
    accounts::Settings m_opened;  // as the file held them when the dialog opened
    QCheckBox* m_ckMail = nullptr;
    QLineEdit* m_text2[2] = {};
    Grid* m_bank = nullptr;
    Grid* m_postal = nullptr;
    SenderForm m_sender;
    SalesSettingsForm m_sales;
    SendSettingsForm m_send;
    class QListWidget* m_keyring = nullptr;  // the saved site accounts, ticked where the keyring keeps the password
    QStringList m_inKeyring;
    MailHooks m_mailHooks;
};
