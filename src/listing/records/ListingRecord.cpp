#include "listing/records/ListingRecord.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>

#include "core/LabelledRows.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "settings/IniFile.h"

namespace listingrecord {

namespace {
const QString kRecordFile = QStringLiteral("記録.json");

// An auction ID as a folder name: letters and digits only, whatever the page showed.
QString folderName(const QString& auctionId) {
    QString name;
    for (const QChar c : auctionId)
        if (c.isLetterOrNumber() && c.unicode() < 0x80) name += c;
    return name;
}
}  // namespace

QString recordsRoot() { return QDir(ProgramFolder::user()).filePath(QStringLiteral("出品記録")); }

QString write(const Record& record, const QByteArray& memoryFile, QString* problem, const QString& root) {
    const QString name = folderName(record.auctionId);
    if (name.isEmpty()) {
        *problem = QStringLiteral("オークションIDが読み取れないため、出品記録を残せませんでした。");
        return QString();
    }
    const QString folder = QDir(root).filePath(name);
    if (QFileInfo::exists(QDir(folder).filePath(kRecordFile))) return folder;  // the first record of a listing stands
    const QJsonArray rows = labelledrows::toJson(record.confirmation);
    const QJsonObject o{{QStringLiteral("auction"), record.auctionId},
                        {QStringLiteral("listedAt"), record.listedAt},
                        {QStringLiteral("title"), record.title},
                        {QStringLiteral("category"), record.category},
                        {QStringLiteral("categoryAddress"), record.categoryAddress},
                        {QStringLiteral("description"), record.description},
                        {QStringLiteral("sourceFile"), record.sourceFile},
                        {QStringLiteral("confirmation"), rows}};
    // The memory file first: a record is complete once its record file is there.
    if (!QDir().mkpath(folder) || !TextFile::writeBytes(QDir(folder).filePath(kMemoryFileName), memoryFile) ||
        !TextFile::writeBytes(QDir(folder).filePath(kRecordFile), QJsonDocument(o).toJson())) {
        *problem = QStringLiteral("出品記録を保存できませんでした。\r\n") + folder +
                   QStringLiteral("\r\nディスクの空きと、書き込みできるかを確認して下さい。");
        return QString();
    }
    return folder;
}

std::optional<Record> read(const QString& folder) {
    QFile f(QDir(folder).filePath(kRecordFile));
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll());
    if (!doc.isObject()) return std::nullopt;
    const QJsonObject o = doc.object();
    Record r;
    r.auctionId = o.value(QStringLiteral("auction")).toString();
    if (r.auctionId.isEmpty()) return std::nullopt;
    r.listedAt = o.value(QStringLiteral("listedAt")).toString();
    r.title = o.value(QStringLiteral("title")).toString();
    r.category = o.value(QStringLiteral("category")).toString();
    r.categoryAddress = o.value(QStringLiteral("categoryAddress")).toString();
    r.description = o.value(QStringLiteral("description")).toString();
    r.sourceFile = o.value(QStringLiteral("sourceFile")).toString();
    r.confirmation = labelledrows::fromJson(o.value(QStringLiteral("confirmation")).toArray());
    r.folder = folder;
    return r;
}

QList<Record> all(const QString& root) { return notAmong({}, root); }

QString folderOf(const QString& auctionId, const QString& root) { return QDir(root).filePath(folderName(auctionId)); }

QList<Record> notAmong(const QStringList& known, const QString& root) {
    QSet<QString> names;
    for (const QString& id : known) names.insert(folderName(id));
    QList<Record> records;
    for (const QString& name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (!names.contains(name))
            if (const std::optional<Record> r = read(QDir(root).filePath(name))) records << *r;
    sortNewestFirst(records);
    return records;
}

void sortNewestFirst(QList<Record>& records) {
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        return a.listedAt != b.listedAt ? a.listedAt > b.listedAt : a.auctionId > b.auctionId;
    });
}

QList<Record> search(const QList<Record>& records, const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return records;
    QList<Record> found;
    for (const Record& r : records)
        if (r.title.contains(t, Qt::CaseInsensitive) || r.auctionId.contains(t, Qt::CaseInsensitive)) found << r;
    return found;
}

QString memoryFileOf(const Record& record) { return QDir(record.folder).filePath(kMemoryFileName); }

QString lowered(const QString& startPrice, int percent) {
    bool ok = false;
    const qint64 yen = startPrice.trimmed().toLongLong(&ok);
    if (!ok || yen <= 0 || percent <= 0) return startPrice.trimmed();
    const qint64 cut = yen * (100 - qBound(0, percent, 99)) / 100;
    return QString::number(qMax<qint64>(1, cut));
}

QString relistFile(const Record& record, int percent, QString* problem) {
    QFile source(memoryFileOf(record));
    if (!source.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("出品記録の記憶ファイルを開けませんでした。\r\n") + source.fileName();
        return QString();
    }
    const QByteArray bytes = source.readAll();
    const QString path =
        QDir(record.folder)
            .filePath(QStringLiteral("再出品_%1.srb").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"))));
    IniFile file = IniFile::fromBytes(path, bytes);
    if (percent > 0) {
        const QString section = QStringLiteral("出品手続"), key = QStringLiteral("開始価格");
        file.setValue(section, key, lowered(file.value(section, key), percent));
    }
    if (!file.save()) {
        *problem = QStringLiteral("再出品の記憶ファイルを保存できませんでした。\r\n") + path;
        return QString();
    }
    return path;
}

}  // namespace listingrecord
