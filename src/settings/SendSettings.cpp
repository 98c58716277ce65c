#include "settings/SendSettings.h"

#include "settings/IniFile.h"

namespace sendsettings {

Settings read(const IniFile& file) {
    Settings s;
    auto value = [&](const char* key) { return file.value(kSection, QString::fromUtf8(key)).trimmed(); };
    s.smtp = value("送信方法") == QStringLiteral("SMTP");
    s.host = value("サーバー");
    bool ok = false;
    const int port = value("ポート").toInt(&ok);
    s.port = ok && port > 0 && port < 65536 ? port : 587;
    s.tls = value("暗号化") == QStringLiteral("SSL/TLS");
    s.user = value("ユーザー名");
    s.from = value("差出人");
    s.fromName = value("差出人名");
    s.selfSignedHost = value("自己署名を認めるサーバー");
    s.copyToSender = value("控えを送る") == QLatin1String("1");
    return s;
}

QList<QPair<QString, QString>> entries(const Settings& s) {
    return {{QStringLiteral("送信方法"), s.smtp ? QStringLiteral("SMTP") : QStringLiteral("メーラー")},
            {QStringLiteral("サーバー"), s.host},
            {QStringLiteral("ポート"), QString::number(s.port)},
            {QStringLiteral("暗号化"), s.tls ? QStringLiteral("SSL/TLS") : QStringLiteral("STARTTLS")},
            {QStringLiteral("ユーザー名"), s.user},
            {QStringLiteral("差出人"), s.from},
            {QStringLiteral("差出人名"), s.fromName},
            {QStringLiteral("自己署名を認めるサーバー"), s.selfSignedHost},
            {QStringLiteral("控えを送る"), s.copyToSender ? QStringLiteral("1") : QStringLiteral("0")}};
}

QString secretKey(const Settings& s) { return QStringLiteral("smtp:%1@%2:%3").arg(s.user, s.host).arg(s.port); }

}  // namespace sendsettings
