#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QLineEdit;
class QWidget;

// The keyboard rule of the single-line fields: Enter moves the focus to the
// next control in tab order and is swallowed. Number fields additionally
// accept only the digits 0 to 9 and backspace.
//
// The rule belongs to a window and is matched by object name when a key
// arrives, so it reaches every control of that window whatever its pane
// created, and whenever.
class EnterKeyFilter : public QObject {
    Q_OBJECT
public:
    enum class Mode { Enter, EnterAndDigits };

    // The rule for every control inside `root`'s window whose object name is
    // one of `names`, or a member of that control array ("txtITEM" covers
    // txtITEM_0…). It lives as long as `root`.
    static void install(QWidget* root, const QStringList& names, Mode mode = Mode::Enter);

    // Moves the focus as Tab would, also out of widgets that keep Tab for themselves.
    static void focusNext(QWidget* from);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EnterKeyFilter(QWidget* root, const QStringList& names, Mode mode);
    // The named control an event's receiver stands for (a combo box for its line edit), or null.
    QWidget* controlOf(QObject* receiver) const;
    void guardDigits(QLineEdit* edit) const;

    QPointer<QWidget> m_root;
    QStringList m_names;
    Mode m_mode;
};
