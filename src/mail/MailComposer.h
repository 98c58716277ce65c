#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QObject;
class UiServices;

// The winning-bid mail: a template's placeholders filled from the pane's
// values, and the address that hands the mail to the desktop's mail program.
namespace mail {

struct BankRow {
    bool ticked = false;
    QString bank, branch, type, number, holder;
};

struct PostalRow {
    bool ticked = false;
    QString kind, symbol, number, holder;
};

struct Values {
    QString user;                 // txtNAME: the winning bidder
    QString title;                // txtSYOU
    QString price;                // txtKingaku, as the item page shows it
    QString yahooId;              // txtID2
    QString name;                 // txtNAME2
    QString postcode;             // txtYUBIN2
    QString address;              // txtADD2, CR LF line breaks
    QString tel;                  // txtTEL2
    QString cost;                 // imNumber2: the shipping fee
    QList<BankRow> banks;         // rows 1 to n of the bank grid
    QList<PostalRow> postals;     // rows 1 to n of the postal grid
    bool other = false;           // Check4
    QString otherText;            // imText2, CR LF line breaks
    bool cashOnDelivery = false;  // Check3
    QString cashOnDeliveryFee;    // imNumLite7
    QStringList shippingWays;     // captions of the ticked ckHASSOU boxes, index order
};

// The template file's text as the mail begins: every line followed by CR LF.
QString bodyFromTemplate(const QString& templateText);

// The body with every placeholder replaced, in the fixed order.
QString fill(const QString& body, const Values& values);
QString subject(const QString& title);

QString bankBlock(int row, const BankRow& bank);
QString postalBlock(int row, const PostalRow& postal);
QString cashOnDeliverySentence(const QString& fee);
QString shippingList(const QStringList& captions);
QString total(const QString& price, const QString& cost);  // price without 円 and commas, plus the fee

// A mailto: address for the desktop's mail program: the winner's bare mail
// address as the recipient (none when the page gave none), the subject and
// the body, percent-encoded UTF-8 (CR LF as %0D%0A).
QString mailtoAddress(const QString& recipientAddress, const QString& subject, const QString& body);

// The mail to the desktop's mail program, its compose window shown; a mail too long for one
// address goes with its body on the clipboard, and the seller is told. False (and told) when no
// mail program could be started.
bool handOver(UiServices& ui, const QString& recipientAddress, const QString& subject, const QString& body, QObject* owner);

// Longer than this the address is not handed over whole (command lines and
// mail programs cut it); the body then goes to the clipboard.
constexpr int kMailtoLimit = 32000;

}  // namespace mail
