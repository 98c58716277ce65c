#include "settings/SendSettingsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>

#include "core/ProgramFolder.h"
#include "settings/IniFile.h"

QGroupBox* SendSettingsForm::build() {
    auto* frame = new QGroupBox(QStringLiteral("メール送信"));
    frame->setObjectName(QStringLiteral("fraSOUSHIN"));
    auto* g = new QGridLayout(frame);
    m_mailer = new QRadioButton(QStringLiteral("メールソフトに渡す"));
    m_mailer->setObjectName(QStringLiteral("optMAILER"));
    m_smtp = new QRadioButton(QStringLiteral("ソラバコから送る（自分のメールサーバー）"));
    m_smtp->setObjectName(QStringLiteral("optSMTP"));
    auto* way = new QHBoxLayout;
    way->addWidget(m_mailer);
    way->addWidget(m_smtp);
    way->addStretch(1);
    g->addLayout(way, 0, 0, 1, 4);
    auto named = [](auto* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    m_host = named(new QLineEdit, "txtSMTP_SERVER");
    m_port = named(new QSpinBox, "spnSMTP_PORT");
    m_port->setRange(1, 65535);
    m_security = named(new QComboBox, "cmbSMTP_SECURITY");
    m_security->addItems({QStringLiteral("STARTTLS"), QStringLiteral("SSL/TLS")});
    m_user = named(new QLineEdit, "txtSMTP_USER");
    m_password = named(new QLineEdit, "txtSMTP_PASSWORD");
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral("変えるときだけ入力（キーリングに保存します）"));
    m_from = named(new QLineEdit, "txtSMTP_FROM");
    m_fromName = named(new QLineEdit, "txtSMTP_FROMNAME");
    m_selfSigned = named(new QCheckBox(QStringLiteral("このサーバーの自己署名証明書を認める")), "chkSMTP_SELFSIGNED");
    m_copy = named(new QCheckBox(QStringLiteral("送ったメールの控えを自分にも送る（Bcc）")), "chkSMTP_COPY");
    auto* test = named(new QPushButton(QStringLiteral("テスト送信")), "cmdSMTP_TEST");
    test->setAutoDefault(false);
    test->setToolTip(QStringLiteral("差出人のアドレスに、この設定でテストのメールを送ります。"));
    m_test = test;
    // One field a row: a server name or an address needs the frame's width.
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_port);
    portRow->addWidget(m_security);
    portRow->addStretch(1);
    int row = 1;
    for (const auto& [caption, field] : QList<QPair<QString, QWidget*>>{{QStringLiteral("サーバー"), m_host},
                                                                        {QStringLiteral("ユーザー名"), m_user},
                                                                        {QStringLiteral("パスワード"), m_password},
                                                                        {QStringLiteral("差出人アドレス"), m_from},
                                                                        {QStringLiteral("差出人名"), m_fromName}}) {
        g->addWidget(new QLabel(caption), row, 0);
        g->addWidget(field, row, 1, 1, 3);
        if (row == 1) {
            g->addWidget(new QLabel(QStringLiteral("ポート")), ++row, 0);
            g->addLayout(portRow, row, 1, 1, 3);
        }
        ++row;
    }
    g->addWidget(m_selfSigned, row++, 0, 1, 4);
    g->addWidget(m_copy, row, 0, 1, 3);
    g->addWidget(test, row, 3, Qt::AlignRight);
    g->setColumnStretch(1, 1);
    // The server's fields mean something only for sending from the program.
    auto follow = [this] {
        for (QWidget* w : QList<QWidget*>{m_host, m_port, m_security, m_user, m_password, m_from, m_fromName, m_selfSigned, m_copy, m_test})
            w->setEnabled(m_smtp->isChecked());
    };
    QObject::connect(m_smtp, &QRadioButton::toggled, frame, follow);
    QObject::connect(m_security, &QComboBox::currentIndexChanged, frame, [this](int index) {
        if (m_port->value() == 587 || m_port->value() == 465) m_port->setValue(index == 1 ? 465 : 587);
    });
    return frame;
}

void SendSettingsForm::load() {
    m_loaded = sendsettings::read(IniFile::load(ProgramFolder::settingsFile()));
    (m_loaded.smtp ? m_smtp : m_mailer)->setChecked(true);
    m_host->setText(m_loaded.host);
    m_security->setCurrentIndex(m_loaded.tls ? 1 : 0);
    m_port->setValue(m_loaded.port);
    m_user->setText(m_loaded.user);
    m_from->setText(m_loaded.from);
    m_fromName->setText(m_loaded.fromName);
    m_selfSigned->setChecked(m_loaded.acceptsSelfSigned());
    m_copy->setChecked(m_loaded.copyToSender);
    m_smtp->toggled(m_smtp->isChecked());
}

sendsettings::Settings SendSettingsForm::values() const {
    sendsettings::Settings s;
    s.smtp = m_smtp->isChecked();
    s.host = m_host->text().trimmed();
    s.port = m_port->value();
    s.tls = m_security->currentIndex() == 1;
    s.user = m_user->text().trimmed();
    s.from = m_from->text().trimmed();
    s.fromName = m_fromName->text().trimmed();
    // Bound to the server it was given for: another server's certificate is checked again.
    s.selfSignedHost = m_selfSigned->isChecked() ? s.host : QString();
    s.copyToSender = m_copy->isChecked();
    return s;
}

QString SendSettingsForm::typedPassword() const { return m_password->text(); }

bool SendSettingsForm::changed() const {
    return sendsettings::entries(values()) != sendsettings::entries(m_loaded) || !typedPassword().isEmpty();
}

QString SendSettingsForm::problem() const {
    const sendsettings::Settings s = values();
    if (!s.smtp) return QString();
    // Plain ASCII, as the envelope and the headers take it.
    static const QRegularExpression address(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9.!#$%&'*+/=?^_`{|}~-]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)+")));
    if (s.host.isEmpty()) return QStringLiteral("メール送信：メールサーバーを入力して下さい。");
    if (!address.match(s.from).hasMatch()) return QStringLiteral("メール送信：差出人アドレスを正しく入力して下さい。");
    return QString();
}
