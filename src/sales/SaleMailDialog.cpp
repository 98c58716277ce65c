#include "sales/SaleMailDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/UiServices.h"
#include "widgets/PlainText.h"

SaleMailDialog::SaleMailDialog(UiServices& ui, QWidget* parent, Send send) : QDialog(parent), m_ui(ui), m_send(std::move(send)) {
    setObjectName(QStringLiteral("frmTORIHIKI_MAIL"));
    setWindowTitle(QStringLiteral("取引のメール"));
    auto* layout = new QVBoxLayout(this);
    m_place = new QLabel;
    m_place->setObjectName(QStringLiteral("lblPLACE"));
    layout->addWidget(m_place);
    auto* form = new QFormLayout;
    m_to = new QLineEdit;
    m_to->setObjectName(QStringLiteral("txtATESAKI"));
    m_subject = new QLineEdit;
    m_subject->setObjectName(QStringLiteral("txtKENMEI"));
    form->addRow(QStringLiteral("宛先"), m_to);
    form->addRow(QStringLiteral("件名"), m_subject);
    layout->addLayout(form);
    m_body = new QPlainTextEdit;
    m_body->setObjectName(QStringLiteral("txtHONBUN"));
    m_body->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    layout->addWidget(m_body, 1);

    auto* buttons = new QDialogButtonBox;
    auto add = [&](const char* name, const QString& caption, QDialogButtonBox::ButtonRole role) {
        QPushButton* b = buttons->addButton(caption, role);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    QPushButton* sendButton = add("cmdSOUSHIN", QStringLiteral("送信(&O)"), QDialogButtonBox::AcceptRole);
    sendButton->setVisible(bool(m_send));
    sendButton->setToolTip(QStringLiteral("設定のメールサーバーから、この内容で送ります。"));
    m_sendAll = add("cmdSOUSHIN_NOKORI", QStringLiteral("残りをすべて送信"), QDialogButtonBox::ActionRole);
    m_sendAll->setVisible(false);
    m_sendAll->setToolTip(QStringLiteral("このメールを送り、残りの取引のメールも一通ずつ表示せずに送ります。"));
    m_sendAll->setAutoDefault(false);
    connect(m_sendAll, &QPushButton::clicked, this, [this] {
        this->send();
        m_sendRest = m_outcome == Outcome::Sent;
    });
    QPushButton* mailer = add("cmdMAILER", QStringLiteral("メーラー起動(&M)"), QDialogButtonBox::AcceptRole);
    QPushButton* copy = add("cmdCOPY", QStringLiteral("コピー(&C)"), QDialogButtonBox::ActionRole);
    QPushButton* skip = add("cmdSKIP", QStringLiteral("スキップ(&S)"), QDialogButtonBox::ActionRole);
    QPushButton* stop = add("cmdCLOSE", QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    // Enter in a field is never a mail handed over or copied (which would move the sale on).
    for (QPushButton* b : {sendButton, mailer, copy, skip, stop}) b->setAutoDefault(false);
    connect(sendButton, &QPushButton::clicked, this, &SaleMailDialog::send);
    connect(mailer, &QPushButton::clicked, this, &SaleMailDialog::handOver);
    connect(copy, &QPushButton::clicked, this, &SaleMailDialog::copy);
    connect(skip, &QPushButton::clicked, this, [this] {
        m_outcome = Outcome::Skipped;
        accept();
    });
    connect(stop, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 600);
}

void SaleMailDialog::setMail(const QString& to, const QString& subject, const QString& body, const QString& place, bool more) {
    m_sendAll->setVisible(more && bool(m_send));
    m_place->setText(place.isEmpty() ? QStringLiteral("内容を確かめてから送って下さい。")
                                     : QStringLiteral("%1 通目。内容を確かめてから送って下さい。").arg(place));
    m_to->setText(to);
    m_subject->setText(subject);
    PlainText::setCrlf(m_body, body);
    m_body->moveCursor(QTextCursor::Start);
    m_outcome = Outcome::Stopped;
}

QString SaleMailDialog::to() const { return m_to->text().trimmed(); }
QString SaleMailDialog::subject() const { return m_subject->text(); }
QString SaleMailDialog::body() const { return PlainText::crlf(m_body); }

void SaleMailDialog::handOver() {
    m_outcome = Outcome::Handed;
    accept();
}

void SaleMailDialog::send() {
    for (;;) {
        const Sending sent = m_send(to(), subject(), body(), m_messageId, this);
        if (sent.result == Sending::Result::Sent) {
            m_records << sent.record;
            m_outcome = Outcome::Sent;
            accept();
            return;
        }
        if (sent.result == Sending::Result::Failed) {
            if (!sent.message.isEmpty())
                m_ui.message(sent.message, windowTitle(), UiServices::Icon::Warning, UiServices::Buttons::Ok, this);
            // After an attempt that may have arrived, that attempt is what the sale keeps.
            if (!m_records.isEmpty()) {
                m_outcome = Outcome::Uncertain;
                accept();
            }
            // Otherwise the mail stays here as written, to send again once the server takes it.
            return;
        }
        // The server may have it: a second copy goes only on the seller's word (Enter says no),
        // and with the same Message-ID, so that mail programs know it for the same mail.
        m_records << sent.record;
        m_messageId = sent.messageId;
        if (m_ui.message(
                sent.message +
                    QStringLiteral(
                        "\\r\\n\\r\\n落札者に届いていないことが分かっているときだけ、もう一度送って下さい。\\r\\nもう一度送りますか？"),
                windowTitle(), UiServices::Icon::Question, UiServices::Buttons::YesNoDefaultNo, this) != UiServices::Answer::Yes) {
            m_outcome = Outcome::Uncertain;
            accept();
            return;
        }
    }
}

void SaleMailDialog::copy() {
    m_ui.setClipboardText(body());
    m_outcome = Outcome::Copied;
    accept();
}
