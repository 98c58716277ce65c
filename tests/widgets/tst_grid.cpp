#include <QtTest>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>

#include "widgets/Grid.h"
#include "support/TestMain.h"

namespace {
// The bank grid's shape: a tick column, text columns and a list column.
void shapeBankGrid(Grid& g) {
    g.setCols(4);
    g.setRows(6);
    g.setColumnKind(0, Grid::Kind::Tick);
    g.setColumnKind(2, Grid::Kind::List, QStringLiteral(" |普通|当座|貯蓄"));
    g.setText(0, 1, QStringLiteral("銀行名"));
    g.setText(0, 2, QStringLiteral("種別"));
    g.setColWidthTwips(1, 1695);
}

QPoint cellCenter(Grid& g, int row, int col) { return g.visualItemRect(g.item(row - 1, col)).center(); }
}  // namespace

class TestGrid : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void headerIsRowZeroAndDataStartsAtOne() {
        Grid g;
        shapeBankGrid(g);
        QCOMPARE(g.rows(), 6);
        QCOMPARE(g.rowCount(), 5);
        QCOMPARE(g.text(0, 1), QStringLiteral("銀行名"));
        QCOMPARE(g.horizontalHeaderItem(1)->text(), QStringLiteral("銀行名"));
        g.setText(1, 1, QStringLiteral("みずほ"));
        g.setText(5, 3, QStringLiteral("last"));
        QCOMPARE(g.item(0, 1)->text(), QStringLiteral("みずほ"));
        QCOMPARE(g.text(5, 3), QStringLiteral("last"));
        // Outside the grid: nothing happens, nothing is read.
        g.setText(6, 1, QStringLiteral("x"));
        g.setText(1, 9, QStringLiteral("x"));
        QCOMPARE(g.text(6, 1), QString());
        QCOMPARE(g.columnWidth(1), 113);
    }

    void tickCellsKeepTheirText() {
        Grid g;
        shapeBankGrid(g);
        QCOMPARE(g.text(1, 0), QString());  // never set
        QVERIFY(!g.isTicked(1, 0));
        g.setText(1, 0, QStringLiteral("-1"));
        QCOMPARE(g.text(1, 0), QStringLiteral("-1"));
        QVERIFY(g.isTicked(1, 0));
        QCOMPARE(g.item(0, 0)->checkState(), Qt::Checked);
        g.setText(1, 0, QStringLiteral("0"));
        QCOMPARE(g.text(1, 0), QStringLiteral("0"));
        QVERIFY(!g.isTicked(1, 0));
        QCOMPARE(g.item(0, 0)->text(), QString());  // a tick cell shows its box, not its text
    }

    void tickCellsReadBackWhatTheyShow() {
        // A hand-edited settings file may hold "1" or "yes": the cell reads as its box shows.
        Grid g;
        shapeBankGrid(g);
        const QList<std::pair<QString, QString>> cases{
            {QStringLiteral("1"), QStringLiteral("-1")},  {QStringLiteral("-1"), QStringLiteral("-1")},
            {QStringLiteral("2"), QStringLiteral("-1")},  {QStringLiteral("0"), QStringLiteral("0")},
            {QStringLiteral("yes"), QStringLiteral("0")}, {QString(), QString()}};
        for (const auto& [written, read] : cases) {
            g.setText(2, 0, written);
            QCOMPARE(g.text(2, 0), read);
            QCOMPARE(g.isTicked(2, 0), read == QLatin1String("-1"));
        }
        g.addRow(QStringLiteral("1\tみずほ"));
        QCOMPARE(g.text(g.rows() - 1, 0), QStringLiteral("-1"));
    }

    void listCellsOfferTheirEntries() {
        Grid g;
        shapeBankGrid(g);
        QCOMPARE(g.columnList(2),
                 (QStringList{QStringLiteral(" "), QStringLiteral("普通"), QStringLiteral("当座"), QStringLiteral("貯蓄")}));
        g.setText(1, 2, QStringLiteral("外貨"));  // outside the list, shown as it is
        QCOMPARE(g.text(1, 2), QStringLiteral("外貨"));
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.setCurrentCell(0, 2);
        g.editItem(g.item(0, 2));
        auto* combo = g.findChild<QComboBox*>();
        QVERIFY(combo);
        QCOMPARE(combo->currentText(), QStringLiteral("外貨"));
        combo->setCurrentIndex(combo->findText(QStringLiteral("当座")));
        QTest::keyClick(combo, Qt::Key_Return);
        QTRY_COMPARE(g.text(1, 2), QStringLiteral("当座"));
    }

    void addRowAndRowCount() {
        Grid g;
        g.setCols(3);
        g.setRows(1);
        g.setColumnKind(0, Grid::Kind::Tick);
        g.addRow(QStringLiteral("-1\tb123\t1,500 円"));
        g.addRow(QStringLiteral("0\tc456"));
        QCOMPARE(g.rows(), 3);
        QVERIFY(g.isTicked(1, 0));
        QCOMPARE(g.text(1, 2), QStringLiteral("1,500 円"));
        QCOMPARE(g.text(2, 1), QStringLiteral("c456"));
        QCOMPARE(g.text(2, 2), QString());
        g.setText(0, 1, QStringLiteral("ID"));
        g.setRows(0);
        QCOMPARE(g.rows(), 0);
        QCOMPARE(g.text(1, 1), QString());
        QCOMPARE(g.text(0, 1), QString());
        g.setRows(3);
        QCOMPARE(g.rows(), 3);
        QCOMPARE(g.text(1, 1), QString());
        g.setText(2, 1, QStringLiteral("again"));
        QCOMPARE(g.text(2, 1), QStringLiteral("again"));
        QVERIFY(!g.isTicked(1, 0));
    }

    void hiddenColumnsAndCurrentCell() {
        Grid g;
        g.setCols(3);
        g.setRows(50);
        g.setColHidden(2, true);
        QVERIFY(g.isColumnHidden(2));
        g.setText(49, 2, QStringLiteral("secret"));
        QCOMPARE(g.text(49, 2), QStringLiteral("secret"));
        QCOMPARE(g.row(), 0);
        g.setRow(49);
        QCOMPARE(g.row(), 49);
        g.setCol(1);
        QCOMPARE(g.col(), 1);
        g.setCellBackground(3, 1, QColor(255, 0, 0));
        QCOMPARE(g.cellBackground(3, 1), QColor(255, 0, 0));
    }

    void clicksAndTheBeforeEditRule() {
        Grid g;
        shapeBankGrid(g);
        g.resize(500, 300);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QSignalSpy clicks(&g, &Grid::Click);
        QSignalSpy doubles(&g, &Grid::DblClick);
        bool refuse = true;
        QList<QPair<int, int>> asked;
        connect(&g, &Grid::BeforeEdit, &g, [&](int row, int col, bool& cancel) {
            asked.append({row, col});
            cancel = refuse;
        });
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 2, 0));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(g.row(), 2);
        QCOMPARE(asked, (QList<QPair<int, int>>{{2, 0}}));
        QCOMPARE(g.text(2, 0), QString());  // refused
        refuse = false;
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 2, 0));
        QCOMPARE(g.text(2, 0), QStringLiteral("-1"));
        QTest::keyClick(g.viewport(), Qt::Key_Space);
        QCOMPARE(g.text(2, 0), QStringLiteral("0"));

        refuse = true;
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 3, 1));
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 3, 1));
        QCOMPARE(doubles.count(), 1);
        QVERIFY(asked.contains({3, 1}));
        QVERIFY(!g.findChild<QLineEdit*>());  // the refused edit opened no editor
    }

    void keyPressCanSwallow() {
        Grid g;
        shapeBankGrid(g);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.setCurrentCell(0, 1);
        connect(&g, &Grid::KeyPress, &g, [](int& key) {
            if (key == 'x') key = 0;
        });
        QTest::keyClick(&g, Qt::Key_X);
        QVERIFY(!g.findChild<QLineEdit*>() || !g.findChild<QLineEdit*>()->isVisible());
        QTest::keyClick(&g, Qt::Key_Y);
        QTRY_VERIFY(g.findChild<QLineEdit*>() && g.findChild<QLineEdit*>()->isVisible());
    }
};

SORABAKO_GUI_TEST_MAIN(TestGrid)
#include "tst_grid.moc"
