#include "core/Csv.h"

#include "core/TextFile.h"
#include "core/UiServices.h"

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

bool saveAs(UiServices& ui, const QString& suggestedPath, const QString& text, const QString& caption, QObject* owner) {
    QString path = ui.saveFileName(suggestedPath, QStringLiteral("CSVファイル(*.CSV)|*.csv"), owner);
    if (path.isEmpty()) return false;
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) path += QStringLiteral(".csv");
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    QString lost;
    if (!TextFile::writeCp932Lines(path, lines, &lost)) {
        ui.message(QStringLiteral("CSVファイルを保存できませんでした。\r\n") + path, caption, UiServices::Icon::Critical,
                   UiServices::Buttons::Ok, owner);
        return false;
    }
    if (!lost.isEmpty())
        ui.message(QStringLiteral("次の文字はCSVファイルに保存できないため、「?」で保存しました。\r\n") + lost, caption,
                   UiServices::Icon::Information, UiServices::Buttons::Ok, owner);
    return true;
}

}  // namespace csv
