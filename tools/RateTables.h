#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The parcel rate files that ship in folder/MAST, made from one small table
// of regions and prices (RateTables.cpp): a price change is one edit there,
// then `make_rates folder/MAST`.
namespace RateTables {

struct Region {
    QString name;
    int position;  // along the country, north to south: the distance between regions
    QStringList prefectures;
};
const QList<Region>& regions();  // the 14 region columns, in order

struct Service {
    QString file;            // "YUPACK.csv"
    QStringList classes;     // size or weight classes as the file writes them
    QList<int> base;         // within the origin's own region, per class
    QList<int> otherRegion;  // added once the parcel leaves the origin's region
    QList<int> perStep;      // added per step of distance
};
const QList<Service>& services();

// The file's lines (without line ends): every origin's block, prefectures in JIS order.
QStringList fileLines(const Service& service);

// The price of one class between two regions (indexes into regions()).
int price(const Service& service, int classIndex, int fromRegion, int toRegion);

}  // namespace RateTables
