#pragma once

#include <QList>
#include <QStringList>

class Grid;

// The bank and postal grids, shaped alike in the settings dialog and on the
// mail pane, each with its own widths and lists.
namespace AccountGrids {

struct Shape {
    QList<int> widthsTwips;
    QString kindList;  // the list column's entries ("|"-separated)
};

// Settings dialog: lists with a leading blank entry.
Shape dialogBank();
Shape dialogPostal();
// Main window.
Shape mainBank();
Shape mainPostal();

void shapeBank(Grid* grid, const Shape& shape);
void shapePostal(Grid* grid, const Shape& shape);

// Rows of cell texts into the grid (row 1 onward) and back.
void fill(Grid* grid, const QList<QStringList>& rows);
QList<QStringList> read(const Grid* grid);

}  // namespace AccountGrids
