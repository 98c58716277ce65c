#pragma once

#include <QDialog>

#include "sales/SalesMoney.h"

// 月別集計: per month, how many sales, the money in and out, and what was left, with a chart of it.
class SalesMonthsWindow : public QDialog {
    Q_OBJECT
public:
    SalesMonthsWindow(const QList<sales::Month>& months, double feePercent, QWidget* parent = nullptr);
};
