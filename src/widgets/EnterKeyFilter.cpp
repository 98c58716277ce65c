#include "widgets/EnterKeyFilter.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QWidget>

#include "core/mduInterFace.h"

namespace {
bool isMemberOf(const QString& objectName, const QString& name) {
    if (objectName == name) return true;
    if (!objectName.startsWith(name + QLatin1Char('_'))) return false;
    bool ok = false;
    objectName.mid(name.size() + 1).toInt(&ok);
    return ok;
}
}  // namespace

EnterKeyFilter::EnterKeyFilter(Mode mode, QObject* parent) : QObject(parent), m_mode(mode) {}

void EnterKeyFilter::install(QWidget* root, const QStringList& names, Mode mode) {
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    for (QWidget* w : children)
        for (const QString& name : names)
            if (isMemberOf(w->objectName(), name)) installOn(w, mode);
}

void EnterKeyFilter::installOn(QWidget* widget, Mode mode) {
    auto* filter = new EnterKeyFilter(mode, widget);
    widget->installEventFilter(filter);
    QLineEdit* edit = qobject_cast<QLineEdit*>(widget);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        // An editable combo box hands its keys to its line edit.
        if (combo->lineEdit()) {
            combo->lineEdit()->installEventFilter(filter);
            edit = combo->lineEdit();
        }
    }
    // Keys are not the only way in: a pasted text must obey the digit rule too.
    if (edit && mode == Mode::EnterAndDigits)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

void EnterKeyFilter::focusNext(QWidget* from) {
    QWidget* start = from;
    // The line edit inside a combo box is not in the window's tab chain on its own.
    if (auto* combo = qobject_cast<QComboBox*>(from->parentWidget()); combo && combo->lineEdit() == from) start = combo;
    QWidget* next = start->nextInFocusChain();
    while (next && next != start) {
        const bool takesTab = (next->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
        if (takesTab && next->isVisibleTo(start->window()) && next->isEnabled() && next->isVisible() &&
            !start->isAncestorOf(next))
            break;
        next = next->nextInFocusChain();
    }
    if (next && next != start) next->setFocus(Qt::TabFocusReason);
}

bool EnterKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (auto* w = qobject_cast<QWidget*>(watched)) focusNext(w);
        return true;
    }
    if (m_mode != Mode::EnterAndDigits) return false;
    const QString text = key->text();
    // Only typed characters are filtered: Tab, Delete, Escape and the
    // editing shortcuts carry control characters and keep working.
    if (text.isEmpty() || text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7F) return false;
    int code = text.at(0).unicode();
    mduInterFace::Key_Filter(code, mduInterFace::kDigits);
    return code == 0;
}
