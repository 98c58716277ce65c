#include <QtTest>

#include <QFile>

#include "RateTables.h"
#include "core/Cp932.h"
#include "core/Prefectures.h"
#include "core/Values.h"
#include "shipping/mHASSOU.h"

namespace {
QByteArray shipped(const QString& file) {
    QFile f(qEnvironmentVariable("SORABAKO_SOURCE_DIR") + QStringLiteral("/folder/MAST/") + file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestRateFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shippedFilesAreWhatTheTableMakes() {
        // A price changed in the table and not regenerated (make_rates folder/MAST) fails here.
        for (const RateTables::Service& s : RateTables::services())
            QCOMPARE(shipped(s.file), cp932::encode(RateTables::fileLines(s).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    }

    void everyOriginHasFourteenRegionsAndEveryPrefectureOnce() {
        for (const RateTables::Service& s : RateTables::services()) {
            const QString text = cp932::decode(shipped(s.file));
            for (const QString& origin : kShippingPrefectures) {
                const mHASSOU::RateBlock block = mHASSOU::originBlock(text, origin);
                QVERIFY2(!block.isEmpty(), qPrintable(s.file + origin));
                QStringList listed;
                int sizeLines = 0;
                for (const QStringList& row : block) {
                    QCOMPARE(row.size(), 15);
                    if (row.first() == QStringLiteral("都道府県")) {
                        for (const QString& name : row.mid(1))
                            if (!name.isEmpty()) listed << name;
                    } else {
                        ++sizeLines;
                    }
                }
                QCOMPARE(sizeLines, s.classes.size());
                listed.sort();
                QStringList all = kShippingPrefectures;
                all.sort();
                QCOMPARE(listed, all);
            }
        }
        QCOMPARE(RateTables::services()[0].classes.first(), QStringLiteral("60サイズ"));
        QCOMPARE(RateTables::services()[0].classes.last(), QStringLiteral("160サイズ"));
        QVERIFY(values::leadingNumber(RateTables::services()[2].classes.last()) >= 30000);
    }

    void pricesArePlausible() {
        // Farther never costs less, larger never costs less, the own region is the cheapest.
        const auto& regions = RateTables::regions();
        QCOMPARE(regions.size(), 14);
        for (const RateTables::Service& s : RateTables::services())
            for (int from = 0; from < regions.size(); ++from)
                for (int k = 0; k < s.classes.size(); ++k)
                    for (int a = 0; a < regions.size(); ++a) {
                        const int p = RateTables::price(s, k, from, a);
                        if (a != from) QVERIFY(p > RateTables::price(s, k, from, from));
                        if (k > 0) QVERIFY(p > RateTables::price(s, k - 1, from, a));
                        for (int b = 0; b < regions.size(); ++b)
                            if (std::abs(regions[a].position - regions[from].position) >
                                std::abs(regions[b].position - regions[from].position))
                                QVERIFY(p >= RateTables::price(s, k, from, b));
                    }
    }

    void aShippedFileAnswersALookup() {
        const QString text = cp932::decode(shipped(QStringLiteral("YUPACK.csv")));
        const mHASSOU::ParcelFee fee = mHASSOU::Souryou_Parcel(
            QStringLiteral("東京都"), QStringLiteral("大阪府"), [&] { return std::optional<QString>(text); }, 60, false,
            QStringLiteral("ゆうパック"));
        QCOMPARE(fee.note, QStringLiteral("60サイズ"));
        QVERIFY(fee.price.endsWith(QStringLiteral(" 円")));
        QVERIFY(!fee.html.contains(QStringLiteral("[KEN")));
        QVERIFY(!fee.html.contains(QStringLiteral("[NDN")));
    }
};

QTEST_GUILESS_MAIN(TestRateFiles)
#include "tst_ratefiles.moc"
