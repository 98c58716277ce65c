#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class UiServices;

// One sale's mail, shown whole and editable before it leaves: to the mail program (メーラー起動)
// or to the clipboard (コピー). What leaves is what the seller sees. In a run of several sales,
// スキップ goes to the next one and 中止 ends the run.
class SaleMailDialog : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { Handed, Copied, Skipped, Stopped };

    SaleMailDialog(UiServices& ui, QWidget* parent = nullptr);

    // `place`: "2 / 3" in a run, empty for one mail.
    void setMail(const QString& to, const QString& subject, const QString& body, const QString& place);
    QString to() const;
    QString subject() const;
    QString body() const;
    Outcome outcome() const { return m_outcome; }

private:
    void handOver();
    void copy();

    UiServices& m_ui;
    QLabel* m_place = nullptr;
    QLineEdit* m_to = nullptr;
    QLineEdit* m_subject = nullptr;
    QPlainTextEdit* m_body = nullptr;
    Outcome m_outcome = Outcome::Stopped;
};
