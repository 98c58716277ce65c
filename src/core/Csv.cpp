#include "core/Csv.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "core/Cp932.h"
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

namespace {
// The text as the spreadsheet meant it: a BOM says UTF-8; bytes that are valid UTF-8 are
// UTF-8 (CP932 text with any Japanese in it almost never is); anything else is CP932.
QString decodedText(const QByteArray& bytes, QString* encoding) {
    *encoding = QStringLiteral("UTF-8");
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    *encoding = QStringLiteral("Shift_JIS");
    return cp932::decode(bytes);
}

// A tab in the first line outside quotes and no comma there: the file is tab separated.
QChar separatorOf(const QString& text) {
    bool quoted = false;
    int commas = 0, tabs = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char('\t'))
            ++tabs;
    }
    return tabs > commas ? QLatin1Char('\t') : QLatin1Char(',');
}
}  // namespace

QByteArray readFile(const QString& path, const QString& what, QString* problem) {
    constexpr qint64 kLargest = 64 * 1024 * 1024;
    const QFileInfo info(path);
    if (!info.isFile()) {
        *problem = QStringLiteral("「%1」はファイルではありません。").arg(info.fileName());
        return {};
    }
    if (info.size() > kLargest) {
        *problem =
            QStringLiteral("「%1」は大きすぎます（%2 MB）。%3として読めません。").arg(info.fileName()).arg(info.size() >> 20).arg(what);
        return {};
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("「%1」を開けませんでした。").arg(info.fileName());
        return {};
    }
    return f.readAll();
}

Table read(const QByteArray& bytes) {
    Table table;
    if (bytes.contains('\0')) {
        table.problem = QStringLiteral("CSVファイルではありません（文字でないデータがあります）。");
        return table;
    }
    QString encoding;
    const QString text = decodedText(bytes, &encoding);
    table.encoding = encoding;
    const QChar sep = separatorOf(text);
    QStringList record;
    QString cell;
    bool quoted = false, any = false;
    int line = 1, startLine = 1;
    auto endRecord = [&] {
        record << cell;
        cell.clear();
        // A line with nothing on it is no record (Excel ends its files with one).
        if (any || record.size() > 1 || !record.first().isEmpty()) {
            table.records << record;
            table.lines << startLine;
        }
        record.clear();
        any = false;
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n')) ++line;
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && cell.isEmpty()) {
            quoted = any = true;
        } else if (c == sep) {
            record << cell;
            cell.clear();
            any = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ++i;
            endRecord();
            startLine = ++line;
        } else {
            cell += c;
        }
    }
    if (quoted) {
        table = Table();
        table.problem = QStringLiteral("%1行目から始まる「\"」で囲まれた項目が、ファイルの終わりまで閉じられていません。").arg(startLine);
        return table;
    }
    if (!cell.isEmpty() || !record.isEmpty() || any) endRecord();
    return table;
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
