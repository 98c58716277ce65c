#pragma once

#include <QDialog>

class QLineEdit;
class UiServices;

// A link element, put on the clipboard for the seller to paste.
class frmLINK : public QDialog {
    Q_OBJECT
public:
    explicit frmLINK(UiServices& ui, QWidget* parent = nullptr);
    void Command2_Click();

private:
    UiServices& m_ui;
    QLineEdit* m_imText1 = nullptr;
    QLineEdit* m_imText2 = nullptr;
};
