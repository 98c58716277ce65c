#include "description/Description.h"

#include <QSet>

#include <QDir>

#include "core/Values.h"
#include "core/mduInterFace.h"
#include "core/Cp932.h"

namespace description {
namespace {
const QString kBr = QStringLiteral("<BR>");

QString trimBlanks(const QString& s) {
    int begin = 0, end = static_cast<int>(s.size());
    while (begin < end && s.at(begin) == QLatin1Char(' ')) ++begin;
    while (end > begin && s.at(end - 1) == QLatin1Char(' ')) --end;
    return s.mid(begin, end - begin);
}

QString digit(int i) { return QString::number(i); }
}  // namespace

QString listingTitle(const QString& mark, const QString& productName) {
    const QString m = trimBlanks(mark);
    return m + productName + m;
}

int titleByteCount(const QString& mark, const QString& productName) { return mduInterFace::Byte_Len(listingTitle(mark, productName)); }

bool titleTooLong(int byteCount) { return byteCount > kTitleLimit; }

QStringList templateLines(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = t.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();  // the final line end opens no line
    return lines;
}

Output generate(const QStringList& lines, const Input& input) {
    Output out;
    out.table = lines.mid(0, kTableSize);
    while (out.table.size() < kTableSize) out.table.append(QString());
    QStringList& t = out.table;

    t[0].replace(QStringLiteral("＜タイトル＞"), cp932::escaped(listingTitle(input.mark, input.productName)));

    for (int i = 1; i <= kItems; ++i) {
        const QString name = input.itemNames.value(i - 1);
        if (trimBlanks(name).isEmpty()) {
            t[i].clear();
            continue;
        }
        // Content first: its own text may carry the name placeholder, which then becomes the name too.
        t[i].replace(QStringLiteral("＜項目") + digit(i) + QStringLiteral("＞"),
                     cp932::escaped(values::crlfToBr(input.itemContents.value(i - 1))));
        t[i].replace(QStringLiteral("項目") + digit(i), cp932::escaped(values::crlfToBr(name)));
    }

    const QString user = QStringLiteral("＜ユーザー＞");
    if (input.myAuction) {
        if (input.myAuctionForm == 0) {
            t[10].replace(user, cp932::escaped(input.sellerId));
            t[11].clear();
        } else {
            t[11].replace(user, cp932::escaped(input.sellerId));
            t[10].clear();
        }
    } else {
        t[10].clear();
        t[11].clear();
    }

    for (int i = 0; i < kWrittenLines; ++i) {
        if (trimBlanks(t[i]).isEmpty()) continue;
        QString entry = t[i];
        entry.replace(kBr, kBr + values::kCrLf);
        out.fileLines += entry.split(values::kCrLf);
        out.html += entry;
    }
    return out;
}

QStringList listDesigns(const QString& folder) {
    QDir dir(folder);
    return dir.entryList({QStringLiteral("*.html")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QStringList listMailTemplates(const QString& folder) {
    QDir dir(folder);
    QStringList names = dir.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (QString& n : names) n.remove(QStringLiteral(".txt"));
    return names;
}

QString colorText(unsigned int rgb) { return QStringLiteral("#%1").arg(rgb & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper(); }

QString decorationFragment(const QString& text, bool bold, bool italic, bool underline, unsigned int rgb, const QString& size) {
    QString inner = values::crlfToBr(text);
    const bool styles[] = {bold, italic, underline};
    const char* tags[] = {"B", "I", "U"};
    for (int i = 0; i < 3; ++i)
        if (styles[i])
            inner = QStringLiteral("<%1>").arg(QLatin1String(tags[i])) + inner + QStringLiteral("</%1>").arg(QLatin1String(tags[i]));
    QString out = QStringLiteral("<FONT color=karakara size=saisai>mojimoji</FONT>");
    out.replace(QStringLiteral("karakara"), colorText(rgb));
    out.replace(QStringLiteral("saisai"), size);
    out.replace(QStringLiteral("mojimoji"), inner);
    return out;
}

QString linkFragment(const QString& url, const QString& name) {
    QString out = QStringLiteral("<A href=uuuurl target=_blank>namename</A>");
    out.replace(QStringLiteral("uuuurl"), url);
    out.replace(QStringLiteral("namename"), name);
    return out;
}

QString phraseClip(const QString& mark, const QString& line) { return trimBlanks(mark) + line + values::kCrLf; }

QString itemClip(const QString& mark, const QString& line) { return trimBlanks(mark) + line; }

}  // namespace description
