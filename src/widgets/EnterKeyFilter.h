#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

// The keyboard rule of the single-line fields: Enter moves the focus to the
// next control in tab order and is swallowed. Number fields additionally
// accept only the digits 0 to 9 and backspace.
class EnterKeyFilter : public QObject {
    Q_OBJECT
public:
    enum class Mode { Enter, EnterAndDigits };

    // Installs the rule on every child of `root` whose object name is one of
    // `names`, or a member of that control array ("txtITEM" covers txtITEM_0…).
    static void install(QWidget* root, const QStringList& names, Mode mode = Mode::Enter);
    static void installOn(QWidget* widget, Mode mode = Mode::Enter);

    // Moves the focus as Tab would, also out of widgets that keep Tab for themselves.
    static void focusNext(QWidget* from);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EnterKeyFilter(Mode mode, QObject* parent);
    Mode m_mode;
};
