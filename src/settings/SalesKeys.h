#pragma once

#include <QString>
#include <QStringList>

// The settings of 取引一覧, section 取引管理: the days each stage may take, the mail template for
// each stage a mail brings a sale to, and the site's fee as a percentage of the price.
namespace saleskeys {

inline const QString kSection = QStringLiteral("取引管理");
// In the order 連絡, 返信, 入金, 発送, 受取, 評価; whole days.
inline const QStringList kLimits{QStringLiteral("期限_連絡"), QStringLiteral("期限_返信"), QStringLiteral("期限_入金"),
                                 QStringLiteral("期限_発送"), QStringLiteral("期限_受取"), QStringLiteral("期限_評価")};
inline const int kLimitDefaults[] = {1, 3, 7, 3, 7, 7};
inline const QStringList kLimitCaptions{QStringLiteral("落札から最初の連絡まで"), QStringLiteral("連絡から落札者の返信まで"),
                                        QStringLiteral("落札から入金まで"),       QStringLiteral("入金から発送まで"),
                                        QStringLiteral("発送から受取まで"),       QStringLiteral("受取から評価まで")};
// The stages a mail can bring a sale to, and the reminder; each key is "メール_" and the name.
inline const QStringList kMailStages{QStringLiteral("連絡済"), QStringLiteral("住所確認"), QStringLiteral("入金確認"),
                                     QStringLiteral("発送済"), QStringLiteral("受取確認"), QStringLiteral("評価済"),
                                     QStringLiteral("催促")};
inline QString mailKey(const QString& stage) { return QStringLiteral("メール_") + stage; }
// The shipped templates for the stages that have one.
inline QString defaultMail(const QString& stage) {
    if (stage == QStringLiteral("連絡済")) return QStringLiteral("落札のお礼とお支払いのご案内");
    if (stage == QStringLiteral("入金確認")) return QStringLiteral("入金確認と発送のご連絡");
    if (stage == QStringLiteral("発送済")) return QStringLiteral("発送完了のご連絡");
    if (stage == QStringLiteral("催促")) return QStringLiteral("お支払いのお願い");
    return QString();
}
inline const QString kFeeRate = QStringLiteral("落札手数料率");
inline const QString kFeeRateDefault = QStringLiteral("10");

}  // namespace saleskeys
