#pragma once

#include "sales/SaleMailDialog.h"
#include "settings/frmINI.h"

class QWidget;
class UiServices;

// Mails from the program through the seller's own mail server: the settings file's メール送信,
// the password from the keyring (or asked once a sitting where there is none), the message
// composed and handed to the server on a thread while the window waits.
namespace MailSending {

// The settings dialog's hooks: the password into the keyring, テスト送信 to the seller's own address.
frmINI::MailHooks settingsHooks(UiServices& ui);

// The desktop's keyring for the settings' site passwords (「パスワードをキーリングに保存」): read by the
// login window and the settings, written only where the keyring answers.
void installKeyring();

// 取引一覧's 「送信」, when the settings send from the program; empty otherwise.
SaleMailDialog::Send salesSend(UiServices& ui);

}  // namespace MailSending
