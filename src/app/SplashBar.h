#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

// The splash window's progress bar. Start-up sets it 1500 times in a row;
// a styled progress bar repaints itself synchronously on each visible step,
// which made the bar the slowest part of start-up. This one only asks for
// an update and paints a plain fill when the event loop gets to it.
class SplashBar : public QWidget {
    Q_OBJECT
public:
    explicit SplashBar(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    void setValue(int value);
    int value() const { return m_value; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int filledWidth() const;

    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
    static constexpr int kFrameMs = 16;
    QElapsedTimer m_painted;
    QTimer m_late;
};
