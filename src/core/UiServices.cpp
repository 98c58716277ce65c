#include "core/UiServices.h"

#include <QStringList>

QString toQtFileFilter(const QString& productFilter) {
    const QStringList parts = productFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts.at(i) + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    if (filters.isEmpty()) return productFilter;
    return filters.join(QStringLiteral(";;"));
}
