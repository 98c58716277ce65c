#include "myauction/MyAuctionPane.h"

#include <QVBoxLayout>

MyAuctionPane::MyAuctionPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MyAuctionPane"));
    new QVBoxLayout(this);
}
