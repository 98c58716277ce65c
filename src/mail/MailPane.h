#pragma once

#include <QList>
#include <QWidget>
#include <functional>
#include <memory>

#include "mail/MailComposer.h"
#include "settings/SenderForm.h"

namespace accounts {
struct Settings;
}
namespace mInterNet {
class DocumentLoader;
}
class Browser;
class Grid;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class UiServices;

// The "メール作成(&1)" tab: the winning-bid mail, the sender block, the
// payment accounts and shipping ways it offers, and the seller's closed
// listings in WB2.
class MailPane : public QWidget {
    Q_OBJECT
public:
    explicit MailPane(UiServices& ui, QWidget* parent = nullptr);
    ~MailPane() override;

    Browser* WB2() const { return m_wb2; }
    QComboBox* Combo10() const { return m_combo10; }

    // The mail templates, names without ".txt"; the first is selected.
    void setMailTemplates(const QStringList& names);

    // Ini_Re: the sender block and the payment accounts as the settings hold them.
    void applyAccounts(const accounts::Settings& settings);
    // The sender's Yahoo! JAPAN ID (txtID2): the current login account's, each time the main window
    // becomes active; the seller may type another.
    void setSellerId(const QString& id);
    QString sellerId() const;

    // "最新の情報に更新": reload the closed listings.
    void Command18_Click();

    // What shows the login window (the main window's, modal).
    void setLoginWindow(std::function<void()> show) { m_showLogin = std::move(show); }
    // The closed listings finished loading: ask for a login when the site wants one.
    void WB2_DocumentComplete();

    void Command1_Click();  // ﾒｰﾙ作成
    void Command5_Click();  // コピー
    void Command4_Click();  // 出品終了分, in the desktop's browser

    // The sender block, payment accounts and ways as the pane shows them: what a mail's
    // placeholders other than the sale's own are filled with.
    mail::Values values() const;

    // The mail's body as the seller sees it (and may have changed it).
    QString mailBody() const;
    void cmdMAILER_Click();  // the mail as shown, to the mail program
    // The mail of one of the closed listings: its ID into 商品ID, then ﾒｰﾙ作成.
    void composeFor(const QString& auctionId);

    // The program is ending: a ﾒｰﾙ作成 that waits for the item page stops there and hands
    // nothing to the mail program.
    void abandon();

    // Where item pages are loaded from (the web engine unless a test says otherwise).
    void setDocumentLoader(mInterNet::DocumentLoader* loader) { m_loader = loader; }

Q_SIGNALS:
    // 取引一覧 was asked for.
    void salesRequested();

private:
    QWidget* buildLeftColumn();
    QWidget* buildMiddleColumn();
    QWidget* buildClosedListings();
    QWidget* buildMailView();
    void closedListingsMenu(const QPoint& pos);
    void handOver();

    UiServices& m_ui;
    std::function<void()> m_showLogin;
    std::unique_ptr<mInterNet::DocumentLoader> m_ownLoader;
    mInterNet::DocumentLoader* m_loader = nullptr;
    bool m_running = false;
    bool m_abandoned = false;

    Browser* m_wb2 = nullptr;
    QComboBox* m_combo10 = nullptr;
    SenderForm m_sender;
    Grid* m_vGINKOU = nullptr;
    Grid* m_vYUBIN = nullptr;
    QLineEdit* m_txtID = nullptr;
    QLineEdit* m_imNumber2 = nullptr;
    QCheckBox* m_ckMail = nullptr;
    QLineEdit* m_txtSYOU = nullptr;
    QLineEdit* m_txtNAME = nullptr;
    QLineEdit* m_txtKingaku = nullptr;
    QCheckBox* m_check3 = nullptr;
    QLineEdit* m_imNumLite7 = nullptr;
    QCheckBox* m_check4 = nullptr;
    QPlainTextEdit* m_imText2 = nullptr;
    QList<QCheckBox*> m_ckHASSOU;
    QTabWidget* m_tabMAIL = nullptr;
    QLineEdit* m_txtATESAKI = nullptr;
    QLineEdit* m_txtKENMEI = nullptr;
    QPlainTextEdit* m_txtHONBUN = nullptr;
};
