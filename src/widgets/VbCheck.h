#pragma once

#include <QCheckBox>

// A check box's state as the program stores and sends it: 0 not ticked,
// 1 ticked, 2 grayed (Qt numbers the last two the other way round).
namespace VbCheck {

inline int value(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked: return 1;
        case Qt::PartiallyChecked: return 2;
        default: return 0;
    }
}

inline void setValue(QCheckBox* box, int value) {
    if (value == 2) box->setTristate(true);
    box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

}  // namespace VbCheck
