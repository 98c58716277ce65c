#pragma once

#include <QString>
#include <QStringList>

// A sale's feedback page on the site, by meaning: the five ratings (非常に良い first), the
// comment, the seller's button, and the pages that follow it. The elements are the site
// definition's ([評価]).
namespace site {

const QStringList& feedbackRatings();  // 非常に良い, 良い, どちらでもない, 悪い, 非常に悪い

struct FeedbackElements {
    QStringList ratings;  // the radio buttons' ids, in feedbackRatings() order
    QString comment, button, done, refused;
};
FeedbackElements feedbackElements();

// What a loaded page is, from a script's answer (pageProbe()).
enum class FeedbackPageKind { Form, Done, Refused, Other };
QString pageProbe();  // a script: "form", "done", "refused", or the missing elements' ids after "missing:"
FeedbackPageKind kindOf(const QString& probeAnswer, QStringList* missing);

}  // namespace site
