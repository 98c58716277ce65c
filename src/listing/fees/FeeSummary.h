#pragma once

#include <QGroupBox>

#include "listing/fees/Fees.h"

class QLabel;

// "有料オプションの料金（目安）": the paid options chosen, a row each, and their total.
class FeeSummary : public QGroupBox {
    Q_OBJECT
public:
    explicit FeeSummary(QWidget* parent = nullptr);
    void setEstimate(const listing::FeeEstimate& fees);

private:
    QLabel* m_lines = nullptr;
    QLabel* m_total = nullptr;
};
