#pragma once

#include <QDialog>

#include "listing/fees/Fees.h"
#include "listing/form/FormCheck.h"
#include "listing/preflight/Preflight.h"

class QCheckBox;
class UiServices;

// Before the listing's 確認: what the listing lacks (a title too long, no start
// price), what the paid options cost and which fields did not reach the
// site's form, with a way back to mend them. Accepted: go on.
// Its own "don't show again" is kept in the settings (確認画面/出品前確認).
class PreflightWindow : public QDialog {
    Q_OBJECT
public:
    PreflightWindow(UiServices& ui, const listing::FeeEstimate& fees, const listing::FormCheck& check,
                    const listing::ListingWarnings& warnings, QWidget* parent = nullptr);
    void done(int result) override;

    // Whether 確認 should show it: something to say, and the seller has not switched it off.
    static bool wanted(const listing::FeeEstimate& fees, const listing::FormCheck& check, const listing::ListingWarnings& warnings);
    static inline const QString kSection = QStringLiteral("確認画面");
    static inline const QString kKey = QStringLiteral("出品前確認");

private:
    UiServices& m_ui;
    QCheckBox* m_check1 = nullptr;
};
