#include "widgets/CounterLabel.h"

#include <QApplication>
#include <QLabel>

namespace CounterLabel {

void prepare(QLabel* label) {
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(48);
    label->setAutoFillBackground(true);
    label->setFrameShape(QFrame::StyledPanel);
}

void show(QLabel* label, int bytes, bool overLimit) {
    label->setText(QString::number(bytes));
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, overLimit ? QColor(255, 0, 0) : QApplication::palette(label).color(QPalette::Button));
    pal.setColor(QPalette::WindowText, overLimit ? QColor(Qt::white) : QColor(Qt::black));
    label->setPalette(pal);
}

}  // namespace CounterLabel
