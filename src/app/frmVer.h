#pragma once

#include <QDialog>

// The version window: a click anywhere closes it.
class frmVer : public QDialog {
    Q_OBJECT
public:
    explicit frmVer(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
