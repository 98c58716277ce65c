#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "settings/mINI.h"

class IniFile;

// The seller's data kept in the settings file: bank and postal transfer
// accounts, the sender block and the start-up options, as the settings
// dialog and the mail pane show them.
namespace accounts {

constexpr int kBankRows = 5;
constexpr int kPostalRows = 2;

inline const QString kBank = QStringLiteral("銀行振込");
inline const QString kPostal = QStringLiteral("郵便振替");
inline const QString kSender = QStringLiteral("差出人");
inline const QString kOptions = QStringLiteral("各種設定");

// Key names of the grid columns, in column order; the row number follows each name.
inline const QStringList kBankKeys{QStringLiteral("チェック"), QStringLiteral("銀行名"),   QStringLiteral("支店名"),
                                   QStringLiteral("種別"),     QStringLiteral("口座番号"), QStringLiteral("口座名義")};
inline const QStringList kPostalKeys{QStringLiteral("チェック"), QStringLiteral("口座種別"), QStringLiteral("記号"), QStringLiteral("番号"),
                                     QStringLiteral("口座名義")};

struct Sender {
    QString id, postcode, phone, name;
    QString address;  // CR LF between lines
};

struct Settings {
    QList<QStringList> bank;    // kBankRows rows of kBankKeys.size() cells, texts as stored
    QList<QStringList> postal;  // kPostalRows rows of kPostalKeys.size() cells
    Sender sender;
    bool startFile = false;
    QString startFilePath;
    bool autoLogin = false;
    QString loginId, loginPassword;  // decoded, shown only
};

// Every value as the settings file holds it; a missing file gives empty values.
Settings read();

// The 48 keys the settings dialog saves, in its order; the login pair is not among them.
QList<mINI::Entry> entriesToSave(const Settings& s);

// The settings dialog's save into the file as it is now: the keys whose value
// the seller changed since `opened` was read, and the keys the file lacks.
void save(IniFile& file, const Settings& opened, const Settings& now);

}  // namespace accounts
