#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "site/mInterNet.h"

// サイト診断: every fact of the site definition against the site's pages as
// they are now, without sending or changing anything. These are the plain
// comparisons, page by page; the engine's side loads the pages.
namespace site {

enum class Verdict { Match, Missing, Different, NotChecked };
QString verdictText(Verdict verdict);  // 一致, 見つからない, 違う, 確かめていません

struct Finding {
    QString page;      // ログイン画面, 出品フォーム …
    QString fact;      // the definition's key: 数量, 現在の価格 …
    QString expected;  // the definition's value
    Verdict verdict = Verdict::Match;
    QString now;  // what stands there now, when the page shows it (違う), or why not checked
};

// The pages, in the order they are checked.
inline const QString kStartPage = QStringLiteral("出品開始");
inline const QString kCategoryPage = QStringLiteral("カテゴリ");
inline const QString kFormPage = QStringLiteral("出品フォーム");
inline const QString kUploadPage = QStringLiteral("画像アップロード");
inline const QString kLoginPage = QStringLiteral("ログイン画面");
inline const QString kSellingPage = QStringLiteral("出品中一覧");
inline const QString kItemPage = QStringLiteral("商品ページ");
inline const QString kClosedPage = QStringLiteral("出品終了分");
inline const QString kFeedbackPage = QStringLiteral("評価");

// What a page needs before it shows what is checked on it.
inline const QString kNeedsSignIn = QStringLiteral("ログインが必要です");

QList<Finding> checkStartPage(const std::optional<mInterNet::Document>& page);
// The category page with the continue button (nothing: no category led to one).
QList<Finding> checkCategoryPage(const std::optional<mInterNet::Document>& leaf);
// The listing form: every field the program writes, and each list's options.
QList<Finding> checkListingForm(const mInterNet::Document& form);
QList<Finding> checkUploadPage(const mInterNet::Document& page);
QList<Finding> checkLoginPage(const mInterNet::Document& page);
// The first page of the open listings and, when it has one, the next.
QList<Finding> checkOpenListings(const mInterNet::Document& first, const std::optional<mInterNet::Document>& second);
// An open listing's item page (the figures), a closed one's (the winner's contact), and the
// page of an auction ID the site does not have.
QList<Finding> checkItemPage(const std::optional<mInterNet::Document>& open, const std::optional<mInterNet::Document>& closed,
                             const std::optional<mInterNet::Document>& unknownId);
QList<Finding> checkClosedListings(const mInterNet::Document& page, bool signedIn);
// Every fact of a page that needs a sign-in, when the seller is signed out.
QList<Finding> notSignedIn(const QString& page);

// Where the check goes next: a category page's first sub-category, the form the continue
// button sends, the next list page, a listing's item page.
QString firstCategoryLink(const mInterNet::Document& page);
bool hasContinueButton(const mInterNet::Document& page);
QString continueAddress(const mInterNet::Document& page);
QString nextListPage(const mInterNet::Document& page);
QString firstItemLink(const mInterNet::Document& page);

// A sale's feedback page (nothing sent): its title, the five ratings, the comment and the button;
// what the site says after the button cannot be seen without sending, and is said so.
QList<Finding> checkFeedbackPage(const std::optional<mInterNet::Document>& page);

// The report as text: a heading per page, a line per fact.
QString reportText(const QList<Finding>& findings);
int countOf(const QList<Finding>& findings, Verdict verdict);

}  // namespace site
