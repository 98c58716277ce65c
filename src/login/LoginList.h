#pragma once

#include <QList>
#include <QString>

#include "settings/mINI.h"

class IniFile;

// The saved accounts of the login window, kept in the settings file
// (section レコード, keys 期間n / ソードn, encoded with Enc_Str) and the
// remembered account (各種設定 / ログイン情報0 and 1).
namespace LoginList {

constexpr int kRows = 49;

struct Row {
    QString tick = QStringLiteral("0");  // "-1" ticked
    QString id;
    QString password;
    bool inKeyring = false;  // the settings file holds a mark, the keyring the password
};

struct State {
    QString text1;  // the remembered account, decoded
    QString text2;
    QList<Row> rows;  // kRows rows
};

// Login_ListRead: stops at the first missing or empty 期間n.
State read();
State stateOf(const IniFile& file);

// Login_ListAdd: the number the account gets, or 0 when its ID is already
// among the leading filled rows (then nothing is written).
int numberFor(const QList<Row>& rows, const QString& id);
QList<mINI::Entry> addEntries(int number, const QString& id, const QString& password);
// Login_ListAdd on the file as it is now (another program may have added an
// account since this window read the list): the next free number of its list.
void add(IniFile& file, const QString& id, const QString& password);

// The before-edit rule: only the tick column, only rows with an ID, and at
// most one ticked row. `row` counts from 1.
bool editAllowed(const QList<Row>& rows, int row, int currentCol);

// What closing the window writes: the ticked row becomes the remembered
// account; with no ticked row nothing is written.
QList<mINI::Entry> closingEntries(const QList<Row>& rows);

inline const QString kCaption = QStringLiteral("ログイン");
inline const QString kNoId = QStringLiteral("ﾔﾌｰIDを入力して下さい。");
inline const QString kNoPassword = QStringLiteral("ﾊﾟｽﾜｰﾄﾞを入力して下さい。");
inline const QString kFailed = QStringLiteral("YahooIDもしくはパスワードが間違っています。");

}  // namespace LoginList
