#include "app/SplashBar.h"

#include <QPainter>

SplashBar::SplashBar(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void SplashBar::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = qMax(minimum, maximum);
    setValue(m_value);
}

int SplashBar::filledWidth() const {
    const int span = m_maximum - m_minimum;
    return span > 0 ? static_cast<int>(static_cast<qint64>(width()) * (m_value - m_minimum) / span) : 0;
}

void SplashBar::setValue(int value) {
    const int before = filledWidth();
    m_value = qBound(m_minimum, value, m_maximum);
    if (filledWidth() != before) update();
}

void SplashBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int filled = filledWidth();
    p.fillRect(0, 0, filled, height(), QColor(0x2f, 0x7f, 0xd0));
    p.fillRect(filled, 0, width() - filled, height(), QColor(0xe6, 0xee, 0xf6));
}
