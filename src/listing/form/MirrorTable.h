#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The listing pane's controls as mirrors of the site's listing form: which
// of the form's fields each control writes.
namespace listing {

// A control and the site's field it writes (by the field's meaning in the
// site definition: its element, kind, place and list texts are the site's).
struct Mirror {
    QString control;  // object name; an option group by its array name ("optHANBAI")
    QString meaning;  // 数量, 期間, 送料負担 …
};

// Every control with a mirror, by kind in the order the pane shows them
// (txtTitle and txtDescription have rules of their own: タイトル, 説明).
const QList<Mirror>& mirrors();
const Mirror* findMirror(const QString& control);

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
const QStringList& durations();      // Combo1
const QStringList& eyeCatchIcons();  // Combo2, a blank entry first
const QStringList& endHours();       // Combo3
const QStringList& relistings();     // Combo4
const QStringList& sellerRegions();  // Combo5: the 47 prefectures, then 海外

inline const QString kContinuePrompt = QStringLiteral("出品手続きを行いますか？");
inline const QString kContinueCaption = QStringLiteral("出品");
inline const QString kPictureFilter = QStringLiteral("記憶ファイル(*.*)|*.*");

}  // namespace listing
