#include "widgets/Grid.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "core/Values.h"

namespace {
// The tick text lives in its own role: the check state alone cannot tell "0" from never set.
constexpr int kTickTextRole = Qt::UserRole + 1;
}  // namespace

// List cells edit through a combo box of the column's entries; tick cells
// toggle through the grid itself so that the before-edit rule can refuse.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(Grid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (m_grid->columnKind(index.column()) != Grid::Kind::List) return QStyledItemDelegate::createEditor(parent, option, index);
        auto* combo = new QComboBox(parent);
        combo->addItems(m_grid->columnList(index.column()));
        return combo;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const QString current = index.data(Qt::EditRole).toString();
            int i = combo->findText(current);
            if (i < 0 && !current.isEmpty()) {  // a value from outside the list is still offered as it is
                combo->insertItem(0, current);
                i = 0;
            }
            combo->setCurrentIndex(qMax(0, i));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, combo->currentText().trimmed().isEmpty() ? QString() : combo->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option, const QModelIndex& index) override {
        if (m_grid->columnKind(index.column()) == Grid::Kind::Tick) {
            const bool click = event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            const bool key = event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
            if (click || key) {
                m_grid->toggleTick(index.row(), index.column());
                return true;
            }
            // The press must reach the view (it moves the cell cursor); the rest is
            // swallowed so that nothing toggles the box behind the before-edit rule.
            return event->type() == QEvent::MouseButtonDblClick || event->type() == QEvent::KeyPress;
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

private:
    Grid* m_grid;
};

Grid::Grid(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new GridDelegate(this));
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int, int) { Q_EMIT DblClick(); });
}

void Grid::setCols(int cols) {
    setColumnCount(cols);
    while (m_kinds.size() < cols) {
        m_kinds.append(Kind::Text);
        m_lists.append(QStringList());
    }
    for (int c = 0; c < cols; ++c)
        if (!horizontalHeaderItem(c)) setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
}

void Grid::setRows(int rows) {
    m_headerShown = rows > 0;
    horizontalHeader()->setVisible(m_headerShown);
    if (!m_headerShown)
        for (int c = 0; c < columnCount(); ++c)
            if (horizontalHeaderItem(c)) horizontalHeaderItem(c)->setText(QString());
    const int before = rowCount();
    setRowCount(qMax(0, rows - 1));
    for (int r = before; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) ensureItem(r, c);
}

int Grid::rows() const { return m_headerShown ? rowCount() + 1 : 0; }

void Grid::setColumnKind(int col, Kind kind, const QString& list) {
    if (col < 0 || col >= columnCount()) return;
    m_kinds[col] = kind;
    m_lists[col] = kind == Kind::List ? list.split(QLatin1Char('|')) : QStringList();
    for (int r = 0; r < rowCount(); ++r) {
        QTableWidgetItem* item = ensureItem(r, col);
        if (kind == Kind::Tick) applyTick(item, item->data(kTickTextRole).toString());
    }
}

Grid::Kind Grid::columnKind(int col) const { return col >= 0 && col < m_kinds.size() ? m_kinds[col] : Kind::Text; }

QStringList Grid::columnList(int col) const { return col >= 0 && col < m_lists.size() ? m_lists[col] : QStringList(); }

void Grid::setColWidthTwips(int col, int twips) { setColumnWidth(col, twips / kTwipsPerPixel); }

void Grid::widenToContents(int col) {
    const int design = columnWidth(col);
    resizeColumnToContents(col);
    if (columnWidth(col) < design) setColumnWidth(col, design);
}

void Grid::setColHidden(int col, bool hidden) { setColumnHidden(col, hidden); }

QTableWidgetItem* Grid::itemAt(int row, int col) const {
    if (row < 1 || col < 0 || col >= columnCount() || row - 1 >= rowCount()) return nullptr;
    return item(row - 1, col);
}

QTableWidgetItem* Grid::ensureItem(int tableRow, int col) {
    QTableWidgetItem* it = item(tableRow, col);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(tableRow, col, it);
        if (columnKind(col) == Kind::Tick) applyTick(it, QString());
    }
    return it;
}

