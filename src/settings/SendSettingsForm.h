#pragma once

#include <QString>
#include <functional>

#include "settings/SendSettings.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QWidget;

// The settings dialog's メール送信 frame: the mail program or the seller's own mail server, and a
// テスト送信 to the seller's own address. The password typed here goes to the keyring (through the
// dialog's hook), never to the settings file.
class SendSettingsForm {
public:
    QGroupBox* build();
    void load();
    sendsettings::Settings values() const;
    QString typedPassword() const;
    bool changed() const;
    // What is missing or wrong for sending: the message; empty when nothing is.
    QString problem() const;
    // The test's button, for the dialog to connect.
    QWidget* testButton() const { return m_test; }

private:
    QRadioButton* m_mailer = nullptr;
    QRadioButton* m_smtp = nullptr;
    QLineEdit* m_host = nullptr;
    QSpinBox* m_port = nullptr;
    QComboBox* m_security = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_fromName = nullptr;
    QCheckBox* m_selfSigned = nullptr;
    QCheckBox* m_copy = nullptr;
    QWidget* m_test = nullptr;
    sendsettings::Settings m_loaded;
};
