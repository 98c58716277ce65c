#include "sales/Sale.h"

namespace sales {

namespace {
struct Named {
    Stage stage;
    const char16_t* name;
};
constexpr Named kNames[] = {{Stage::Won, u"落札"},      {Stage::Contacted, u"連絡済"}, {Stage::AddressKnown, u"住所確認"},
                            {Stage::Paid, u"入金確認"}, {Stage::Shipped, u"発送済"},   {Stage::Received, u"受取確認"},
                            {Stage::Rated, u"評価済"},  {Stage::Cancelled, u"取消"}};
}  // namespace

QString stageName(Stage stage) {
    for (const Named& n : kNames)
        if (n.stage == stage) return QString::fromUtf16(n.name);
    return QString();
}

std::optional<Stage> stageNamed(const QString& name) {
    for (const Named& n : kNames)
        if (name == QString::fromUtf16(n.name)) return n.stage;
    return std::nullopt;
}

std::optional<Stage> nextStage(Stage stage) {
    switch (stage) {
        case Stage::Won: return Stage::Contacted;
        case Stage::Contacted: return Stage::AddressKnown;
        case Stage::AddressKnown: return Stage::Paid;
        case Stage::Paid: return Stage::Shipped;
        case Stage::Shipped: return Stage::Received;
        case Stage::Received: return Stage::Rated;
        case Stage::Rated:
        case Stage::Cancelled: break;
    }
    return std::nullopt;
}

const QList<Stage>& allStages() {
    static const QList<Stage> stages{Stage::Won,     Stage::Contacted, Stage::AddressKnown, Stage::Paid,
                                     Stage::Shipped, Stage::Received,  Stage::Rated,        Stage::Cancelled};
    return stages;
}

QString cancelReasonName(CancelReason reason) {
    switch (reason) {
        case CancelReason::Winner: return QStringLiteral("落札者都合");
        case CancelReason::Seller: return QStringLiteral("出品者都合");
        case CancelReason::None: break;
    }
    return QString();
}

QDateTime Sale::reached(Stage wanted) const {
    if (wanted == Stage::Won) return ended;
    // An undo takes its move away: the moves are always the way from 落札 to where the sale is.
    for (const Move& m : moves)
        if (m.to == wanted) return m.at;
    return QDateTime();
}

bool moveOn(Sale& sale, const QDateTime& at) {
    const std::optional<Stage> next = nextStage(sale.stage);
    if (!next) return false;
    sale.moves.append({sale.stage, *next, at});
    sale.stage = *next;
    return true;
}

bool cancel(Sale& sale, CancelReason reason, const QDateTime& at) {
    if (sale.stage == Stage::Cancelled || sale.stage == Stage::Rated || reason == CancelReason::None) return false;
    sale.moves.append({sale.stage, Stage::Cancelled, at});
    sale.stage = Stage::Cancelled;
    sale.cancelReason = reason;
    return true;
}

bool undo(Sale& sale) {
    if (sale.moves.isEmpty()) return false;
    const Move last = sale.moves.takeLast();
    sale.stage = last.from;
    if (last.to == Stage::Cancelled) sale.cancelReason = CancelReason::None;
    return true;
}

}  // namespace sales
