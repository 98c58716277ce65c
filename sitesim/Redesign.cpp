#include "Redesign.h"

namespace redesign {

State& state() {
    static State s;
    return s;
}

bool apply(const QString& kind) {
    State& s = state();
    if (kind == QLatin1String("none")) {
        s = State();
    } else if (kind == QLatin1String("item-labels")) {
        s.itemLabels = true;
    } else if (kind == QLatin1String("listing-links")) {
        s.listingLinks = true;
    } else if (kind == QLatin1String("login-fields")) {
        s.loginFields = true;
    } else if (kind.startsWith(QLatin1String("reorder:")) && kind.size() > 8) {
        s.reversed << kind.mid(8);
    } else if (kind.startsWith(QLatin1String("drop:"))) {
        const QStringList parts = kind.mid(5).split(QLatin1Char(':'));
        if (parts.size() != 2 || parts[0].isEmpty() || parts[1].isEmpty()) return false;
        s.dropped.insert(parts[0], parts[1]);
    } else {
        return false;
    }
    return true;
}

QString itemLabel(const QString& label) {
    if (!state().itemLabels) return label;
    static const QMap<QString, QString> reworded{{QStringLiteral("現在の価格："), QStringLiteral("現在価格：")},
                                                 {QStringLiteral("アクセス総数："), QStringLiteral("閲覧数：")},
                                                 {QStringLiteral("ウォッチリストに追加した総数："), QStringLiteral("ウォッチ数：")}};
    return reworded.value(label, label);
}

QString listingLink(const QString& text) {
    if (!state().listingLinks) return text;
    static const QMap<QString, QString> reworded{{QStringLiteral("残り時間"), QStringLiteral("終了まで")},
                                                 {QStringLiteral("次の50件"), QStringLiteral("次のページ")},
                                                 {QStringLiteral("前の50件"), QStringLiteral("前のページ")}};
    return reworded.value(text, text);
}

QString loginField(const QString& name) {
    if (!state().loginFields) return name;
    static const QMap<QString, QString> renamed{{QStringLiteral("login"), QStringLiteral("user_id")},
                                                {QStringLiteral("passwd"), QStringLiteral("user_pw")}};
    return renamed.value(name, name);
}

}  // namespace redesign
