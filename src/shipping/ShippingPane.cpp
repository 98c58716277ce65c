#include "shipping/ShippingPane.h"

#include <QVBoxLayout>

ShippingPane::ShippingPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ShippingPane"));
    new QVBoxLayout(this);
}
