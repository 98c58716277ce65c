#pragma once

#include <QColor>
#include <QStringList>
#include <QTableWidget>

// The program's grid. It keeps the addressing the panes were written for:
// row 0 is the header row (shown as the table's header), data rows count
// from 1. Tick cells read "-1" (ticked), "0" (not ticked) or "" (never set);
// list cells offer a fixed "|"-separated list; widths are given in twips.
class Grid : public QTableWidget {
    Q_OBJECT
public:
    enum class Kind { Text, Tick, List };

    explicit Grid(QWidget* parent = nullptr);

    // Columns and rows, header row included (rows() == 1 is a header alone).
    void setCols(int cols);
    int cols() const { return columnCount(); }
    void setRows(int rows);
    int rows() const;

    void setColumnKind(int col, Kind kind, const QString& list = QString());
    Kind columnKind(int col) const;
    QStringList columnList(int col) const;  // entries of a list column, a leading blank entry included
    void setColWidthTwips(int col, int twips);
    // Widens the column to its widest text where the design width cuts it off (never narrows it).
    void widenToContents(int col);
    void setColHidden(int col, bool hidden);

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);

    // A new row at the end, its cells taken from a tab-separated text.
    void addRow(const QString& tabSeparated);
    // The same, cell by cell: for values that may hold a tab themselves (read from a page or a file).
    void addRow(const QStringList& cells);

    int row() const;  // the cell cursor; 0 when there is none
    int col() const;
    void setRow(int row);  // also brings it into view
    void setCol(int col);

    void setCellBackground(int row, int col, const QColor& color);
    QColor cellBackground(int row, int col) const;

    // Whether the tick cell is shown ticked (any non-zero number).
    bool isTicked(int row, int col) const;

    static constexpr int kTwipsPerPixel = 15;

Q_SIGNALS:
    void Click();
    void DblClick();
    // Emitted before any cell changes by the user; set `cancel` to refuse.
    void BeforeEdit(int row, int col, bool& cancel);
    // Key typed in the grid; set the code to 0 to swallow it.
    void KeyPress(int& keyCode);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    friend class GridDelegate;
    QTableWidgetItem* itemAt(int row, int col) const;
    QTableWidgetItem* ensureItem(int tableRow, int col);
    void applyTick(QTableWidgetItem* item, const QString& text);
    bool askBeforeEdit(int tableRow, int col);
    void toggleTick(int tableRow, int col);

    QList<Kind> m_kinds;
    QList<QStringList> m_lists;
    bool m_headerShown = true;
};
