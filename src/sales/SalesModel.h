#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>

#include "sales/Deadlines.h"
#include "sales/Sale.h"

// The sales as 取引一覧 lists them: every sale kept, the ones the filter lets through shown,
// each with its deadline counted at the window's clock. Buyers are counted over every sale
// (a repeat buyer is marked even when the filter hides the earlier sales).
class SalesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { StageCol, DueCol, IdCol, TitleCol, WinnerCol, PriceCol, FeeCol, EndedCol, NoteCol, Columns };
    // The filter's choices after "すべて": the open ones, the overdue, then each stage.
    enum class Show { All, Open, Overdue, Stage };

    explicit SalesModel(QObject* parent = nullptr);

    void setSales(const QList<sales::Sale>& sales);
    void setCautions(const QHash<QString, QString>& byWinner);
    void setLimits(const sales::Limits& limits) { m_limits = limits; }
    // `refilter`: the overdue filter is worked out again (the rows may change, the selection with them);
    // otherwise only the deadlines shown follow the clock.
    void setNow(const QDateTime& now, bool refilter = true);
    void setFilter(Show show, sales::Stage stage, const QString& search, bool again = false);
    // Sales ("auction\nwinner") the search finds elsewhere (in their mails), shown as if it matched.
    void setAlsoShown(const QSet<QString>& keys) {
        m_alsoShownChanged = keys != m_alsoShown;
        m_alsoShown = keys;
    }

    const QList<sales::Sale>& sales() const { return m_sales; }
    // The sale behind a shown row; its place in sales().
    int saleIndex(int row) const { return row >= 0 && row < m_shown.size() ? m_shown[row] : -1; }
    int rowOfSale(int index) const { return m_shown.indexOf(index); }
    // A sale's place by its auction and winner (places change with every reload); -1 when gone.
    int indexOf(const QString& auctionId, const QString& winnerId) const;
    static QString keyOf(const sales::Sale& sale) { return sale.auctionId + QLatin1Char('\n') + sale.winnerId; }
    sales::Sale& sale(int index) { return m_sales[index]; }
    std::optional<sales::Deadline> deadlineOf(const sales::Sale& sale) const { return sales::deadline(sale, m_limits, m_now); }
    int salesOfBuyer(const QString& winnerId) const { return m_perBuyer.value(winnerId); }
    QString caution(const QString& winnerId) const { return m_cautions.value(winnerId); }
    void saleChanged(int index);

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : static_cast<int>(m_shown.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : Columns; }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool passes(int index) const;
    void refilter();

    QList<sales::Sale> m_sales;
    QList<int> m_shown;
    QHash<QString, int> m_perBuyer;
    QHash<QString, QString> m_cautions;
    sales::Limits m_limits;
    QDateTime m_now = QDateTime::currentDateTime();
    Show m_show = Show::All;
    sales::Stage m_stage = sales::Stage::Won;
    QString m_search;
    QString m_searchFolded;
    QStringList m_searched;  // per sale: its ID, title, winner and name, case-folded
    QSet<QString> m_alsoShown;
    bool m_alsoShownChanged = false;
};
