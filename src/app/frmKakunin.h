#pragma once

#include <QDialog>

class QCheckBox;
class UiServices;

// The notice before the final confirmation on the site. However it is
// closed, its check box is remembered in the settings (確認画面/同意).
class frmKakunin : public QDialog {
    Q_OBJECT
public:
    explicit frmKakunin(UiServices& ui, QWidget* parent = nullptr);
    void done(int result) override;

private:
    UiServices& m_ui;
    QCheckBox* m_check1 = nullptr;
    bool m_written = false;
};
