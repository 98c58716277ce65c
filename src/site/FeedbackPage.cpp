#include "site/FeedbackPage.h"

#include "site/SiteFacts.h"

namespace site {

const QStringList& feedbackRatings() {
    static const QStringList list{QStringLiteral("非常に良い"), QStringLiteral("良い"), QStringLiteral("どちらでもない"),
                                  QStringLiteral("悪い"), QStringLiteral("非常に悪い")};
    return list;
}

FeedbackElements feedbackElements() {
    FeedbackElements e;
    e.ratings = factList(kFeedback, QStringLiteral("評価.選択肢"));
    e.comment = fact(kFeedback, QStringLiteral("コメント欄"));
    e.button = fact(kFeedback, QStringLiteral("投稿ボタン"));
    e.done = fact(kFeedback, QStringLiteral("完了"));
    e.refused = fact(kFeedback, QStringLiteral("評価済み"));
    return e;
}

namespace {
QString jsList(const QStringList& ids) {
    QStringList quoted;
    for (QString id : ids)
        quoted << QLatin1Char('"') +
                      id.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\"")) +
                      QLatin1Char('"');
    return QLatin1Char('[') + quoted.join(QLatin1Char(',')) + QLatin1Char(']');
}
}  // namespace

QString pageProbe() {
    const FeedbackElements e = feedbackElements();
    return QStringLiteral(
               "var byId = function(id) { return document.getElementById(id); };"
               "if (byId(%1)) return 'done';"
               "if (byId(%2)) return 'refused';"
               "var need = %3; var missing = need.filter(function(id) { return !byId(id); });"
               "if (missing.length == need.length) return 'other';"
               "return missing.length ? 'missing:' + missing.join(',') : 'form';")
        .arg(jsList({e.done}).mid(1).chopped(1), jsList({e.refused}).mid(1).chopped(1),
             jsList(e.ratings + QStringList{e.comment, e.button}));
}

FeedbackPageKind kindOf(const QString& answer, QStringList* missing) {
    if (answer == QLatin1String("form")) return FeedbackPageKind::Form;
    if (answer == QLatin1String("done")) return FeedbackPageKind::Done;
    if (answer == QLatin1String("refused")) return FeedbackPageKind::Refused;
    if (answer.startsWith(QLatin1String("missing:")) && missing) *missing = answer.mid(8).split(QLatin1Char(','), Qt::SkipEmptyParts);
    return FeedbackPageKind::Other;
}

}  // namespace site
