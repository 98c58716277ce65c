#pragma once

#include <QWidget>

// The "ｱｸｾｽ解析(&5)" tab: the scan of the seller's open listings.
class MyAuctionPane : public QWidget {
    Q_OBJECT
public:
    explicit MyAuctionPane(QWidget* parent = nullptr);
};
