#include "app/frmVer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/Artwork.h"

frmVer::frmVer(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmVer"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    auto* layout = new QHBoxLayout(this);
    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(Artwork::product());
    layout->addWidget(picture);
    auto* text = new QVBoxLayout;
    auto* name = new QLabel(QStringLiteral("ソラバコ"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    text->addWidget(name);
    auto* version = new QLabel(QStringLiteral("Version 1.0"));
    version->setObjectName(QStringLiteral("lblVersion"));
    text->addWidget(version);
    text->addStretch(1);
    layout->addLayout(text);
    // Labels must not swallow the click that closes the window.
    for (QLabel* l : findChildren<QLabel*>()) l->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void frmVer::mousePressEvent(QMouseEvent*) { accept(); }
