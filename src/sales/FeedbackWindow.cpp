#include "sales/FeedbackWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "site/Evidence.h"
#include "site/FeedbackPage.h"
#include "widgets/Browser.h"
#include "widgets/PlainText.h"
#include "widgets/ScreenFit.h"

namespace {
const QString kCaption = QStringLiteral("評価");
const QString kPhrasesFile = QStringLiteral("評価の定型文.txt");

QString stateText(FeedbackWindow::State s) {
    switch (s) {
        case FeedbackWindow::State::Waiting: return QStringLiteral("待機");
        case FeedbackWindow::State::Filling: return QStringLiteral("入力中");
        case FeedbackWindow::State::SellersTurn: return QStringLiteral("確認待ち");
        case FeedbackWindow::State::Done: return QStringLiteral("評価済");
        case FeedbackWindow::State::NeedsCheck: return QStringLiteral("要確認");
    }
    return QString();
}
}  // namespace

FeedbackWindow::FeedbackWindow(UiServices& ui, const QList<sales::Sale>& sales, Hooks hooks, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_sales(sales), m_hooks(std::move(hooks)) {
    setObjectName(QStringLiteral("frmHYOUKA"));
    setWindowTitle(QStringLiteral("評価"));
    for (int i = 0; i < m_sales.size(); ++i) {
        m_states << State::Waiting;
        m_reasons << QString();
    }
    auto* split = new QSplitter;
    auto* left = new QWidget;
    auto* v = new QVBoxLayout(left);
    m_list = new QTableWidget(m_sales.size(), 3);
    m_list->setObjectName(QStringLiteral("lvHYOUKA"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("タイトル"), QStringLiteral("落札者"), QStringLiteral("状態")});
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->verticalHeader()->setVisible(false);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 150);
    m_list->setColumnWidth(1, 85);
    v->addWidget(m_list, 1);
    v->addWidget(new QLabel(QStringLiteral("評価")));
    m_rating = new QComboBox;
    m_rating->setObjectName(QStringLiteral("cmbHYOUKA"));
    m_rating->addItems(site::feedbackRatings());
    v->addWidget(m_rating);
    auto* phraseRow = new QHBoxLayout;
    m_phrase = new QComboBox;
    m_phrase->setObjectName(QStringLiteral("cmbBUNREI"));
    auto* edit = new QPushButton(QStringLiteral("定型文の編集..."));
    edit->setObjectName(QStringLiteral("cmdBUNREI"));
    phraseRow->addWidget(m_phrase, 1);
    phraseRow->addWidget(edit);
    v->addWidget(new QLabel(QStringLiteral("コメント（定型文から選んで直せます）")));
    v->addLayout(phraseRow);
    m_comment = new QPlainTextEdit;
    m_comment->setObjectName(QStringLiteral("txtCOMMENT"));
    m_comment->setMaximumHeight(110);
    v->addWidget(m_comment);
    m_status = new QLabel(QStringLiteral(
        "「開始」で1件目の評価のページを開き、評価とコメントを入れます。サイトの「評価を投稿する」はご自身で押して下さい。"));
    m_status->setObjectName(QStringLiteral("lblHYOUKA"));
    m_status->setWordWrap(true);
    v->addWidget(m_status);
    auto* buttons = new QHBoxLayout;
    m_start = new QPushButton(QStringLiteral("開始"));
    m_start->setObjectName(QStringLiteral("cmdSTART"));
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    close->setObjectName(QStringLiteral("cmdCLOSE"));
    for (QPushButton* b : {m_start, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    v->addLayout(buttons);
    m_browser = new Browser;
    m_browser->setObjectName(QStringLiteral("WB_HYOUKA"));
    split->addWidget(left);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(split);
    resize(1200, 680);
    ScreenFit::fit(this);
    split->setSizes({360, 840});

    m_phrase->addItems(phrases());
    if (m_phrase->count() > 0) m_comment->setPlainText(m_phrase->currentText());
    connect(m_phrase, &QComboBox::textActivated, m_comment, &QPlainTextEdit::setPlainText);
    connect(edit, &QPushButton::clicked, this, &FeedbackWindow::editPhrases);
    connect(m_start, &QPushButton::clicked, this, &FeedbackWindow::start);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_browser, &Browser::DocumentComplete, this, &FeedbackWindow::pageLoaded);
    for (int i = 0; i < m_sales.size(); ++i) showRow(i);
}

void FeedbackWindow::showRow(int row) {
    const sales::Sale& s = m_sales[row];
    const QStringList cells{
        s.title, s.winnerId,
        m_reasons[row].isEmpty() ? stateText(m_states[row]) : stateText(m_states[row]) + QStringLiteral("：") + m_reasons[row]};
    for (int c = 0; c < cells.size(); ++c) m_list->setItem(row, c, new QTableWidgetItem(cells[c]));
    Q_EMIT stateChanged(row);
}

void FeedbackWindow::start() {
    if (m_current >= 0 && (m_states[m_current] == State::Filling || m_states[m_current] == State::SellersTurn)) return;
    m_current = -1;
    for (int i = 0; i < m_sales.size(); ++i) {
        if (m_states[i] != State::Waiting) continue;
        // A page opened before, in this sitting or another: the seller may have sent it already.
        if (m_hooks.openedBefore && m_hooks.openedBefore(m_sales[i])) {
            m_states[i] = State::NeedsCheck;
            m_reasons[i] = QStringLiteral("前に評価のページを開いています。サイトの評価の一覧で確かめて下さい。");
            showRow(i);
            continue;
        }
        m_current = i;
        break;
    }
    if (m_current < 0) {
        m_status->setText(QStringLiteral("評価する取引はもうありません。"));
        return;
    }
    const sales::Sale& s = m_sales[m_current];
    // On record before the page loads: from here this sale is never filled again by the program.
    if (!m_hooks.keepOpened || !m_hooks.keepOpened(s)) {
        m_ui.message(QStringLiteral("取引の記録に書き込めないため、評価を始められませんでした。"), kCaption, UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, this);
        m_current = -1;
        return;
    }
    Q_EMIT changed();
    m_states[m_current] = State::Filling;
    showRow(m_current);
    m_list->selectRow(m_current);
    m_status->setText(QStringLiteral("「%1」の評価のページを開いています...").arg(s.title));
    m_browser->Navigate2(m_hooks.pageUrl(s.auctionId));
}

void FeedbackWindow::needsCheck(const QString& why, bool evidence) {
    QString said = why;
    if (evidence) {
        const QString kept = site::keepEvidence(m_browser, why);
        if (!kept.isEmpty()) said += QStringLiteral("（ページを %1 に残しました）").arg(kept);
    }
    m_states[m_current] = State::NeedsCheck;
    m_reasons[m_current] = said;
    showRow(m_current);
    m_status->setText(said);
    m_current = -1;
}

void FeedbackWindow::pageLoaded(const QString&) {
    if (m_current < 0) return;
    const State state = m_states[m_current];
    if (state != State::Filling && state != State::SellersTurn) return;
    QStringList missing;
    const site::FeedbackPageKind kind = site::kindOf(m_browser->evaluate(site::pageProbe()).text(), &missing);
    if (state == State::Filling) {
        if (kind == site::FeedbackPageKind::Refused) {
            needsCheck(QStringLiteral("サイトではすでに評価済みです。"), false);
            return;
        }
        if (kind != site::FeedbackPageKind::Form || !m_browser->lastLoadOk()) {
            needsCheck(
                missing.isEmpty()
                    ? QStringLiteral("評価のページが表示されませんでした。")
                    : QStringLiteral("評価のページに %1 がありません（サイトが変わったかもしれません。サイト診断で確かめて下さい）。")
                          .arg(missing.join(QStringLiteral("、"))),
                true);
            return;
        }
        const site::FeedbackElements e = site::feedbackElements();
        const QString ratingId = e.ratings.value(m_rating->currentIndex());
        const bool filled =
            m_browser->setCheckedById(ratingId, 1).ok() &&
            m_browser->setValueById(e.comment, PlainText::crlf(m_comment).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))).ok();
        if (!filled) {
            needsCheck(QStringLiteral("評価のページに入力できませんでした。"), true);
            return;
        }
        m_browser->evaluate(QStringLiteral("var b = document.getElementById(%1); if (b) b.scrollIntoView(); return true;")
                                .arg(Browser::jsString(e.button)));
        m_states[m_current] = State::SellersTurn;
        showRow(m_current);
        m_status->setText(QStringLiteral("内容を確かめて、サイトの「評価を投稿する」を押して下さい。"));
        return;
    }
    // The seller pressed the site's button: the site's answer says what became of it.
    if (kind == site::FeedbackPageKind::Done) {
        const sales::Sale sent = m_sales[m_current];
        const QString comment = PlainText::crlf(m_comment);
        if (!m_hooks.keepSent || !m_hooks.keepSent(sent, m_rating->currentText(), comment)) {
            needsCheck(QStringLiteral("評価は送りましたが、取引の記録に残せませんでした。"), false);
            return;
        }
        m_states[m_current] = State::Done;
        showRow(m_current);
        Q_EMIT changed();
        m_current = -1;
        start();
        return;
    }
    needsCheck(kind == site::FeedbackPageKind::Refused ? QStringLiteral("サイトではすでに評価済みです。")
                                                       : QStringLiteral("評価を送った後のページが、思っていたものと違いました。"),
               kind != site::FeedbackPageKind::Refused);
}

QStringList FeedbackWindow::phrases() const {
    QString text;
    if (TextFile::readCp932Text(ProgramFolder::mast() + kPhrasesFile, &text) != TextFile::Read::Ok) return {};
    QStringList lines;
    for (const QString& line : TextFile::splitLines(text))
        if (!line.trimmed().isEmpty()) lines << line.trimmed();
    return lines;
}

void FeedbackWindow::editPhrases() {
    bool ok = false;
    const QString text = QInputDialog::getMultiLineText(this, QStringLiteral("定型文の編集"), QStringLiteral("1行に1つずつ書いて下さい。"),
                                                        phrases().join(QLatin1Char('\n')), &ok);
    if (!ok) return;
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty()) lines << line.trimmed();
    QString lost;
    if (!TextFile::writeCp932Lines(ProgramFolder::mast() + kPhrasesFile, lines, &lost)) {
        m_ui.message(QStringLiteral("定型文を保存できませんでした。\r\n") + ProgramFolder::mast() + kPhrasesFile, kCaption,
                     UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
        return;
    }
    m_phrase->clear();
    m_phrase->addItems(lines);
}
