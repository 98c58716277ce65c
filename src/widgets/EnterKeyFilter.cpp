#include "widgets/EnterKeyFilter.h"

#include <QApplication>
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

QLineEdit* editOf(QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit;
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->lineEdit();
    return nullptr;
}
}  // namespace

EnterKeyFilter::EnterKeyFilter(QWidget* root, const QStringList& names, Mode mode)
    : QObject(root), m_root(root), m_names(names), m_mode(mode) {}

void EnterKeyFilter::install(QWidget* root, const QStringList& names, Mode mode) {
    auto* filter = new EnterKeyFilter(root, names, mode);
    qApp->installEventFilter(filter);
    // Controls that exist now refuse pasted letters at once; later ones when they first take the focus.
    if (mode == Mode::EnterAndDigits)
        for (QWidget* w : root->findChildren<QWidget*>())
            if (filter->controlOf(w) == w)
                if (QLineEdit* edit = editOf(w)) filter->guardDigits(edit);
}

QWidget* EnterKeyFilter::controlOf(QObject* receiver) const {
    auto* w = qobject_cast<QWidget*>(receiver);
    if (!w || !m_root) return nullptr;
    // An editable combo box hands its keys to its line edit.
    if (auto* combo = qobject_cast<QComboBox*>(w->parentWidget()); combo && combo->lineEdit() == w) w = combo;
    if (w != m_root && !m_root->isAncestorOf(w)) return nullptr;  // stops at window borders
    for (const QString& name : m_names)
        if (isMemberOf(w->objectName(), name)) return w;
    return nullptr;
}

void EnterKeyFilter::guardDigits(QLineEdit* edit) const {
    // Keys are not the only way in: a pasted text must obey the digit rule too.
    if (!edit->validator()) edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

void EnterKeyFilter::focusNext(QWidget* from) {
    QWidget* start = from;
    // The line edit inside a combo box is not in the window's tab chain on its own.
    if (auto* combo = qobject_cast<QComboBox*>(from->parentWidget()); combo && combo->lineEdit() == from) start = combo;
    QWidget* next = start->nextInFocusChain();
    while (next && next != start) {
        const bool takesTab = (next->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
        if (takesTab && next->isVisibleTo(start->window()) && next->isEnabled() && next->isVisible() && !start->isAncestorOf(next)) break;
        next = next->nextInFocusChain();
    }
    if (next && next != start) next->setFocus(Qt::TabFocusReason);
}

bool EnterKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::FocusIn) return false;
    QWidget* control = controlOf(watched);
    if (!control) return false;
    if (type == QEvent::FocusIn) {
        if (m_mode == Mode::EnterAndDigits)
            if (QLineEdit* edit = editOf(control)) guardDigits(edit);
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        focusNext(static_cast<QWidget*>(watched));
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
