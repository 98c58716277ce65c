#pragma once

#include <QWidget>

class Browser;
class QPushButton;
class QTabWidget;

// The "出品手続(&4)" tab: the listing options mirrored into the site's
// listing form, which WB shows beside them.
class SiteFormPane : public QWidget {
    Q_OBJECT
public:
    explicit SiteFormPane(QWidget* parent = nullptr);

    Browser* WB() const { return m_wb; }
    QPushButton* Command7() const { return m_command7; }
    QTabWidget* tabSYUPPINN() const { return m_tabs; }

private:
    Browser* m_wb = nullptr;
    QPushButton* m_command7 = nullptr;
    QTabWidget* m_tabs = nullptr;
};
