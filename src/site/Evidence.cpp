#include "site/Evidence.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QRegularExpression>

#include "core/Cp932.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "widgets/Browser.h"

namespace site {

QString evidenceRoot() { return ProgramFolder::data() + QStringLiteral("診断"); }

QString evidenceNote(const QString& folder) {
    return folder.isEmpty() ? QString() : QStringLiteral("\r\nその時のページを次のフォルダに残しました。\r\n") + folder;
}

QString keepEvidence(const Evidence& evidence) { return keepEvidence(evidence, evidenceRoot()); }

QString keepEvidence(const Evidence& evidence, const QString& root) {
    QDir dir(root);
    if (!dir.mkpath(QStringLiteral("."))) return QString();
    // Named by the time, to the millisecond: sorted by name is sorted by age.
    const QDateTime now = QDateTime::currentDateTime();
    QString name = now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    for (int n = 2; dir.exists(name); ++n) name = now.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) + QStringLiteral("-%1").arg(n);
    if (!dir.mkdir(name)) return QString();
    const QString folder = dir.filePath(name);
    const QStringList about{QStringLiteral("日時: ") + now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
                            QStringLiteral("ページ: ") + evidence.address, QStringLiteral("内容: ") + evidence.what,
                            evidence.html.isEmpty() ? QStringLiteral("ページの内容はありません（応答がなかったか、読めませんでした）。")
                                                    : QStringLiteral("page.html: その時のページ（UTF-8）")};
    TextFile::writeCp932Lines(folder + QStringLiteral("/内容.txt"), about);
    // The page in UTF-8, whatever it came in: every character of it kept, and a browser opens it as it is.
    if (!evidence.html.isEmpty()) {
        QString html = evidence.html;
        if (!html.contains(QLatin1String("<meta charset"), Qt::CaseInsensitive))
            html.replace(QRegularExpression(QStringLiteral("<head[^>]*>"), QRegularExpression::CaseInsensitiveOption),
                         QStringLiteral("\\0<meta charset=\"utf-8\">"));
        TextFile::writeBytes(folder + QStringLiteral("/page.html"), html.toUtf8());
    }
    if (!evidence.screen.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (evidence.screen.save(&buffer, "PNG")) TextFile::writeBytes(folder + QStringLiteral("/screen.png"), png);
    }
    // The newest events stay; the oldest go.
    QStringList events = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    while (events.size() > kEvidenceKept) QDir(dir.filePath(events.takeFirst())).removeRecursively();
    return folder;
}

QString keepEvidence(Browser* browser, const QString& what) {
    Evidence e;
    e.what = what;
    e.address = browser->url().toString();
    e.html = browser->evaluate(QStringLiteral("return document.documentElement?document.documentElement.outerHTML:'';"), 2000).text();
    if (browser->isVisible()) e.screen = browser->grab().toImage();
    return keepEvidence(e);
}

}  // namespace site
