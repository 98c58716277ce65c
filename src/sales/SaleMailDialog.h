#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QLineEdit;
class QPlainTextEdit;
class UiServices;

// One sale's mail, shown whole and editable before it leaves: to the mail program (メーラー起動)
// or to the clipboard (コピー). What leaves is what the seller sees. In a run of several sales,
// スキップ goes to the next one and 中止 ends the run.
class SaleMailDialog : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { Handed, Copied, Sent, Uncertain, Skipped, Stopped };

    // A mail sent from the program: how it went, what the sale's record keeps of it.
    struct Sending {
        enum class Result { Sent, Uncertain, Failed } result = Result::Failed;
        QString messageId;
        QString record;   // "送信 <Message-ID> 250 …", "送信不明 <Message-ID> …"
        QString message;  // why not, for the seller
    };
    // `messageId`: the one of an attempt that may have arrived, so that a second copy is known as
    // the same mail; empty for a new one.
    using Send =
        std::function<Sending(const QString& to, const QString& subject, const QString& body, const QString& messageId, QWidget* owner)>;

    // `send`: 「送信」 through the seller's mail server; without it the button is not shown.
    SaleMailDialog(UiServices& ui, QWidget* parent = nullptr, Send send = {});

    // `place`: "2 / 3" in a run, empty for one mail; `more`: mails follow this one in the run
    // (「残りをすべて送信」 is offered with 「送信」).
    void setMail(const QString& to, const QString& subject, const QString& body, const QString& place, bool more = false);
    // 送信, as the button does (the window not shown: the rest of a run the seller said to send).
    void send();
    // The seller read this one and said to send the rest of the run without showing each.
    bool sendRest() const { return m_sendRest; }
    QString to() const;
    QString subject() const;
    QString body() const;
    Outcome outcome() const { return m_outcome; }
    // What the sale's record keeps: each attempt that may have arrived, then the one that went.
    QStringList records() const { return m_records; }

private:
    void handOver();
    void copy();

    UiServices& m_ui;
    QLabel* m_place = nullptr;
    QLineEdit* m_to = nullptr;
    QLineEdit* m_subject = nullptr;
    QPlainTextEdit* m_body = nullptr;
    Outcome m_outcome = Outcome::Stopped;
    Send m_send;
    QStringList m_records;
    QString m_messageId;
    bool m_sendRest = false;
    QPushButton* m_sendAll = nullptr;
};
