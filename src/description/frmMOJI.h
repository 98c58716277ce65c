#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class UiServices;

// Decorated text: a FONT element with colour, size and style tags, put on
// the clipboard for the seller to paste.
class frmMOJI : public QDialog {
    Q_OBJECT
public:
    explicit frmMOJI(UiServices& ui, QWidget* parent = nullptr);

    void Command1_Click();  // colour
    void Command2_Click();  // build and copy

    unsigned int swatch() const { return m_rgb; }

private:
    void paintSwatch();

    UiServices& m_ui;
    QPlainTextEdit* m_imText1 = nullptr;
    QCheckBox* m_check[3] = {};
    QLabel* m_label2 = nullptr;
    QComboBox* m_imNumber1 = nullptr;
    unsigned int m_rgb = 0;
};
