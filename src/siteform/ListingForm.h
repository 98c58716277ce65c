#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The listing pane's controls as mirrors of the site's listing form: which
// element each control writes, how, and where the page scrolls first.
namespace siteform {

enum class Kind {
    Check,   // "Checked" of the element with the id, from the box's state (0 or 1)
    List,    // "selectedIndex" of the element with the id, from the list index
    Number,  // "Value" of the element with the id, the box's text as shown
    Text,    // the same, for a text box
    Option,  // "Checked" of items 0 and 1 of the elements with the name, from the two options
};

struct Mirror {
    QString control;  // object name; an option group by its array name ("optHANBAI")
    QString element;  // element id, or the element name for an option group
    int scrollY;
    Kind kind;
};

// Every control with a mirror, by kind in the order the pane shows them
// (txtTitle and txtDescription have rules of their own).
const QList<Mirror>& mirrors();
const Mirror* findMirror(const QString& control);

// What a list's handler writes for its selected index (-1 when nothing is
// selected): the index itself for the duration and the end hour, the index
// plus one for the others.
double listValue(const QString& control, int index);

// The handlers Mirror_All runs, in its order; "txtTitle" and "txtDescription"
// included, Combo2 twice. Options count as if option 1 had been clicked.
const QStringList& mirrorAllOrder();

struct CheckBox {
    QString name;
    QString caption;
    bool tickedAtStart;
};
const QList<CheckBox>& checkBoxes();

// List entries, in order.
const QStringList& durations();   // Combo1
const QStringList& eyeCatchIcons();  // Combo2, a blank entry first
const QStringList& endHours();    // Combo3
const QStringList& relistings();  // Combo4
const QStringList& sellerRegions();  // Combo5: the 47 prefectures, then 海外

constexpr int kTitleFocusScrollY = 450;
constexpr int kDescriptionFocusScrollY = 650;
constexpr int kPageScrollY = 200;
constexpr int kUploadPageScrollY = 10;

inline const QString kUploadPageTitle = QStringLiteral("Yahoo!オークション - 画像のアップロード");
inline const QString kContinueName = QStringLiteral("btn");
inline const QString kContinueValue = QStringLiteral("続ける");
inline const QString kContinuePrompt = QStringLiteral("出品手続きを行いますか？");
inline const QString kContinueCaption = QStringLiteral("出品");
inline const QString kPictureFilter = QStringLiteral("記憶ファイル(*.*)|*.*");

// The closed-listings page asks for a login when it wants the password again
// or shows the site's login button.
inline const QString kPasswordAgain = QStringLiteral("続けるにはパスワードを再入力してください");
inline const QString kLoginButtonName = QStringLiteral(".save");
inline const QString kLoginButtonValue = QStringLiteral("ログイン");
inline const QString kNotSignedIn = QStringLiteral("ログインされていません。\r\nログインして下さい。");
inline const QString kNotSignedInCaption = QStringLiteral("ログイン");

// How many login prompts a closed-listings page calls for: one when the
// site asks for the password again (whatever buttons it shows), else one per
// login button; `saveValues` are the values of the elements named ".save".
int loginPrompts(const QString& bodyText, const QStringList& saveValues);

}  // namespace siteform
