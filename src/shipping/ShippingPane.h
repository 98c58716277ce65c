#pragma once

#include <QWidget>

// The "送料計算(&2)" tab: shipping fees and the shipping table.
class ShippingPane : public QWidget {
    Q_OBJECT
public:
    explicit ShippingPane(QWidget* parent = nullptr);
};
