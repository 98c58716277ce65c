#include "core/LabelledRows.h"

namespace labelledrows {

QJsonArray toJson(const LabelledRows& rows) {
    QJsonArray out;
    for (const auto& [label, value] : rows) out.append(QJsonArray{label, value});
    return out;
}

LabelledRows fromJson(const QJsonArray& array) {
    LabelledRows rows;
    for (const QJsonValue& row : array) {
        const QJsonArray pair = row.toArray();
        if (pair.size() == 2 && pair[0].isString() && pair[1].isString()) rows.append({pair[0].toString(), pair[1].toString()});
    }
    return rows;
}

}  // namespace labelledrows
