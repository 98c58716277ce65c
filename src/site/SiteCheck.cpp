#include "site/SiteCheck.h"

#include "site/FeedbackPage.h"

#include <QUrl>
#include <functional>

#include "site/ListingForm.h"
#include "site/OpenListings.h"
#include "site/SignIn.h"
#include "site/SiteFacts.h"

namespace site {
namespace {
using Document = mInterNet::Document;
using Element = mInterNet::Document::Element;

Finding finding(const QString& page, const QString& fact, const QString& expected, Verdict verdict, const QString& now = QString()) {
    return {page, fact, expected, verdict, now};
}

const Element* byId(const Document& d, const QString& id) {
    for (const Element& e : d.elements)
        if (!id.isEmpty() && e.id == id) return &e;
    return nullptr;
}

QList<const Element*> byName(const Document& d, const QString& name) {
    QList<const Element*> out;
    for (const Element& e : d.elements)
        if (!name.isEmpty() && e.name == name) out << &e;
    return out;
}

int commonRun(const QString& a, const QString& b) {
    int best = 0;
    for (int i = 0; i < a.size(); ++i)
        for (int j = 0; j < b.size(); ++j) {
            int k = 0;
            while (i + k < a.size() && j + k < b.size() && a[i + k] == b[j + k]) ++k;
            best = qMax(best, k);
        }
    return best;
}

bool isLink(const Document& d, const QString& text) {
    for (const auto& l : d.links)
        if (l.text.trimmed() == text) return true;
    return false;
}

// A fact of a form element: found by its id (or, for a pair of options, its name), else the
// element that now stands where it stood: an id beginning with the old one, or a field whose
// label reads the fact's meaning.
Finding formElement(const Document& d, const FormField& field) {
    const QString expected = fieldElement(field.meaning);
    const bool byNameOnly = field.kind == FieldKind::Option;
    const bool found = byNameOnly ? byName(d, expected).size() >= 2 : byId(d, expected) != nullptr;
    if (found) return finding(kFormPage, field.meaning, expected, Verdict::Match);
    const QString wantTag = field.kind == FieldKind::List ? QStringLiteral("select") : QString();
    for (const Element& e : d.elements) {
        const QString key = byNameOnly ? e.name : (e.id.isEmpty() ? e.name : e.id);
        if (key.isEmpty() || key == expected) continue;
        if (!wantTag.isEmpty() && e.tag != wantTag) continue;
        if (key.startsWith(expected, Qt::CaseInsensitive) ||
            (!e.label.isEmpty() && e.label.contains(field.meaning) && e.tag != QLatin1String("button")))
            return finding(kFormPage, field.meaning, expected, Verdict::Different, QStringLiteral("今は「%1」").arg(key));
    }
    return finding(kFormPage, field.meaning, expected, Verdict::Missing);
}

// A list's options: each of the program's texts on the page, and in the definition's order.
QList<Finding> listOptions(const Document& d, const FormField& field) {
    QList<Finding> out;
    const Element* select = byId(d, fieldElement(field.meaning));
    if (!select) return out;
    const QStringList wanted = fieldOptions(field.meaning);
    const QString key = field.meaning + QStringLiteral(".選択肢");
    QStringList page;
    for (const QString& o : select->options) page << o.trimmed();
    QStringList absent;
    for (const QString& w : wanted)
        if (!page.contains(w) && !absent.contains(w)) absent << w;
    const QString noChoice = fieldNoChoice(field.meaning);
    if (!noChoice.isEmpty() && !page.contains(noChoice)) absent.prepend(noChoice);
    if (!absent.isEmpty()) {
        out << finding(
            kFormPage, key, wanted.join(QLatin1Char(',')), Verdict::Missing,
            QStringLiteral("ページに無い選択肢：%1（ページの選択肢：%2）").arg(absent.join(QLatin1Char(',')), page.join(QLatin1Char(','))));
        return out;
    }
    // The program chooses by the option's text, so another order still fills; the seller is told.
    QStringList shown, inOrder;
    for (const QString& p : page)
        if (wanted.contains(p) && !shown.contains(p)) shown << p;
    for (const QString& w : wanted)
        if (!inOrder.contains(w)) inOrder << w;
    if (shown != inOrder)
        out << finding(kFormPage, key, wanted.join(QLatin1Char(',')), Verdict::Different,
                       QStringLiteral("並び順が違います（ページ：%1）。ソラバコは選択肢を名前で選ぶため、入力はできます")
                           .arg(page.join(QLatin1Char(','))));
    else
        out << finding(kFormPage, key, wanted.join(QLatin1Char(',')), Verdict::Match);
    return out;
}

// An item page's label: some text begins with it; otherwise the label-like text most like it.
Finding itemLabel(const Document& d, const QString& key, const QStringList& otherLabels) {
    const QString label = fact(kItem, key);
    for (const QString& t : d.elementTexts)
        if (t.startsWith(label)) return finding(kItemPage, key, label, Verdict::Match);
    QString best;
    int bestRun = 1;
    for (const QString& t : d.elementTexts) {
        const qsizetype colon = t.indexOf(QStringLiteral("："));
        if (colon <= 0 || colon > 20 || t.contains(QLatin1Char('\n'))) continue;
        const QString candidate = t.left(colon + 1);
        if (otherLabels.contains(candidate)) continue;
        const int run = commonRun(candidate.chopped(1), QString(label).chopped(1));
        if (run > bestRun) {
            bestRun = run;
            best = candidate;
        }
    }
    return best.isEmpty() ? finding(kItemPage, key, label, Verdict::Missing)
                          : finding(kItemPage, key, label, Verdict::Different, QStringLiteral("今は「%1」").arg(best));
}

// A list page's link: among the page's links, or the link that reads most like it.
Finding listLink(const Document& d, const QString& page, const QString& section, const QString& key, const QStringList& known) {
    const QString text = fact(section, key);
    if (isLink(d, text)) return finding(page, key, text, Verdict::Match);
    QString best;
    int bestRun = 0;
    for (const auto& l : d.links) {
        const QString t = l.text.trimmed();
        if (t.isEmpty() || t.size() > 12 || known.contains(t)) continue;
        const int run = commonRun(t, text);
        if (run > bestRun) {
            bestRun = run;
            best = t;
        }
    }
    return bestRun >= 1 && !best.isEmpty()
               ? finding(page, key, text, Verdict::Different, QStringLiteral("今は「%1」かもしれません").arg(best))
               : finding(page, key, text, Verdict::Missing);
}
}  // namespace

QString verdictText(Verdict verdict) {
    switch (verdict) {
        case Verdict::Match: return QStringLiteral("一致");
        case Verdict::Missing: return QStringLiteral("見つからない");
        case Verdict::Different: return QStringLiteral("違う");
        case Verdict::NotChecked: return QStringLiteral("確かめていません");
    }
    return QString();
}

QList<Finding> checkStartPage(const std::optional<Document>& page) {
    const QString path = fact(kPaths, QStringLiteral("出品開始"));
    if (!page)
        return {finding(kStartPage, QStringLiteral("出品開始"), path, Verdict::Missing, QStringLiteral("ページを表示できませんでした"))};
    const QString category = fact(kPaths, QStringLiteral("カテゴリ"));
    bool links = false;
    for (const auto& l : page->links) links = links || QUrl(l.href).path() == category;
    return {finding(kStartPage, QStringLiteral("出品開始"), path, Verdict::Match),
            finding(kStartPage, QStringLiteral("カテゴリ"), category, links ? Verdict::Match : Verdict::Missing)};
}

QList<Finding> checkCategoryPage(const std::optional<Document>& leaf) {
    const QString name = continueButtonName(), text = continueButtonText();
    if (!leaf)
        return {finding(kCategoryPage, QStringLiteral("続けるボタン"), name, Verdict::Missing,
                        QStringLiteral("続けるボタンのあるカテゴリに着きませんでした"))};
    QList<Finding> out;
    const QList<const Element*> buttons = byName(*leaf, name);
    if (!buttons.isEmpty()) {
        out << finding(kCategoryPage, QStringLiteral("続けるボタン"), name, Verdict::Match);
        out << (buttons.first()->value == text ? finding(kCategoryPage, QStringLiteral("続けるボタンの表示"), text, Verdict::Match)
                                               : finding(kCategoryPage, QStringLiteral("続けるボタンの表示"), text, Verdict::Different,
                                                         QStringLiteral("今は「%1」").arg(buttons.first()->value)));
        return out;
    }
    for (const Element& e : leaf->elements)
        if (e.type == QLatin1String("submit") && e.value == text)
            return {
                finding(kCategoryPage, QStringLiteral("続けるボタン"), name, Verdict::Different, QStringLiteral("今は「%1」").arg(e.name)),
                finding(kCategoryPage, QStringLiteral("続けるボタンの表示"), text, Verdict::Match)};
    return {finding(kCategoryPage, QStringLiteral("続けるボタン"), name, Verdict::Missing),
            finding(kCategoryPage, QStringLiteral("続けるボタンの表示"), text, Verdict::Missing)};
}

QList<Finding> checkListingForm(const Document& form) {
    QList<Finding> out;
    for (const FormField& field : formFields()) {
        out << formElement(form, field);
        if (field.kind == FieldKind::List) out << listOptions(form, field);
    }
    return out;
}

QList<Finding> checkUploadPage(const Document& page) {
    const QString title = uploadPageTitle();
    if (page.title != title)
        return {finding(kUploadPage, QStringLiteral("題名"), title, Verdict::NotChecked,
                        QStringLiteral("出品フォームを送った後に出るページのため、確かめていません（今のページ：%1）").arg(page.title)),
                finding(kUploadPage, QStringLiteral("選択ボタン"), uploadSelectButton(), Verdict::NotChecked)};
    return {finding(kUploadPage, QStringLiteral("題名"), title, Verdict::Match),
            finding(kUploadPage, QStringLiteral("選択ボタン"), uploadSelectButton(),
                    byId(page, uploadSelectButton()) ? Verdict::Match : Verdict::Missing)};
}

QList<Finding> checkLoginPage(const Document& page) {
    const LoginForm names = loginForm();
    QList<Finding> out;
    // The form the password field is in: the login form, whatever it is called now.
    QString passwordForm;
    for (const Element& e : page.elements)
        if (e.type == QLatin1String("password")) passwordForm = e.form;
    bool formFound = false;
    for (const auto& f : page.forms) formFound = formFound || f.name == names.form;
    out << (formFound                ? finding(kLoginPage, QStringLiteral("フォーム"), names.form, Verdict::Match)
            : passwordForm.isEmpty() ? finding(kLoginPage, QStringLiteral("フォーム"), names.form, Verdict::Missing)
                                     : finding(kLoginPage, QStringLiteral("フォーム"), names.form, Verdict::Different,
                                               QStringLiteral("今は「%1」").arg(passwordForm)));
    const auto field = [&](const QString& key, const QString& name, const std::function<bool(const Element&)>& like) {
        if (!byName(page, name).isEmpty()) return finding(kLoginPage, key, name, Verdict::Match);
        for (const Element& e : page.elements)
            if (like(e) && !e.name.isEmpty())
                return finding(kLoginPage, key, name, Verdict::Different, QStringLiteral("今は「%1」").arg(e.name));
        return finding(kLoginPage, key, name, Verdict::Missing);
    };
    out << field(QStringLiteral("ID欄"), names.id, [](const Element& e) {
        return e.tag == QLatin1String("input") && (e.type == QLatin1String("text") || e.type == QLatin1String("email"));
    });
    out << field(QStringLiteral("パスワード欄"), names.password, [](const Element& e) { return e.type == QLatin1String("password"); });
    out << field(QStringLiteral("ログインしたままにする"), names.persistent,
                 [](const Element& e) { return e.type == QLatin1String("checkbox"); });
    out << field(QStringLiteral("ログインボタン"), names.button, [](const Element& e) { return e.type == QLatin1String("submit"); });
    const QList<const Element*> buttons = byName(page, names.button);
    out << (buttons.isEmpty() ? finding(kLoginPage, QStringLiteral("ログインボタンの表示"), names.buttonText, Verdict::Missing)
            : buttons.first()->value == names.buttonText
                ? finding(kLoginPage, QStringLiteral("ログインボタンの表示"), names.buttonText, Verdict::Match)
                : finding(kLoginPage, QStringLiteral("ログインボタンの表示"), names.buttonText, Verdict::Different,
                          QStringLiteral("今は「%1」").arg(buttons.first()->value)));
    out << finding(kLoginPage, QStringLiteral("失敗の文言"), fact(kLogin, QStringLiteral("失敗の文言")), Verdict::NotChecked,
                   QStringLiteral("ログインに失敗しないと出ない文言のため、確かめていません"));
    return out;
}

QList<Finding> checkOpenListings(const Document& first, const std::optional<Document>& second) {
    QStringList known;
    for (const char* k : {"一覧の始まり", "一覧の終わり", "管理", "次のページ", "前のページ"})
        known << fact(kSelling, QString::fromUtf8(k));
    QList<Finding> out;
    for (const char* k : {"一覧の始まり", "一覧の終わり", "管理"})
        out << listLink(first, kSellingPage, kSelling, QString::fromUtf8(k), known);
    if (isLink(first, fact(kSelling, QStringLiteral("次のページ"))) || second) {
        out << listLink(first, kSellingPage, kSelling, QStringLiteral("次のページ"), known);
        if (second) out << listLink(*second, kSellingPage, kSelling, QStringLiteral("前のページ"), known);
    } else {
        for (const char* k : {"次のページ", "前のページ"})
            out << finding(kSellingPage, QString::fromUtf8(k), fact(kSelling, QString::fromUtf8(k)), Verdict::NotChecked,
                           QStringLiteral("出品が1ページに収まっているため、確かめていません"));
    }
    return out;
}

QList<Finding> checkItemPage(const std::optional<Document>& open, const std::optional<Document>& closed,
                             const std::optional<Document>& unknownId) {
    QList<Finding> out;
    const QStringList keys{QStringLiteral("現在の価格"), QStringLiteral("ウォッチ"), QStringLiteral("残り時間"),
                           QStringLiteral("アクセス")};
    QStringList labels;
    for (const QString& k : keys) labels << fact(kItem, k);
    if (open) {
        const QString prefix = fact(kItem, QStringLiteral("題名の前置き"));
        out << finding(kItemPage, QStringLiteral("題名の前置き"), prefix,
                       open->title.startsWith(prefix) ? Verdict::Match : Verdict::Different,
                       open->title.startsWith(prefix) ? QString() : QStringLiteral("今の題名は「%1」").arg(open->title));
        for (const QString& k : keys) {
            QStringList others = labels;
            others.removeAll(fact(kItem, k));
            out << itemLabel(*open, k, others);
        }
    } else {
        for (const QString& k : QStringList{QStringLiteral("題名の前置き")} + keys)
            out << finding(kItemPage, k, fact(kItem, k), Verdict::NotChecked,
                           kNeedsSignIn + QStringLiteral("（出品中の商品から開きます）"));
    }
    const QString contact = fact(kItem, QStringLiteral("連絡先"));
    if (closed) {
        bool found = false;
        for (const auto& l : closed->links) found = found || l.text == contact;
        out << finding(kItemPage, QStringLiteral("連絡先"), contact, found ? Verdict::Match : Verdict::Missing);
    } else {
        out << finding(kItemPage, QStringLiteral("連絡先"), contact, Verdict::NotChecked,
                       kNeedsSignIn + QStringLiteral("（落札者のいる出品終了分から開きます）"));
    }
    const QString none = fact(kItem, QStringLiteral("IDが無い時の題名"));
    if (unknownId)
        out << finding(kItemPage, QStringLiteral("IDが無い時の題名"), none, unknownId->title == none ? Verdict::Match : Verdict::Different,
                       unknownId->title == none ? QString() : QStringLiteral("今は「%1」").arg(unknownId->title));
    else
        out << finding(kItemPage, QStringLiteral("IDが無い時の題名"), none, Verdict::Missing,
                       QStringLiteral("ページを表示できませんでした"));
    return out;
}

QList<Finding> checkClosedListings(const Document& page, bool signedIn) {
    if (signedIn) {
        const QString link = firstItemLink(page);
        return {finding(kClosedPage, QStringLiteral("商品ページ"), fact(kPaths, QStringLiteral("商品ページ")),
                        link.isEmpty() ? Verdict::NotChecked : Verdict::Match,
                        link.isEmpty() ? QStringLiteral("落札者のいる出品終了分がないため、確かめていません") : QString()),
                finding(kClosedPage, QStringLiteral("ログインボタン"), closedListingsLoginButton(), Verdict::NotChecked,
                        QStringLiteral("ログイン中は出ないため、確かめていません"))};
    }
    // Signed out, the page offers the site's login button: what the program looks for to ask for a login.
    const QList<const Element*> buttons = byName(page, closedListingsLoginButton());
    const QString text = fact(kClosed, QStringLiteral("ログインボタンの表示"));
    QList<Finding> out;
    if (buttons.isEmpty()) {
        QString other;
        for (const Element& e : page.elements)
            if (e.type == QLatin1String("submit") && e.value == text) other = e.name;
        out << (other.isEmpty() ? finding(kClosedPage, QStringLiteral("ログインボタン"), closedListingsLoginButton(), Verdict::Missing)
                                : finding(kClosedPage, QStringLiteral("ログインボタン"), closedListingsLoginButton(), Verdict::Different,
                                          QStringLiteral("今は「%1」").arg(other)));
    } else {
        out << finding(kClosedPage, QStringLiteral("ログインボタン"), closedListingsLoginButton(), Verdict::Match);
    }
    out << finding(kClosedPage, QStringLiteral("商品ページ"), fact(kPaths, QStringLiteral("商品ページ")), Verdict::NotChecked,
                   kNeedsSignIn);
    return out;
}

QList<Finding> notSignedIn(const QString& page) {
    return {finding(page, QStringLiteral("（ページ全体）"), QString(), Verdict::NotChecked, kNeedsSignIn)};
}

QString firstCategoryLink(const Document& page) {
    const QString category = fact(kPaths, QStringLiteral("カテゴリ"));
    for (const auto& l : page.links)
        if (QUrl(l.href).path() == category && QUrl(l.href) != QUrl(page.url)) return l.href;
    return QString();
}

bool hasContinueButton(const Document& page) {
    for (const Element& e : page.elements)
        if ((e.name == continueButtonName() || e.type == QLatin1String("submit")) && e.value == continueButtonText()) return true;
    return !byName(page, continueButtonName()).isEmpty();
}

QString continueAddress(const Document& page) {
    for (const Element& e : page.elements)
        if (e.name == continueButtonName() || (e.type == QLatin1String("submit") && e.value == continueButtonText()))
            for (const auto& f : page.forms)
                if (f.name == e.form && !f.getAddress.isEmpty()) return f.getAddress;
    // A form without a name: the only form that goes by GET.
    for (const auto& f : page.forms)
        if (!f.getAddress.isEmpty()) return f.getAddress;
    return QString();
}

QString nextListPage(const Document& page) {
    const QString next = fact(kSelling, QStringLiteral("次のページ"));
    for (const auto& l : page.links)
        if (l.text.trimmed() == next) return l.href;
    // Reworded: a link back to this list that reads like it, so that the next page is still looked at.
    const QString path = QUrl(page.url).path();
    for (const auto& l : page.links)
        if (!next.isEmpty() && l.text.contains(next.at(0)) && QUrl(l.href).path() == path && QUrl(l.href) != QUrl(page.url)) return l.href;
    return QString();
}

QList<Finding> checkFeedbackPage(const std::optional<Document>& page) {
    const FeedbackElements e = feedbackElements();
    QList<Finding> out;
    const QString title = fact(kFeedback, QStringLiteral("題名"));
    if (!page) {
        for (const QString& key :
             {QStringLiteral("題名"), QStringLiteral("評価.選択肢"), QStringLiteral("コメント欄"), QStringLiteral("投稿ボタン")})
            out << finding(kFeedbackPage, key, fact(kFeedback, key), Verdict::NotChecked,
                           QStringLiteral("評価できる取引が無いため、確かめていません"));
        return out;
    }
    if (byId(*page, e.refused)) {
        for (const QString& key :
             {QStringLiteral("題名"), QStringLiteral("評価.選択肢"), QStringLiteral("コメント欄"), QStringLiteral("投稿ボタン")})
            out << finding(kFeedbackPage, key, fact(kFeedback, key), Verdict::NotChecked,
                           QStringLiteral("評価済みの取引のため、確かめていません"));
        out << finding(kFeedbackPage, QStringLiteral("評価済み"), e.refused, Verdict::Match);
        return out;
    }
    out << finding(kFeedbackPage, QStringLiteral("題名"), title, page->title == title ? Verdict::Match : Verdict::Different,
                   page->title == title ? QString() : QStringLiteral("今は「%1」").arg(page->title));
    QStringList missing;
    for (const QString& id : e.ratings)
        if (!byId(*page, id)) missing << id;
    out << finding(kFeedbackPage, QStringLiteral("評価.選択肢"), e.ratings.join(QLatin1Char(',')),
                   missing.isEmpty() ? Verdict::Match : Verdict::Missing,
                   missing.isEmpty() ? QString() : QStringLiteral("無いもの：%1").arg(missing.join(QLatin1Char(','))));
    // The comment: by its id, else the text area that now stands there.
    Finding comment =
        finding(kFeedbackPage, QStringLiteral("コメント欄"), e.comment, byId(*page, e.comment) ? Verdict::Match : Verdict::Missing);
    if (comment.verdict == Verdict::Missing)
        for (const Element& el : page->elements)
            if (el.tag == QLatin1String("textarea"))
                comment = finding(kFeedbackPage, QStringLiteral("コメント欄"), e.comment, Verdict::Different,
                                  QStringLiteral("今は「%1」").arg(el.id.isEmpty() ? el.name : el.id));
    out << comment;
    out << finding(kFeedbackPage, QStringLiteral("投稿ボタン"), e.button, byId(*page, e.button) ? Verdict::Match : Verdict::Missing);
    for (const QString& key : {QStringLiteral("完了"), QStringLiteral("評価済み")})
        out << finding(kFeedbackPage, key, fact(kFeedback, key), Verdict::NotChecked,
                       QStringLiteral("評価を送った後に出るため、確かめていません"));
    return out;
}

QString firstItemLink(const Document& page) {
    for (const auto& l : page.links)
        if (!mInterNet::auctionIdOf(QUrl(l.href)).isEmpty()) return l.href;
    return QString();
}

QString reportText(const QList<Finding>& findings) {
    QString out = QStringLiteral("サイト診断の結果\r\n一致 %1、見つからない %2、違う %3、確かめていません %4\r\n")
                      .arg(countOf(findings, Verdict::Match))
                      .arg(countOf(findings, Verdict::Missing))
                      .arg(countOf(findings, Verdict::Different))
                      .arg(countOf(findings, Verdict::NotChecked));
    QString page;
    for (const Finding& f : findings) {
        if (f.page != page) {
            page = f.page;
            out += QStringLiteral("\r\n[%1]\r\n").arg(page);
        }
        out += QStringLiteral("%1\t%2\t%3").arg(verdictText(f.verdict), f.fact, f.expected);
        if (!f.now.isEmpty()) out += QStringLiteral("\t%1").arg(f.now);
        out += QStringLiteral("\r\n");
    }
    return out;
}

int countOf(const QList<Finding>& findings, Verdict verdict) {
    int n = 0;
    for (const Finding& f : findings) n += f.verdict == verdict;
    return n;
}

}  // namespace site
