#include "description/ClearableCombo.h"

#include <QComboBox>
#include <QKeyEvent>

namespace ClearableCombo {
namespace {
class Filter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
                static_cast<QComboBox*>(watched)->setCurrentIndex(-1);
                return true;
            }
        }
        return false;
    }
};
}  // namespace

void install(QComboBox* combo) { combo->installEventFilter(new Filter(combo)); }

}  // namespace ClearableCombo
