#include "settings/SalesSettingsForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "settings/SalesKeys.h"
#include "settings/mINI.h"

QGroupBox* SalesSettingsForm::build(const QStringList& mailTemplates) {
    auto* frame = new QGroupBox(QStringLiteral("取引管理"));
    frame->setObjectName(QStringLiteral("fraTORIHIKI"));
    auto* g = new QGridLayout(frame);
    g->addWidget(new QLabel(QStringLiteral("期限（日）")), 0, 0, 1, 2);
    for (int i = 0; i < saleskeys::kLimits.size(); ++i) {
        auto* spin = new QSpinBox;
        spin->setObjectName(QStringLiteral("spnKIGEN_%1").arg(i));
        spin->setRange(1, 365);
        spin->setSuffix(QStringLiteral(" 日"));
        g->addWidget(new QLabel(saleskeys::kLimitCaptions[i]), 1 + i, 0);
        g->addWidget(spin, 1 + i, 1);
        m_limits << spin;
    }
    g->addWidget(new QLabel(QStringLiteral("段階ごとのメールの雛形")), 0, 2, 1, 2);
    for (int i = 0; i < saleskeys::kMailStages.size(); ++i) {
        auto* combo = new QComboBox;
        combo->setObjectName(QStringLiteral("cboMAIL_%1").arg(i));
        combo->addItem(QString());
        combo->addItems(mailTemplates);
        g->addWidget(new QLabel(saleskeys::kMailStages[i]), 1 + i, 2);
        g->addWidget(combo, 1 + i, 3);
        m_mails << combo;
    }
    g->addWidget(new QLabel(QStringLiteral("落札手数料（％）")), 8, 0);
    m_feeRate = new QLineEdit;
    m_feeRate->setObjectName(QStringLiteral("txtTESUURYOU"));
    m_feeRate->setMaximumWidth(80);
    g->addWidget(m_feeRate, 8, 1);
    g->setColumnStretch(3, 1);
    return frame;
}

void SalesSettingsForm::load() {
    for (int i = 0; i < m_limits.size(); ++i) {
        bool ok = false;
        const int days = mINI::Ini_Get(saleskeys::kSection, saleskeys::kLimits[i]).trimmed().toInt(&ok);
        m_limits[i]->setValue(ok && days >= 1 && days <= 365 ? days : saleskeys::kLimitDefaults[i]);
    }
    for (int i = 0; i < m_mails.size(); ++i) {
        bool found = false;
        const QString stage = saleskeys::kMailStages[i];
        const QString name = mINI::Ini_Get(saleskeys::kSection, saleskeys::mailKey(stage), &found).trimmed();
        const QString shown = found ? name : saleskeys::defaultMail(stage);
        // A template the folder no longer has stays chosen, so that saving does not drop it unseen.
        if (m_mails[i]->findText(shown) < 0) m_mails[i]->addItem(shown);
        m_mails[i]->setCurrentText(shown);
    }
    bool found = false;
    const QString rate = mINI::Ini_Get(saleskeys::kSection, saleskeys::kFeeRate, &found);
    m_feeRate->setText(found ? rate : saleskeys::kFeeRateDefault);
    m_loaded = current();
}

QList<QPair<QString, QString>> SalesSettingsForm::current() const {
    QList<QPair<QString, QString>> out;
    for (int i = 0; i < m_limits.size(); ++i) out.append({saleskeys::kLimits[i], QString::number(m_limits[i]->value())});
    for (int i = 0; i < m_mails.size(); ++i) out.append({saleskeys::mailKey(saleskeys::kMailStages[i]), m_mails[i]->currentText()});
    out.append({saleskeys::kFeeRate, m_feeRate->text().trimmed()});
    return out;
}

QList<QPair<QString, QString>> SalesSettingsForm::changes() const {
    QList<QPair<QString, QString>> out;
    const auto now = current();
    for (int i = 0; i < now.size(); ++i)
        if (i >= m_loaded.size() || now[i] != m_loaded[i]) out << now[i];
    return out;
}

QString SalesSettingsForm::problem() const {
    bool ok = false;
    const double rate = m_feeRate->text().trimmed().toDouble(&ok);
    if (ok && rate >= 0 && rate < 100) return QString();
    return QStringLiteral("落札手数料は 0 から 100 未満の数（％）で入力して下さい。");
}
