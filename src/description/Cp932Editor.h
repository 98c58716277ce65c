#pragma once

#include <QWidget>

class QPlainTextEdit;
class UiServices;

// A small editor for the program's list files. It reads and writes CP932
// with CR LF, so a file edited here keeps the encoding the program reads.
class Cp932Editor : public QWidget {
    Q_OBJECT
public:
    Cp932Editor(const QString& path, UiServices& ui, QWidget* parent = nullptr);

    bool save();
    QPlainTextEdit* editor() const { return m_edit; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString m_path;
    UiServices& m_ui;
    QPlainTextEdit* m_edit = nullptr;
};
