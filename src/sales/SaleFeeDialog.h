#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "sales/Sale.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// 返信から送料: the winner's reply pasted (or the address typed), the prefecture found in it, and
// the fee for the parcel by the shipping pane's own rules. 決定 takes the address, the fee and
// the way into the sale; nothing changes before it.
class SaleFeeDialog : public QDialog {
    Q_OBJECT
public:
    struct Package {
        double sides[3] = {0, 0, 0};  // cm
        double grams = 0;
    };
    // What the listing's record says: its category and start price, the parcel and the ways offered.
    struct Record {
        QString category, startPrice;
        Package package;
        QStringList ways;
        QString from;  // where the size and weight came from, said under them
    };
    // The fee text as the shipping pane shows it ("1,030 円", "不可") and its note.
    struct Answer {
        QString price, note;
    };
    struct Rules {
        QStringList services;  // the shipping pane's ways, by index
        QStringList prefectures;
        std::function<Answer(int service, const QString& destination, const Package& package)> fee;
    };

    // `record`: the listing's record, whose parcel and first way are filled in.
    SaleFeeDialog(const sales::Sale& sale, Rules rules, const std::optional<Record>& record, QWidget* parent = nullptr);

    // What 決定 takes: the address as pasted, the fee in yen, the way.
    QString address() const;
    qint64 fee() const { return m_yen; }
    QString way() const;
    Package package() const;  // as typed when 決定 was pressed

    void readReply();  // the prefecture and postcode from the text
    void work();       // 計算

private:
    Rules m_rules;
    QPlainTextEdit* m_reply = nullptr;
    QLabel* m_found = nullptr;
    QComboBox* m_prefecture = nullptr;
    QLineEdit* m_sides[3] = {nullptr, nullptr, nullptr};
    QLineEdit* m_grams = nullptr;
    QComboBox* m_way = nullptr;
    QLabel* m_answer = nullptr;
    qint64 m_yen = -1;
};
