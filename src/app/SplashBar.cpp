#include "app/SplashBar.h"

#include <QPainter>

SplashBar::SplashBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_late.setSingleShot(true);
    connect(&m_late, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

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
    if (filledWidth() == before) return;
    // The screen shows a frame about every 16 ms: a bar set 1500 times in a row is painted once
    // a frame, and the last value always. One that stops in between is painted a frame later.
    if (m_value == m_maximum || !m_painted.isValid() || m_painted.hasExpired(kFrameMs)) {
        update();
        return;
    }
    if (!m_late.isActive()) m_late.start(kFrameMs);
}

void SplashBar::paintEvent(QPaintEvent*) {
    m_painted.start();
    m_late.stop();
    QPainter p(this);
    const int filled = filledWidth();
    p.fillRect(0, 0, filled, height(), QColor(0x2f, 0x7f, 0xd0));
    p.fillRect(filled, 0, width() - filled, height(), QColor(0xe6, 0xee, 0xf6));
}
