#pragma once

#include <QDialog>
#include <QUrl>

class Browser;
class QLabel;

// The preview in a window of the program's own, for a desktop with no
// program set for HTML files (or one that could not be started): the same
// preview file, shown by the program's web engine.
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    void showFile(const QUrl& file);
    Browser* view() const { return m_view; }

private:
    Browser* m_view = nullptr;
    QLabel* m_why = nullptr;
};
