// 取引一覧's 評価: the chosen sales on the site's feedback pages, and what is kept of each.
#include "core/UiServices.h"
#include "sales/FeedbackWindow.h"
#include "sales/SalesModel.h"
#include "sales/SalesWindow.h"
#include "store/HistoryStore.h"
#include "store/SalesTable.h"

using namespace sales;

namespace {
const QString kCaption = QStringLiteral("取引一覧");
}  // namespace

void SalesWindow::feedbackSelected() {
    if (!keepTyped() || !m_hooks.feedbackUrl) return;
    QList<Sale> chosen;
    for (int i : selectedSales()) chosen << m_model->sales()[i];
    if (chosen.isEmpty())
        for (const Sale& s : m_model->sales())
            if (s.stage == Stage::Received) chosen << s;
    if (chosen.isEmpty()) {
        m_ui.message(QStringLiteral("評価する取引を選んで下さい（選ばないときは受取確認の取引を評価します）。"), kCaption,
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }
    const QString opened = QStringLiteral("評価ページを開いた");
    const auto keep = [this](const Sale& s, const QString& handed, const QString& subject, const QString& body) {
        HistoryStore* db = store();
        return db && salestable::keepMail(*db, salestable::Mail{s.auctionId, s.winnerId, QDateTime::currentDateTimeUtc(),
                                                                stageName(Stage::Rated), QString(), subject, body, handed});
    };
    FeedbackWindow::Hooks hooks;
    hooks.pageUrl = m_hooks.feedbackUrl;
    hooks.openedBefore = [this, opened](const Sale& s) {
        HistoryStore* db = store();
        const auto kept = db ? salestable::mails(*db, s.auctionId, s.winnerId) : std::nullopt;
        if (!kept) return true;  // not known: treated as opened, so nothing is filled twice
        for (const salestable::Mail& m : *kept)
            if (m.handed == opened) return true;
        return false;
    };
    hooks.keepOpened = [keep, opened](const Sale& s) { return keep(s, opened, QStringLiteral("評価"), QString()); };
    hooks.keepSent = [this, keep](const Sale& s, const QString& rating, const QString& comment) {
        if (!keep(s, QStringLiteral("評価 ") + rating, QStringLiteral("評価"), comment)) return false;
        // The sale as it is now, moved on to 評価済 from wherever it stood on the way.
        const int index = saleOfKey(SalesModel::keyOf(s));
        if (index < 0) return true;
        bool moved = false;
        while (m_model->sales()[index].stage != Stage::Rated && moveOn(m_model->sale(index), m_now())) moved = true;
        return !moved || storeSale(index);
    };
    FeedbackWindow window(m_ui, chosen, hooks, this);
    connect(&window, &FeedbackWindow::changed, this, [this] {
        showCurrent();
        updateSummary();
    });
    window.exec();
    reload();
}
