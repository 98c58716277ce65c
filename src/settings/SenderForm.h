#pragma once

#include <QString>

#include "settings/Accounts.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

// The sender block ("差出人"), alike in the settings dialog (txtID …) and
// on the mail pane (txtID2 …).
struct SenderForm {
    QLineEdit* id = nullptr;
    QLineEdit* postcode = nullptr;
    QLineEdit* phone = nullptr;
    QLineEdit* name = nullptr;
    QPlainTextEdit* address = nullptr;

    // The frame with its fields; object names are txtID, txtYUBIN, txtTEL, txtNAME, txtADD + suffix.
    QGroupBox* build(const QString& suffix, const QString& addressLabel);
    void show(const accounts::Sender& sender) const;
    accounts::Sender read() const;
};
