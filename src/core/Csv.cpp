#include "core/Csv.h"

namespace csv {

QString field(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString line(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields) out << field(f);
    return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

}  // namespace csv
