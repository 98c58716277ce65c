#include "app/MailSending.h"

#include <QApplication>
#include <QDateTime>
#include <QInputDialog>
#include <QThread>
#include <atomic>

#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "core/WaitFor.h"
#include "outbox/MailMessage.h"
#include "outbox/Secrets.h"
#include "outbox/Smtp.h"
#include "settings/IniFile.h"
#include "settings/KeptPasswords.h"

namespace MailSending {

namespace {
const QString kCaption = QStringLiteral("メール送信");

// The server's password: the keyring's, this sitting's, or asked now. One typed now is kept only
// once the server has taken it (a typo is not kept to be refused at every later mail).
struct Password {
    QString text;
    bool typedNow = false;
    bool keyringAnswered = true;
};
std::optional<Password> passwordFor(const sendsettings::Settings& s, QWidget* owner) {
    if (s.user.isEmpty()) return Password{};
    QString why;
    if (std::optional<QString> kept = secrets::read(sendsettings::secretKey(s), &why)) return Password{*kept, false, why.isEmpty()};
    bool ok = false;
    const QString typed = QInputDialog::getText(
        owner, kCaption,
        QStringLiteral("メールサーバー %1 のパスワードを入力して下さい。").arg(s.host) +
            (why.isEmpty()
                 ? QString()
                 : QStringLiteral("\n%1 このパスワードはソラバコを終了するまで覚えておきます（ファイルには保存しません）。").arg(why)),
        QLineEdit::Password, QString(), &ok);
    if (!ok || typed.isEmpty()) return std::nullopt;
    return Password{typed, true, why.isEmpty()};
}

// After the server answered: a password it took and was typed now is kept (the keyring, else the
// sitting); one it refused is forgotten, so that the next mail asks again.
void settle(const sendsettings::Settings& s, const Password& password, bool sent, bool refused) {
    const QString key = sendsettings::secretKey(s);
    if (refused)
        secrets::forget(key);
    else if (sent && password.typedNow) {
        if (password.keyringAnswered)
            secrets::store(key, password.text);
        else
            secrets::keepForSitting(key, password.text);
    }
}

outbox::Server serverOf(const sendsettings::Settings& s, const QString& password) {
    outbox::Server server;
    server.host = s.host;
    server.port = s.port;
    server.security = s.tls ? outbox::Security::Tls : outbox::Security::StartTls;
    server.user = s.user;
    server.password = password;
    server.allowSelfSigned = s.acceptsSelfSigned();
    return server;
}

// The mail composed and sent on a thread while the window waits (input held back).
SaleMailDialog::Sending sendNow(const sendsettings::Settings& s, const QString& password, const QString& to, const QString& subject,
                                const QString& body, const QString& messageId, bool* signInRefused) {
    outbox::Draft draft;
    draft.from = s.from;
    draft.fromName = s.fromName;
    draft.to = to;
    draft.subject = subject;
    draft.body = body;
    draft.copyToSender = s.copyToSender;
    SaleMailDialog::Sending result;
    if (!outbox::plainAddress(to)) {
        result.message = QStringLiteral("宛先「%1」はメールアドレスではありません。").arg(to);
        return result;
    }
    if (!outbox::plainAddress(s.from)) {
        result.message = QStringLiteral("差出人アドレス「%1」はメールアドレスではありません。設定のメール送信を直して下さい。").arg(s.from);
        return result;
    }
    const QString id = messageId.isEmpty() ? outbox::newMessageId(s.from) : messageId;
    result.messageId = id;
    const outbox::Composed mail = outbox::compose(draft, QDateTime::currentDateTime(), id);
    outbox::Sent sent;
    std::atomic<bool> done{false};
    QThread* thread = QThread::create([&] {
        sent = outbox::send(serverOf(s, password), s.from, mail.recipients, mail.data);
        done = true;
    });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    thread->start();
    waitFor([&] { return done.load(); }, -1);
    thread->wait();
    delete thread;
    QApplication::restoreOverrideCursor();
    *signInRefused = sent.signInRefused;
    switch (sent.outcome) {
        case outbox::Sent::Outcome::Sent:
            result.result = SaleMailDialog::Sending::Result::Sent;
            result.record = QStringLiteral("送信 %1 %2").arg(id, sent.reply);
            break;
        case outbox::Sent::Outcome::Uncertain:
            result.result = SaleMailDialog::Sending::Result::Uncertain;
            result.record = QStringLiteral("送信不明 %1 %2").arg(id, sent.reply);
            result.message = sent.message;
            break;
        case outbox::Sent::Outcome::Refused: result.message = sent.message + QStringLiteral("\r\nメールは送っていません。"); break;
    }
    return result;
}

sendsettings::Settings current() { return sendsettings::read(IniFile::load(ProgramFolder::settingsFile())); }
}  // namespace

void installKeyring() {
    keptpasswords::Store store;
    store.read = [](const QString& key) { return secrets::read(key); };
    store.write = [](const QString& key, const QString& password) -> QString {
        QString why;
        if (secrets::store(key, password, &why) == secrets::Kept::Keyring) return QString();
        // Kept for this sitting only would lose it at the next start: the file keeps it instead.
        secrets::forget(key);
        return why.isEmpty() ? QStringLiteral("キーリングを使えません。") : why;
    };
    store.forget = [](const QString& key) { secrets::forget(key); };
    keptpasswords::install(store);
}

frmINI::MailHooks settingsHooks(UiServices& ui) {
    frmINI::MailHooks hooks;
    hooks.keepPassword = [](const sendsettings::Settings& s, const QString& password) -> QString {
        QString why;
        if (secrets::store(sendsettings::secretKey(s), password, &why) == secrets::Kept::Keyring) return QString();
        return why + QStringLiteral("\r\nパスワードはソラバコを終了するまで覚えておきます（ファイルには保存しません）。");
    };
    hooks.testSend = [&ui](const sendsettings::Settings& s, const QString& typed, QWidget* owner) {
        std::optional<Password> password = typed.isEmpty() ? passwordFor(s, owner) : std::optional<Password>(Password{typed});
        if (!password) return;
        bool refused = false;
        const SaleMailDialog::Sending sent =
            sendNow(s, password->text, s.from, QStringLiteral("ソラバコ テスト送信"),
                    QStringLiteral("ソラバコからのテスト送信です。\r\nこのメールが届いていれば、メール送信の設定は使えます。\r\n"),
                    QString(), &refused);
        // The dialog keeps a password typed into it when it is saved; one asked for here is settled now.
        if (typed.isEmpty()) settle(s, *password, sent.result == SaleMailDialog::Sending::Result::Sent, refused);
        ui.message(sent.result == SaleMailDialog::Sending::Result::Sent
                       ? QStringLiteral("テストのメールを %1 に送りました。届いたか確かめて下さい。").arg(s.from)
                       : sent.message,
                   kCaption,
                   sent.result == SaleMailDialog::Sending::Result::Sent ? UiServices::Icon::Information : UiServices::Icon::Warning,
                   UiServices::Buttons::Ok, owner);
    };
    return hooks;
}

SaleMailDialog::Send salesSend(UiServices& ui) {
    const sendsettings::Settings s = current();
    if (!s.ready()) return {};
    return [s, &ui](const QString& to, const QString& subject, const QString& body, const QString& messageId, QWidget* owner) {
        Q_UNUSED(ui);
        const std::optional<Password> password = passwordFor(s, owner);
        if (!password) {
            SaleMailDialog::Sending none;
            none.message = QStringLiteral("パスワードが無いので送りませんでした。");
            return none;
        }
        bool refused = false;
        const SaleMailDialog::Sending sent = sendNow(s, password->text, to, subject, body, messageId, &refused);
        settle(s, *password, sent.result != SaleMailDialog::Sending::Result::Failed, refused);
        return sent;
    };
}

}  // namespace MailSending
