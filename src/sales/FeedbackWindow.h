#pragma once

#include <QDialog>
#include <functional>

#include "sales/Sale.h"

class Browser;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class UiServices;

// 評価: each chosen sale's feedback page on the site in turn, its rating chosen and its comment
// written, and then the seller's turn: the seller reads it and presses the site's button; the
// window sees the site's answer, marks the sale 評価済 with the words sent and goes on. Never
// twice: a sale whose page the program opened once is never filled again by it (要確認).
class FeedbackWindow : public QDialog {
    Q_OBJECT
public:
    struct Hooks {
        std::function<QString(const QString& auctionId)> pageUrl;
        // Whether the program opened this sale's feedback page before (in any sitting).
        std::function<bool(const sales::Sale&)> openedBefore;
        // Kept with the sale: the page opened (before it loads), then the feedback sent (and the
        // sale moved to 評価済). False when it could not be kept: nothing goes on then.
        std::function<bool(const sales::Sale&)> keepOpened;
        std::function<bool(const sales::Sale&, const QString& rating, const QString& comment)> keepSent;
    };
    enum class State { Waiting, Filling, SellersTurn, Done, NeedsCheck };

    FeedbackWindow(UiServices& ui, const QList<sales::Sale>& sales, Hooks hooks, QWidget* parent = nullptr);

    void start();  // the next waiting sale
    State stateOf(int row) const { return m_states.value(row); }
    Browser* browser() const { return m_browser; }

Q_SIGNALS:
    void changed();              // a sale was kept as opened or sent
    void stateChanged(int row);  // a sale's state as the list shows it

private:
    void pageLoaded(const QString& url);
    void needsCheck(const QString& why, bool evidence);
    void showRow(int row);
    QStringList phrases() const;
    void editPhrases();

    UiServices& m_ui;
    QList<sales::Sale> m_sales;
    QList<State> m_states;
    QStringList m_reasons;
    Hooks m_hooks;
    int m_current = -1;
    Browser* m_browser = nullptr;
    QTableWidget* m_list = nullptr;
    QComboBox* m_rating = nullptr;
    QComboBox* m_phrase = nullptr;
    QPlainTextEdit* m_comment = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_start = nullptr;
};
