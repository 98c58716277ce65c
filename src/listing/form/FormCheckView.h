#pragma once

#include <QGroupBox>

#include "listing/form/FormCheck.h"

class QLabel;
class QListWidget;

// "出品フォームへの入力": whether every field reached the site's listing form, and the
// ones that did not, in red, with where the page was kept.
class FormCheckView : public QGroupBox {
    Q_OBJECT
public:
    explicit FormCheckView(QWidget* parent = nullptr);
    void setCheck(const listing::FormCheck& check, const QString& evidence);

private:
    QLabel* m_text = nullptr;
    QListWidget* m_list = nullptr;
};
