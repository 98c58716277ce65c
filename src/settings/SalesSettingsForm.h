#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;

// The settings dialog's 取引管理 frame: the days each stage may take, each stage's mail template,
// the site's fee rate.
class SalesSettingsForm {
public:
    QGroupBox* build(const QStringList& mailTemplates);
    // The values as the settings file holds them (defaults where it has none).
    void load();
    // The keys whose value the seller changed since load(), with their new value.
    QList<QPair<QString, QString>> changes() const;
    // A fee rate that is no percentage: the message; empty when it is one.
    QString problem() const;

private:
    QList<QSpinBox*> m_limits;
    QList<QComboBox*> m_mails;
    QLineEdit* m_feeRate = nullptr;
    QList<QPair<QString, QString>> m_loaded;
    QList<QPair<QString, QString>> current() const;
};
