#include "sales/SalesMonthsWindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

SalesMonthsWindow::SalesMonthsWindow(const QList<sales::Month>& months, double feePercent, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmGEKKAN"));
    setWindowTitle(QStringLiteral("月別集計"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("取消を除く取引を、オークションの終了月で集計しています（落札手数料 %1％）。")
                                     .arg(QLocale(QLocale::English).toString(feePercent))));
    const QStringList head{QStringLiteral("月"),           QStringLiteral("件数"),         QStringLiteral("落札額"),
                           QStringLiteral("送料（請求）"), QStringLiteral("送料（実費）"), QStringLiteral("手数料"),
                           QStringLiteral("原価"),         QStringLiteral("利益")};
    auto* table = new QTableWidget(static_cast<int>(months.size()) + 1, static_cast<int>(head.size()));
    table->setObjectName(QStringLiteral("grdGEKKAN"));
    table->setHorizontalHeaderLabels(head);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QLocale numbers(QLocale::English);
    sales::Money total;
    const auto put = [&](int row, const QString& label, const sales::Money& m) {
        const QList<qint64> values{m.count, m.price, m.shippingCharged, m.shippingPaid, m.siteFee, m.itemCost, m.profit()};
        table->setItem(row, 0, new QTableWidgetItem(label));
        for (int c = 0; c < values.size(); ++c) {
            auto* item = new QTableWidgetItem(numbers.toString(values[c]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, c + 1, item);
        }
    };
    auto* profit = new QBarSet(QStringLiteral("利益"));
    auto* price = new QBarSet(QStringLiteral("落札額"));
    QStringList labels;
    for (int i = 0; i < months.size(); ++i) {
        const QString label = months[i].month.toString(QStringLiteral("yyyy/MM"));
        put(i, label, months[i].money);
        total += months[i].money;
        labels << label;
        *price << static_cast<qreal>(months[i].money.price);
        *profit << static_cast<qreal>(months[i].money.profit());
    }
    put(static_cast<int>(months.size()), QStringLiteral("合計"), total);
    table->resizeColumnsToContents();
    table->setCurrentItem(nullptr);
    layout->addWidget(table, 1);

    auto* series = new QBarSeries;
    series->append(price);
    series->append(profit);
    auto* chart = new QChart;
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto* y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(QStringLiteral("円"));
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    y->applyNiceNumbers();
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* view = new QChartView(chart);
    view->setObjectName(QStringLiteral("chtGEKKAN"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(240);
    layout->addWidget(view, 1);
    resize(860, 620);
}
