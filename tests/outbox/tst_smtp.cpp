#include <QtTest>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "outbox/MailMessage.h"
#include "outbox/Smtp.h"
#include "support/MailServer.h"

namespace {
const QString kSender = QStringLiteral("shop@sorabako.example");

outbox::Sent sendOne(const outbox::Server& server, const outbox::Draft& draft, QString* id = nullptr) {
    const QString messageId = outbox::newMessageId(draft.from);
    if (id) *id = messageId;
    const outbox::Composed c = outbox::compose(draft, QDateTime::currentDateTime(), messageId);
    return outbox::send(server, draft.from, c.recipients, c.data);
}

outbox::Draft draft(const QString& to, const QString& subject, const QString& body) {
    outbox::Draft d;
    d.from = kSender;
    d.fromName = QStringLiteral("空箱堂");
    d.to = to;
    d.subject = subject;
    d.body = body;
    return d;
}
}  // namespace

class TestSmtp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (!MailServer::available()) QFAIL("python3-aiosmtpd is missing: scripts/bootstrap installs it");
    }

    // Three winners' mails through STARTTLS and a sign-in, read back as a mail program reads them:
    // JIS where every character has a code, UTF-8 where one has not, a copy to the sender only
    // in the envelope.
    void threeMailsArriveAsWritten() {
        MailServer mail(QStringLiteral("ok"));
        QVERIFY(mail.port() > 0);
        const QList<outbox::Draft> drafts{
            draft(QStringLiteral("buyer1@example.jp"), QStringLiteral("【空箱堂】落札のお礼とお支払いのご案内"),
                  QStringLiteral(
                      "sora_buyer 様\n\nこの度は「空箱文庫 上巻」をご落札いただき、誠にありがとうございます。\n合計 1,580 円です。\n")),
            draft(QStringLiteral("buyer2@example.jp"), QStringLiteral("発送完了のご連絡 ① 追跡番号"),
                  QStringLiteral("雲雀時計 様\n\n本日発送いたしました。\n追跡番号 1234-5678-9012\n")),
            draft(QStringLiteral("buyer3@example.jp"), QStringLiteral("入金確認と発送のご連絡"), QStringLiteral("ご入金を確認しました。")),
        };
        QStringList ids;
        for (int i = 0; i < drafts.size(); ++i) {
            outbox::Draft d = drafts[i];
            d.copyToSender = i == 2;
            QString id;
            const outbox::Sent sent = sendOne(mail.server(), d, &id);
            QVERIFY2(sent.outcome == outbox::Sent::Outcome::Sent, qPrintable(sent.message + QLatin1Char(' ') + sent.reply));
            QVERIFY2(sent.reply.startsWith(QStringLiteral("250")), qPrintable(sent.reply));
            ids << id;
        }
        QCOMPARE(mail.taken(), 3);
        for (int i = 0; i < 3; ++i) {
            const QJsonObject m = mail.mail(i);
            QCOMPARE(m.value(QStringLiteral("subject")).toString(), drafts[i].subject);
            QCOMPARE(m.value(QStringLiteral("to")).toString(), drafts[i].to);
            QCOMPARE(m.value(QStringLiteral("from")).toString(), QStringLiteral("空箱堂 <shop@sorabako.example>"));
            QCOMPARE(m.value(QStringLiteral("reply-to")).toString(), kSender);
            QCOMPARE(m.value(QStringLiteral("message-id")).toString(), ids[i]);
            QVERIFY(!m.value(QStringLiteral("date")).toString().isEmpty());
            QVERIFY(!m.value(QStringLiteral("bcc")).toBool());
            QString body = m.value(QStringLiteral("body")).toString();
            QCOMPARE(body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed(), drafts[i].body.trimmed());
        }
        // ① has no JIS code: that mail is UTF-8, the others 7-bit ISO-2022-JP.
        QCOMPARE(mail.mail(0).value(QStringLiteral("charset")).toString(), QStringLiteral("iso-2022-jp"));
        QVERIFY(mail.mail(0).value(QStringLiteral("seven-bit")).toBool());
        QCOMPARE(mail.mail(1).value(QStringLiteral("charset")).toString(), QStringLiteral("utf-8"));
        QCOMPARE(mail.envelope(2), (QStringList{QStringLiteral("buyer3@example.jp"), kSender}));
        QCOMPARE(mail.envelope(0), QStringList{QStringLiteral("buyer1@example.jp")});
    }

    // What a Windows template holds (～ from CP932), a sender's name with a comma, a paragraph
    // longer than a mail line may be: each read back as written, still JIS where JIS can hold it.
    void awkwardTextArrivesAsWritten() {
        MailServer mail(QStringLiteral("ok"));
        outbox::Draft d =
            draft(QStringLiteral("buyer1@example.jp"), QStringLiteral("営業時間 9:00～18:00"),
                  QStringLiteral("受付は 9:00～18:00 です。\n.先頭の点\n") + QString(600, QChar(0x3042)) + QStringLiteral("\n"));
        d.fromName = QStringLiteral("Sora Hako, Ltd.");
        QVERIFY(sendOne(mail.server(), d).outcome == outbox::Sent::Outcome::Sent);
        const QJsonObject m = mail.mail(0);
        QCOMPARE(m.value(QStringLiteral("charset")).toString(), QStringLiteral("iso-2022-jp"));
        QCOMPARE(m.value(QStringLiteral("from")).toString(), QStringLiteral("\"Sora Hako, Ltd.\" <shop@sorabako.example>"));
        // JIS's wave dash is what ～ becomes: a mail program shows the same mark.
        QCOMPARE(m.value(QStringLiteral("subject")).toString(), QStringLiteral("営業時間 9:00\u301C18:00"));
        QString body = m.value(QStringLiteral("body")).toString();
        body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(body, QStringLiteral("受付は 9:00\u301C18:00 です。\n.先頭の点\n") + QString(600, QChar(0x3042)) + QStringLiteral("\n"));
    }

    // Each way a server fails: said in Japanese, nothing taken, and a connection dropped after the
    // whole mail was handed over is 送信不明, never "not sent".
    void aServerThatFailsIsSaid() {
        const outbox::Draft d = draft(QStringLiteral("buyer1@example.jp"), QStringLiteral("テスト"), QStringLiteral("本文です。"));
        {
            MailServer mail(QStringLiteral("ok"));
            outbox::Server wrong = mail.server();
            wrong.password = QStringLiteral("違うパスワード");
            outbox::Sent sent = sendOne(wrong, d);
            QCOMPARE(sent.outcome, outbox::Sent::Outcome::Refused);
            QVERIFY2(sent.message.contains(QStringLiteral("パスワード")), qPrintable(sent.message));
            // The server's own certificate is checked unless the seller said otherwise.
            outbox::Server strict = mail.server();
            strict.allowSelfSigned = false;
            sent = sendOne(strict, d);
            QCOMPARE(sent.outcome, outbox::Sent::Outcome::Refused);
            QVERIFY2(sent.message.contains(QStringLiteral("証明書")), qPrintable(sent.message));
            QCOMPARE(mail.taken(), 0);
        }
        {
            MailServer mail(QStringLiteral("reject-rcpt"));
            const outbox::Sent sent = sendOne(mail.server(), d);
            QCOMPARE(sent.outcome, outbox::Sent::Outcome::Refused);
            QVERIFY2(sent.message.contains(QStringLiteral("断られました")) && sent.message.contains(QStringLiteral("550")),
                     qPrintable(sent.message));
        }
        {
            // A refusal after the whole mail is a refusal, not 送信不明.
            MailServer mail(QStringLiteral("reject-data"));
            const outbox::Sent sent = sendOne(mail.server(), d);
            QCOMPARE(sent.outcome, outbox::Sent::Outcome::Refused);
            QVERIFY2(sent.message.contains(QStringLiteral("554")), qPrintable(sent.message));
        }
        {
            MailServer mail(QStringLiteral("stall"));
            const outbox::Sent sent = sendOne(mail.server(), d);
            QCOMPARE(sent.outcome, outbox::Sent::Outcome::Refused);
            QVERIFY2(sent.message.contains(QStringLiteral("応答がありませんでした")), qPrintable(sent.message));
        }
        {
            MailServer mail(QStringLiteral("drop-after-data"));
            const outbox::Sent sent = sendOne(mail.server(), d);
            QVERIFY2(sent.outcome == outbox::Sent::Outcome::Uncertain, qPrintable(sent.message + QLatin1Char(' ') + sent.reply));
            QVERIFY(sent.message.contains(QStringLiteral("送信不明")));
        }
    }
};

QTEST_GUILESS_MAIN(TestSmtp)
#include "tst_smtp.moc"