void Grid::applyTick(QTableWidgetItem* item, const QString& text) {
    // Whatever was written ("1" from a hand-edited settings file, say), the
    // cell reads back as what it shows, so a pane counting "-1" rows counts
    // exactly the ticked ones. Empty stays empty: a cell never set.
    const QString normal = text.isEmpty() ? QString() : values::leadingNumber(text) != 0 ? QStringLiteral("-1") : QStringLiteral("0");
    item->setData(kTickTextRole, normal);
    item->setData(Qt::DisplayRole, QVariant());
    item->setFlags((item->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
    item->setCheckState(normal == QLatin1String("-1") ? Qt::Checked : Qt::Unchecked);
}

QString Grid::text(int row, int col) const {
    if (row == 0) {
        const QTableWidgetItem* h = col >= 0 && col < columnCount() ? horizontalHeaderItem(col) : nullptr;
        return h ? h->text() : QString();
    }
    const QTableWidgetItem* it = itemAt(row, col);
    if (!it) return QString();
    if (columnKind(col) == Kind::Tick) return it->data(kTickTextRole).toString();
    return it->text();
}

void Grid::setText(int row, int col, const QString& text) {
    if (row == 0) {
        if (col < 0 || col >= columnCount()) return;
        if (!horizontalHeaderItem(col)) setHorizontalHeaderItem(col, new QTableWidgetItem);
        horizontalHeaderItem(col)->setText(text);
        return;
    }
    if (!itemAt(row, col)) return;
    QTableWidgetItem* it = ensureItem(row - 1, col);
    if (columnKind(col) == Kind::Tick)
        applyTick(it, text);
    else
        it->setText(text);
}

bool Grid::isTicked(int row, int col) const {
    const QTableWidgetItem* it = itemAt(row, col);
    return it && it->checkState() == Qt::Checked;
}

void Grid::addRow(const QString& tabSeparated) { addRow(tabSeparated.split(QLatin1Char('\t'))); }

void Grid::addRow(const QStringList& cells) {
    if (!m_headerShown) setRows(1);
    const int r = rowCount();
    setRowCount(r + 1);
    for (int c = 0; c < columnCount(); ++c) {
        ensureItem(r, c);
        setText(r + 1, c, c < cells.size() ? cells.at(c) : QString());
    }
}

int Grid::row() const { return currentRow() >= 0 ? currentRow() + 1 : 0; }
int Grid::col() const { return qMax(0, currentColumn()); }

void Grid::setRow(int row) {
    if (row < 1 || row - 1 >= rowCount()) return;
    setCurrentCell(row - 1, qMax(0, currentColumn()));
    scrollToItem(item(row - 1, qMax(0, currentColumn())));
}

void Grid::setCol(int col) {
    if (col < 0 || col >= columnCount()) return;
    setCurrentCell(qMax(0, currentRow()), col);
}

void Grid::setCellBackground(int row, int col, const QColor& color) {
    if (!itemAt(row, col)) return;
    ensureItem(row - 1, col)->setBackground(color);
}

QColor Grid::cellBackground(int row, int col) const {
    const QTableWidgetItem* it = itemAt(row, col);
    return it ? it->background().color() : QColor();
}

bool Grid::askBeforeEdit(int tableRow, int col) {
    bool cancel = false;
    Q_EMIT BeforeEdit(tableRow + 1, col, cancel);
    return !cancel;
}

void Grid::toggleTick(int tableRow, int col) {
    if (!askBeforeEdit(tableRow, col)) return;
    QTableWidgetItem* it = ensureItem(tableRow, col);
    applyTick(it, it->checkState() == Qt::Checked ? QStringLiteral("0") : QStringLiteral("-1"));
}

bool Grid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!index.isValid() || columnKind(index.column()) == Kind::Tick) return QTableWidget::edit(index, trigger, event);
    if (trigger == QAbstractItemView::NoEditTriggers || trigger == QAbstractItemView::CurrentChanged ||
        trigger == QAbstractItemView::SelectedClicked)
        return QTableWidget::edit(index, trigger, event);
    if (!(editTriggers() & trigger) && trigger != QAbstractItemView::AllEditTriggers) return false;
    if (!(index.flags() & Qt::ItemIsEditable)) return false;
    if (!askBeforeEdit(index.row(), index.column())) return false;
    return QTableWidget::edit(index, trigger, event);
}

void Grid::keyPressEvent(QKeyEvent* event) {
    int code = event->text().isEmpty() ? 0 : event->text().at(0).unicode();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) code = 13;
    if (code != 0) {
        const int before = code;
        Q_EMIT KeyPress(code);
        if (code == 0) {
            event->accept();
            return;
        }
        if (code != before && code > 0 && code <= 0xFFFF) {  // the handler typed another character
            QKeyEvent replaced(event->type(), 0, event->modifiers(), QString(QChar(code)));
            QTableWidget::keyPressEvent(&replaced);
            return;
        }
    }
    QTableWidget::keyPressEvent(event);
}

void Grid::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    if (indexAt(event->position().toPoint()).isValid()) Q_EMIT Click();
}
