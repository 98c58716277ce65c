#include "outbox/Smtp.h"

// Only libcurl's types and constants: the library itself is opened when the first mail leaves.
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>
#include <dlfcn.h>

#include <cstring>
#include <type_traits>

#include <QUrl>

namespace outbox {

namespace {

struct Upload {
    QByteArray data;
    qsizetype at = 0;
    bool handedOver = false;  // every byte given to the connection
};

size_t readMail(char* buffer, size_t size, size_t count, void* user) {
    auto* up = static_cast<Upload*>(user);
    const qsizetype n = qMin(qsizetype(size * count), up->data.size() - up->at);
    memcpy(buffer, up->data.constData() + up->at, size_t(n));
    up->at += n;
    // libcurl asks for no more than the size it was told: the last byte given is the whole mail.
    if (up->at == up->data.size()) up->handedOver = true;
    return size_t(n);
}

// libcurl brings some twenty libraries with it (TLS, LDAP, SSH, IDN…): linked, every start
// would wait for them to be loaded and bound, for a part a seller uses when a mail leaves. It is
// opened then, once, by the name Debian's libcurl4 gives it.
struct Curl {
    CURLcode (*globalInit)(long);
    CURL* (*init)();
    CURLcode (*setopt)(CURL*, CURLoption, ...);
    CURLcode (*perform)(CURL*);
    CURLcode (*getinfo)(CURL*, CURLINFO, ...);
    void (*cleanup)(CURL*);
    const char* (*strerror)(CURLcode);
    curl_slist* (*slistAppend)(curl_slist*, const char*);
    void (*slistFreeAll)(curl_slist*);
};

const Curl* curl() {
    static const Curl* const loaded = []() -> const Curl* {
        void* lib = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!lib) return nullptr;
        static Curl c;
        bool all = true;
        const auto find = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
            all = all && fn;
        };
        find(c.globalInit, "curl_global_init");
        find(c.init, "curl_easy_init");
        find(c.setopt, "curl_easy_setopt");
        find(c.perform, "curl_easy_perform");
        find(c.getinfo, "curl_easy_getinfo");
        find(c.cleanup, "curl_easy_cleanup");
        find(c.strerror, "curl_easy_strerror");
        find(c.slistAppend, "curl_slist_append");
        find(c.slistFreeAll, "curl_slist_free_all");
        if (!all || c.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
        return &c;
    }();
    return loaded;
}

// The server's lines as they come: its last answer, and the last one that said no (the goodbye
// that follows a refusal says nothing of it).
struct Answers {
    QString last, refusal;
};
int seen(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    if (type != CURLINFO_HEADER_IN) return 0;
    auto* answers = static_cast<Answers*>(user);
    const QString line = QString::fromUtf8(data, int(size)).trimmed();
    if (line.isEmpty()) return 0;
    answers->last = line;
    if (line.left(3).toInt() >= 400) answers->refusal = line;
    return 0;
}

QString said(CURLcode code, long response, const QString& reply) {
    if (code == CURLE_LOGIN_DENIED) return QStringLiteral("メールサーバーにユーザー名かパスワードを断られました。設定を確かめて下さい。");
    // The server's own answer says most (a recipient it does not take, a sender it refuses).
    if (response >= 400) return QStringLiteral("メールサーバーに断られました。\r\n") + reply;
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST: return QStringLiteral("メールサーバーが見つかりません。サーバー名を確かめて下さい。");
        case CURLE_COULDNT_CONNECT: return QStringLiteral("メールサーバーにつながりませんでした。サーバー名とポートを確かめて下さい。");
        case CURLE_OPERATION_TIMEDOUT: return QStringLiteral("メールサーバーから応答がありませんでした。");
        case CURLE_PEER_FAILED_VERIFICATION:
            return QStringLiteral(
                "メールサーバーの証明書を確かめられませんでした。サーバー名が正しいか、"
                "自分で用意したサーバーなら設定で「このサーバーの自己署名証明書を認める」を選んで下さい。");
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_USE_SSL_FAILED:
            return QStringLiteral("メールサーバーと暗号化した通信ができませんでした。暗号化の方式とポートを確かめて下さい。");
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING: return QStringLiteral("メールサーバーとの接続が切れました。");
        default: break;
    }
    return QStringLiteral("メールを送れませんでした（%1）。").arg(QString::fromUtf8(curl()->strerror(code)));
}

}  // namespace

