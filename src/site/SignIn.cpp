#include "site/SignIn.h"

#include "site/SiteFacts.h"

namespace site {

LoginForm loginForm() {
    return {fact(kLogin, QStringLiteral("フォーム")),       fact(kLogin, QStringLiteral("ID欄")),
            fact(kLogin, QStringLiteral("パスワード欄")),   fact(kLogin, QStringLiteral("ログインしたままにする")),
            fact(kLogin, QStringLiteral("ログインボタン")), fact(kLogin, QStringLiteral("ログインボタンの表示"))};
}

bool isFailurePage(const QString& bodyText) {
    for (const QString& text : factList(kLogin, QStringLiteral("失敗の文言")))
        if (!text.isEmpty() && bodyText.contains(text)) return true;
    return false;
}

QString closedListingsLoginButton() { return fact(kClosed, QStringLiteral("ログインボタン")); }
QString passwordAgainText() { return fact(kClosed, QStringLiteral("パスワード再入力")); }

int loginPrompts(const QString& bodyText, const QStringList& buttonValues) {
    if (bodyText.contains(passwordAgainText())) return 1;
    return static_cast<int>(buttonValues.count(fact(kClosed, QStringLiteral("ログインボタンの表示"))));
}

}  // namespace site
