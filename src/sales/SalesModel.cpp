#include "sales/SalesModel.h"

#include <QBrush>
#include <QColor>
#include <future>
#include <system_error>

#include "sales/SaleMail.h"

using namespace sales;

SalesModel::SalesModel(QObject* parent) : QAbstractTableModel(parent) {}

void SalesModel::setSales(const QList<Sale>& list) {
    m_sales = list;
    // What the search looks in, once per sale (a search over ten thousand sales is one look at
    // each), and each buyer's count of sales: made in two halves at once as the window opens.
    // Read through a const list: the model shares the caller's, and a write access would copy it.
    struct Part {
        QStringList searched;
        QHash<QString, int> perBuyer;
    };
    const QList<Sale>& all = m_sales;
    const auto part = [&all](qsizetype from, qsizetype to) {
        Part out;
        out.searched.reserve(to - from);
        for (qsizetype i = from; i < to; ++i) {
            const Sale& s = all[i];
            ++out.perBuyer[s.winnerId];
            out.searched << QString(s.auctionId + QLatin1Char('\n') + s.title + QLatin1Char('\n') + s.winnerId + QLatin1Char('\n') +
                                    s.winnerName)
                                .toCaseFolded();
        }
        return out;
    };
    const qsizetype half = all.size() / 2;
    std::future<Part> later;
    try {
        later = std::async(std::launch::async, part, half, all.size());
    } catch (const std::system_error&) {
        later = std::async(std::launch::deferred, part, half, all.size());  // no thread to be had: in turn
    }
    Part first = part(0, half);
    Part second = later.get();
    m_searched = std::move(first.searched);
    m_searched << std::move(second.searched);
    m_perBuyer = std::move(first.perBuyer);
    for (auto i = second.perBuyer.cbegin(); i != second.perBuyer.cend(); ++i) m_perBuyer[i.key()] += i.value();
    refilter();
}

void SalesModel::setCautions(const QHash<QString, QString>& byWinner) {
    m_cautions = byWinner;
    if (!m_shown.isEmpty()) Q_EMIT dataChanged(index(0, WinnerCol), index(rowCount() - 1, WinnerCol));
}

void SalesModel::setNow(const QDateTime& now, bool again) {
    m_now = now;
    // Only the overdue filter depends on the clock; the deadlines shown are read as they are drawn.
    if (again && m_show == Show::Overdue)
        refilter();
    else if (!m_shown.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, Columns - 1));
}

void SalesModel::setFilter(Show show, Stage stage, const QString& search, bool again) {
    if (!again && show == m_show && stage == m_stage && search.trimmed() == m_search && !m_alsoShownChanged) return;
    m_alsoShownChanged = false;
    m_show = show;
    m_stage = stage;
    m_search = search.trimmed();
    m_searchFolded = m_search.toCaseFolded();
    refilter();
}

void SalesModel::refilter() {
    beginResetModel();
    m_shown.clear();
    for (int i = 0; i < m_sales.size(); ++i)
        if (passes(i)) m_shown << i;
    endResetModel();
}

int SalesModel::indexOf(const QString& auctionId, const QString& winnerId) const {
    for (int i = 0; i < m_sales.size(); ++i)
        if (m_sales[i].auctionId == auctionId && (winnerId.isEmpty() || m_sales[i].winnerId == winnerId)) return i;
    return -1;
}

void SalesModel::saleChanged(int index) {
    // A sale moved on may leave the filter's choice: it stays shown until the filter is applied again,
    // so the seller sees what the click did.
    const int row = rowOfSale(index);
    if (row >= 0) Q_EMIT dataChanged(this->index(row, 0), this->index(row, Columns - 1));
}

bool SalesModel::passes(int index) const {
    const Sale& s = m_sales[index];
    switch (m_show) {
        case Show::All: break;
        case Show::Open:
            if (s.stage == Stage::Rated || s.stage == Stage::Cancelled) return false;
            break;
        case Show::Overdue: {
            const std::optional<Deadline> d = deadlineOf(s);
            if (!d || !d->over()) return false;
            break;
        }
        case Show::Stage:
            if (s.stage != m_stage) return false;
            break;
    }
    if (m_search.isEmpty()) return true;
    if (m_searched[index].contains(m_searchFolded)) return true;
    return m_alsoShown.contains(s.auctionId + QLatin1Char('\n') + s.winnerId);
}

QVariant SalesModel::data(const QModelIndex& index, int role) const {
    const int i = saleIndex(index.row());
    if (i < 0) return {};
    const Sale& s = m_sales[i];
    const std::optional<Deadline> due = deadlineOf(s);
    if (role == Qt::ForegroundRole) return due && due->over() ? QVariant(QBrush(QColor(0xC0, 0, 0))) : QVariant();
    if (role == Qt::TextAlignmentRole && (index.column() == PriceCol || index.column() == FeeCol))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == WinnerCol && !caution(s.winnerId).isEmpty())
        return QString(QStringLiteral("要注意：") + caution(s.winnerId));
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case StageCol:
            return s.stage == Stage::Cancelled && s.cancelReason != CancelReason::None
                       ? QString(stageName(s.stage) + QStringLiteral("（") + cancelReasonName(s.cancelReason) + QStringLiteral("）"))
                       : stageName(s.stage);
        case DueCol:
            if (!due) return QString();
            if (due->over()) return QStringLiteral("%1日超過").arg(due->daysOver);
            return QString(due->due.toLocalTime().toString(QStringLiteral("M/d hh:mm")) + QStringLiteral("まで"));
        case IdCol: return s.auctionId;
        case TitleCol: return s.title;
        case WinnerCol: {
            QString text = s.winnerName.isEmpty() ? s.winnerId : s.winnerId + QStringLiteral("（") + s.winnerName + QStringLiteral("）");
            const int count = salesOfBuyer(s.winnerId);
            if (count > 1) text += QStringLiteral(" ★%1回").arg(count);
            if (!caution(s.winnerId).isEmpty()) text = QStringLiteral("⚠要注意 ") + text;
            return text;
        }
        case PriceCol: return yen(s.price);
        case FeeCol: return s.shippingFee >= 0 ? yen(s.shippingFee) : QString();
        case EndedCol: return s.ended.toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm"));
        case NoteCol: return QString(s.note).replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    return {};
}

QVariant SalesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const QStringList names{QStringLiteral("状態"),   QStringLiteral("期限"),     QStringLiteral("オークションID"),
                                   QStringLiteral("商品名"), QStringLiteral("落札者"),   QStringLiteral("落札価格"),
                                   QStringLiteral("送料"),   QStringLiteral("終了日時"), QStringLiteral("メモ")};
    return section >= 0 && section < names.size() ? names[section] : QVariant();
}