Sent send(const Server& server, const QString& from, const QStringList& recipients, const QByteArray& data) {
    Sent result;
    const Curl* const api = outbox::curl();
    if (!api) {
        result.message = QStringLiteral(
            "メールを送る部品（libcurl）を読み込めませんでした。libcurl4 が入っているか確かめて下さい。"
            "入れた後は、このプログラムを起動し直して下さい。");
        return result;
    }
    CURL* curl = api->init();
    if (!curl) {
        result.message = QStringLiteral("メールを送る準備ができませんでした。");
        return result;
    }
    const QByteArray url = QStringLiteral("%1://%2:%3")
                               .arg(server.security == Security::Tls ? QStringLiteral("smtps") : QStringLiteral("smtp"),
                                    QString::fromLatin1(QUrl::toAce(server.host)))
                               .arg(server.port)
                               .toUtf8();
    const QByteArray user = server.user.toUtf8(), password = server.password.toUtf8();
    const QByteArray mailFrom = "<" + from.toUtf8() + ">";
    curl_slist* rcpt = nullptr;
    for (const QString& r : recipients) rcpt = api->slistAppend(rcpt, QByteArray("<" + r.toUtf8() + ">").constData());
    Upload up{data};
    Answers answers;
    api->setopt(curl, CURLOPT_URL, url.constData());
    // Only the two ways: plain text to a mail server is never an option.
    api->setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (server.allowSelfSigned) {
        api->setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
        api->setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    if (!server.user.isEmpty()) {
        api->setopt(curl, CURLOPT_USERNAME, user.constData());
        api->setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    api->setopt(curl, CURLOPT_MAIL_FROM, mailFrom.constData());
    api->setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    api->setopt(curl, CURLOPT_READFUNCTION, readMail);
    api->setopt(curl, CURLOPT_READDATA, &up);
    api->setopt(curl, CURLOPT_UPLOAD, 1L);
    api->setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(data.size()));
    api->setopt(curl, CURLOPT_DEBUGFUNCTION, seen);
    api->setopt(curl, CURLOPT_DEBUGDATA, &answers);
    api->setopt(curl, CURLOPT_VERBOSE, 1L);  // only through the debug function: the server's lines
    api->setopt(curl, CURLOPT_NOSIGNAL, 1L);
    api->setopt(curl, CURLOPT_CONNECTTIMEOUT, long(server.timeoutSeconds));
    // A server that stops answering: less than a byte a second for the whole wait.
    api->setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    api->setopt(curl, CURLOPT_LOW_SPEED_TIME, long(server.answerTimeoutSeconds));
    api->setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(server.answerTimeoutSeconds));
    const CURLcode code = api->perform(curl);
    long response = 0;
    api->getinfo(curl, CURLINFO_RESPONSE_CODE, &response);
    // Handed over means on the wire, not only read into libcurl's buffer.
    curl_off_t uploaded = 0;
    api->getinfo(curl, CURLINFO_SIZE_UPLOAD_T, &uploaded);
    if (uploaded < curl_off_t(data.size())) up.handedOver = false;
    api->slistFreeAll(rcpt);
    api->cleanup(curl);
    result.reply = answers.last;
    if (code == CURLE_OK) {
        result.outcome = Sent::Outcome::Sent;
        return result;
    }
    // The whole mail went out and then the connection ended or fell silent before the server
    // said it took it: it may have. Never sent again without the seller's word.
    const bool afterData = up.handedOver && (code == CURLE_RECV_ERROR || code == CURLE_SEND_ERROR || code == CURLE_GOT_NOTHING ||
                                             code == CURLE_OPERATION_TIMEDOUT || code == CURLE_WEIRD_SERVER_REPLY);
    if (afterData && response < 400) {
        result.outcome = Sent::Outcome::Uncertain;
        result.message =
            QStringLiteral("メールを渡した後でメールサーバーとの接続が切れました。届いているかどうか分かりません（送信不明）。");
        return result;
    }
    if (!answers.refusal.isEmpty()) result.reply = answers.refusal;
    result.signInRefused = code == CURLE_LOGIN_DENIED;
    result.message = said(code, response, result.reply);
    return result;
}

}  // namespace outbox
