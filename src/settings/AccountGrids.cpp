#include "settings/AccountGrids.h"

#include <QHeaderView>

#include "widgets/Grid.h"
#include "settings/Accounts.h"

namespace AccountGrids {

Shape dialogBank() { return {{405, 1695, 1005, 810, 1215, 1935}, QStringLiteral(" |普通|当座|貯蓄")}; }
Shape dialogPostal() { return {{405, 1695, 1080, 1905, 1995}, QStringLiteral(" |ぱるる|一般振替口座")}; }
Shape mainBank() { return {{315, 1455, 975, 630, 840, 1860}, QStringLiteral("普通|当座|貯蓄")}; }
Shape mainPostal() { return {{330, 1455, 825, 1575, 1860}, QStringLiteral("ぱるる|一般振替口座")}; }

namespace {
void shape(Grid* grid, const Shape& s, const QStringList& headers, int rows, int listColumn) {
    grid->setCols(static_cast<int>(headers.size()));
    grid->setRows(rows + 1);
    grid->setColumnKind(0, Grid::Kind::Tick);
    grid->setColumnKind(listColumn, Grid::Kind::List, s.kindList);
    for (int c = 0; c < headers.size(); ++c) {
        grid->setText(0, c, headers[c]);
        grid->setColWidthTwips(c, s.widthsTwips.value(c));
    }
    // Small fixed tables: shown whole, never scrolled.
    int width = 2 * grid->frameWidth() + 2;
    for (int c = 0; c < headers.size(); ++c) width += grid->columnWidth(c);
    grid->setMinimumWidth(width);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setFixedHeight(grid->horizontalHeader()->sizeHint().height() + rows * grid->verticalHeader()->defaultSectionSize() +
                         2 * grid->frameWidth() + 2);
}
}  // namespace

void shapeBank(Grid* grid, const Shape& s) {
    shape(grid, s,
          {QString(), QStringLiteral("銀行名"), QStringLiteral("支店名"), QStringLiteral("種別"), QStringLiteral("口座番号"),
           QStringLiteral("口座名義(カタカナ)")},
          accounts::kBankRows, 3);
}

void shapePostal(Grid* grid, const Shape& s) {
    shape(grid, s,
          {QString(), QStringLiteral("口座種別"), QStringLiteral("記 号"), QStringLiteral("番 号"), QStringLiteral("口座名義(カタカナ)")},
          accounts::kPostalRows, 1);
}

void fill(Grid* grid, const QList<QStringList>& rows) {
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) grid->setText(r + 1, c, rows[r][c]);
}

QList<QStringList> read(const Grid* grid) {
    QList<QStringList> rows;
    for (int r = 1; r < grid->rows(); ++r) {
        QStringList row;
        for (int c = 0; c < grid->cols(); ++c) row << grid->text(r, c);
        rows << row;
    }
    return rows;
}

}  // namespace AccountGrids
