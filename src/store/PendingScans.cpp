#include "store/PendingScans.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <iterator>

#include "core/TextFile.h"

namespace pendingscans {

namespace {
// What store() keeps of a row, in the order of the file's row arrays.
constexpr QString HistoryStore::Row::*kFields[] = {&HistoryStore::Row::address, &HistoryStore::Row::title, &HistoryStore::Row::access,
                                                   &HistoryStore::Row::watch,   &HistoryStore::Row::bids,  &HistoryStore::Row::timeLeft,
                                                   &HistoryStore::Row::price};
}  // namespace

QString lockPath(const QString& pendingPath) {
    const QFileInfo info(pendingPath);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

QList<PendingScan> read(const QString& pendingPath) {
    QFile file(pendingPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::optional<QList<PendingScan>> scans = pendingFromBytes(file.readAll());
    file.close();
    if (!scans) {
        QString aside = pendingPath + QStringLiteral(".broken");
        for (int n = 2; QFile::exists(aside); ++n) aside = pendingPath + QStringLiteral(".broken-%1").arg(n);
        QFile::rename(pendingPath, aside);
        return {};
    }
    std::stable_sort(scans->begin(), scans->end(), [](const PendingScan& a, const PendingScan& b) { return a.taken < b.taken; });
    return *scans;
}

bool write(const QString& pendingPath, const QList<PendingScan>& scans) {
    if (scans.isEmpty()) return !QFile::exists(pendingPath) || QFile::remove(pendingPath);
    return TextFile::writeBytes(pendingPath, pendingBytes(scans));
}

int storeWaiting(HistoryStore& history, QList<PendingScan>& scans) {
    int stored = 0;
    while (!scans.isEmpty() && history.store(scans.first().taken, scans.first().rows, scans.first().kept)) {
        scans.removeFirst();
        ++stored;
    }
    return stored;
}

QByteArray pendingBytes(const QList<PendingScan>& scans) {
    QJsonArray list;
    for (const PendingScan& scan : scans) {
        QJsonArray rows;
        for (const HistoryStore::Row& row : scan.rows) {
            QJsonArray cells;
            for (QString HistoryStore::Row::*field : kFields) cells.append(row.*field);
            rows.append(cells);
        }
        list.append(QJsonObject{{QStringLiteral("taken"), HistoryStore::stamp(scan.taken)},
                                {QStringLiteral("kept"), scan.kept},
                                {QStringLiteral("rows"), rows}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("pending"), list}}).toJson(QJsonDocument::Compact);
}

std::optional<QList<PendingScan>> pendingFromBytes(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject() || !doc.object().value(QStringLiteral("pending")).isArray())
        return std::nullopt;
    QList<PendingScan> scans;
    for (const QJsonValue& value : doc.object().value(QStringLiteral("pending")).toArray()) {
        const QJsonObject o = value.toObject();
        PendingScan scan;
        scan.taken = HistoryStore::fromStamp(o.value(QStringLiteral("taken")).toString());
        if (!scan.taken.isValid() || !o.value(QStringLiteral("rows")).isArray()) return std::nullopt;
        scan.kept = o.value(QStringLiteral("kept")).toBool();
        for (const QJsonValue& r : o.value(QStringLiteral("rows")).toArray()) {
            const QJsonArray cells = r.toArray();
            HistoryStore::Row row;
            for (int i = 0; i < int(std::size(kFields)); ++i) row.*kFields[i] = cells.at(i).toString();
            scan.rows << row;
        }
        scans << scan;
    }
    return scans;
}

}  // namespace pendingscans
