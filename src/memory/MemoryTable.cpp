#include "memory/MemoryTable.h"

#include <QFileInfo>
#include <cmath>

#include "core/Cp932.h"
#include "core/Values.h"
#include "settings/IniFile.h"

namespace memory {

const QList<Key>& keys() {
    // One line per key, in writing order: files already saved depend on these names and sections.
    static const QList<Key> table{
        {QStringLiteral("メール作成"), QStringLiteral("その他"), QStringLiteral("imText2"), Kind::MultiLine},
        {QStringLiteral("メール作成"), QStringLiteral("ミニレター"), QStringLiteral("ckHASSOU_0"), Kind::Check},
        {QStringLiteral("メール作成"), QStringLiteral("定形郵便"), QStringLiteral("ckHASSOU_1"), Kind::Check},
        {QStringLiteral("メール作成"), QStringLiteral("定形外郵便"), QStringLiteral("ckHASSOU_2"), Kind::Check},
        {QStringLiteral("メール作成"), QStringLiteral("冊子小包"), QStringLiteral("ckHASSOU_3"), Kind::Check},
        {QStringLiteral("メール作成"), QStringLiteral("EXPACK500"), QStringLiteral("ckHASSOU_4"), Kind::Check},
        {QStringLiteral("メール作成"), QStringLiteral("クロネコメール便"), QStringLiteral("ckHASSOU_5"), Kind::Check},
        {QStringLiteral("メール作成"), QStringLiteral("ゆうパック"), QStringLiteral("ckHASSOU_6"), Kind::Check},
        {QStringLiteral("メール作成"), QStringLiteral("Yahoo!ゆうパック"), QStringLiteral("ckHASSOU_7"), Kind::Check},
        {QStringLiteral("メール作成"), QStringLiteral("ヤマト宅急便"), QStringLiteral("ckHASSOU_8"), Kind::Check},
        {QStringLiteral("メール作成"), QStringLiteral("その他ご要望"), QStringLiteral("ckHASSOU_9"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("発送0"), QStringLiteral("cmbKEN_0"), Kind::List},
        {QStringLiteral("送料計算"), QStringLiteral("発送1"), QStringLiteral("cmbKEN_1"), Kind::List},
        {QStringLiteral("送料計算"), QStringLiteral("3辺0"), QStringLiteral("imNumber1_0"), Kind::Number},
        {QStringLiteral("送料計算"), QStringLiteral("3辺1"), QStringLiteral("imNumber1_1"), Kind::Number},
        {QStringLiteral("送料計算"), QStringLiteral("3辺2"), QStringLiteral("imNumber1_2"), Kind::Number},
        {QStringLiteral("送料計算"), QStringLiteral("3辺計"), QStringLiteral("Label46"), Kind::Text},
        {QStringLiteral("送料計算"), QStringLiteral("重さ"), QStringLiteral("Combo8"), Kind::List},
        {QStringLiteral("送料計算"), QStringLiteral("条件0"), QStringLiteral("Check1_0"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("条件1"), QStringLiteral("Check1_1"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("発送方法0"), QStringLiteral("ckHOUHOU_0"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("発送方法1"), QStringLiteral("ckHOUHOU_1"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("発送方法2"), QStringLiteral("ckHOUHOU_2"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("発送方法3"), QStringLiteral("ckHOUHOU_3"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("発送方法4"), QStringLiteral("ckHOUHOU_4"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("発送方法5"), QStringLiteral("ckHOUHOU_5"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("発送方法6"), QStringLiteral("ckHOUHOU_6"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("発送方法7"), QStringLiteral("ckHOUHOU_7"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("発送方法8"), QStringLiteral("ckHOUHOU_8"), Kind::Check},
        {QStringLiteral("送料計算"), QStringLiteral("貼付項目"), QStringLiteral("Combo9"), Kind::List},
        {QStringLiteral("送料計算"), QStringLiteral("自動貼付"), QStringLiteral("Check2"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("種類"), QStringLiteral("cmbHTML"), Kind::List},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("マーク"), QStringLiteral("cmbKIGOU_1"), Kind::List},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("商品名"), QStringLiteral("txtSYOUHIN"), Kind::Text},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目0"), QStringLiteral("txtITEM_0"), Kind::Text},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目1"), QStringLiteral("txtITEM_1"), Kind::Text},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目2"), QStringLiteral("txtITEM_2"), Kind::Text},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目3"), QStringLiteral("txtITEM_3"), Kind::Text},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目4"), QStringLiteral("txtITEM_4"), Kind::Text},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目5"), QStringLiteral("txtITEM_5"), Kind::Text},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目6"), QStringLiteral("txtITEM_6"), Kind::Text},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目7"), QStringLiteral("txtITEM_7"), Kind::Text},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目説明0"), QStringLiteral("txtSETUMEI_0"), Kind::MultiLine},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目説明1"), QStringLiteral("txtSETUMEI_1"), Kind::MultiLine},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目説明2"), QStringLiteral("txtSETUMEI_2"), Kind::MultiLine},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目説明3"), QStringLiteral("txtSETUMEI_3"), Kind::MultiLine},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目説明4"), QStringLiteral("txtSETUMEI_4"), Kind::MultiLine},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目説明5"), QStringLiteral("txtSETUMEI_5"), Kind::MultiLine},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目説明6"), QStringLiteral("txtSETUMEI_6"), Kind::MultiLine},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("項目説明7"), QStringLiteral("txtSETUMEI_7"), Kind::MultiLine},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("マイオークションチェック"), QStringLiteral("ckMy"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("マイオークション"), QStringLiteral("Combo6"), Kind::List},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("支払い0"), QStringLiteral("ckSIHARAI_0"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("支払い1"), QStringLiteral("ckSIHARAI_1"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("支払い2"), QStringLiteral("ckSIHARAI_2"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("支払い3"), QStringLiteral("ckSIHARAI_3"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("支払い4"), QStringLiteral("ckSIHARAI_4"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("追加先0"), QStringLiteral("Combo7_0"), Kind::List},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("追加先1"), QStringLiteral("Combo7_1"), Kind::List},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("発送0"), QStringLiteral("ckHSSOU_0"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("発送1"), QStringLiteral("ckHSSOU_1"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("発送2"), QStringLiteral("ckHSSOU_2"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("発送3"), QStringLiteral("ckHSSOU_3"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("発送4"), QStringLiteral("ckHSSOU_4"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("発送5"), QStringLiteral("ckHSSOU_5"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("発送6"), QStringLiteral("ckHSSOU_6"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("発送7"), QStringLiteral("ckHSSOU_7"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("発送8"), QStringLiteral("ckHSSOU_8"), Kind::Check},
        {QStringLiteral("出品ﾌｫｰﾑ作成"), QStringLiteral("発送9"), QStringLiteral("ckHSSOU_9"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("タイトル"), QStringLiteral("txtTitle"), Kind::Text},
        {QStringLiteral("出品手続"), QStringLiteral("説明"), QStringLiteral("txtDescription"), Kind::MultiLine},
        {QStringLiteral("出品手続"), QStringLiteral("かんたん決済"), QStringLiteral("Check16"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("銀行振込"), QStringLiteral("Check17"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("郵便振替"), QStringLiteral("Check18"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("イーバンク"), QStringLiteral("Check19"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("ジャパンネット"), QStringLiteral("Check20"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("みずほ"), QStringLiteral("Check21"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("UFJ"), QStringLiteral("Check22"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("現金書留"), QStringLiteral("Check23"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("商品代引"), QStringLiteral("Check24"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("その他"), QStringLiteral("Check26"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("クレジット"), QStringLiteral("Check25"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("NTT"), QStringLiteral("Check27"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("落札者が負担"), QStringLiteral("optHANBAI_0"), Kind::Option},
        {QStringLiteral("出品手続"), QStringLiteral("出品者が負担"), QStringLiteral("optHANBAI_1"), Kind::Option},
        {QStringLiteral("出品手続"), QStringLiteral("支払い終了時に発送"), QStringLiteral("optHANBAI2_0"), Kind::Option},
        {QStringLiteral("出品手続"), QStringLiteral("ｵｰｸｼｮﾝ終了時に発送"), QStringLiteral("optHANBAI2_1"), Kind::Option},
        {QStringLiteral("出品手続"), QStringLiteral("海外発送する"), QStringLiteral("Check28"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("Yゆうパックで発送可能"), QStringLiteral("Check29"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("ｵｰｸｼｮﾝチェック"), QStringLiteral("Check30"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("イオンレジｵｰｸｼｮﾝ"), QStringLiteral("Check31"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("数量"), QStringLiteral("imNumLite1"), Kind::Number},
        {QStringLiteral("出品手続"), QStringLiteral("開始価格"), QStringLiteral("imNumLite2"), Kind::Number},
        {QStringLiteral("出品手続"), QStringLiteral("期間"), QStringLiteral("Combo1"), Kind::List},
        {QStringLiteral("出品手続"), QStringLiteral("注目のオークション"), QStringLiteral("imNumLite3"), Kind::OptionalNumber},
        {QStringLiteral("出品手続"), QStringLiteral("太字テキスト"), QStringLiteral("Check35"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("背景色"), QStringLiteral("Check36"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("送料無料アイコン"), QStringLiteral("Check37"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("目立ちアイコン"), QStringLiteral("Combo2"), Kind::EyeCatch},
        {QStringLiteral("出品手続"), QStringLiteral("贈答品"), QStringLiteral("Check38"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("即買価格"), QStringLiteral("imNumLite4"), Kind::OptionalNumber},
        {QStringLiteral("出品手続"), QStringLiteral("最低落札価格"), QStringLiteral("imNumLite5"), Kind::OptionalNumber},
        {QStringLiteral("出品手続"), QStringLiteral("入札評価制限"), QStringLiteral("Check39"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("自動延長"), QStringLiteral("Check40"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("早期終了"), QStringLiteral("Check41"), Kind::Check},
        {QStringLiteral("出品手続"), QStringLiteral("希望落札価格"), QStringLiteral("imNumLite6"), Kind::OptionalNumber},
        {QStringLiteral("出品手続"), QStringLiteral("終了時間"), QStringLiteral("Combo3"), Kind::List},
        {QStringLiteral("出品手続"), QStringLiteral("自動再出品"), QStringLiteral("Combo4"), Kind::List},
        {QStringLiteral("出品手続"), QStringLiteral("都道府県"), QStringLiteral("Combo5"), Kind::List},
        {QStringLiteral("出品手続"), QStringLiteral("市町村"), QStringLiteral("Text1"), Kind::Text},
        // The listing's category and pictures: a section of their own, so a file written
        // before them reads as it did, and one written now still reads in an older copy.
        {kListingSection, QStringLiteral("カテゴリ"), QStringLiteral("txtCategory"), Kind::Text},
        {kListingSection, QStringLiteral("カテゴリのアドレス"), QStringLiteral("txtCategoryAddress"), Kind::Text},
        {kListingSection, QStringLiteral("画像1"), QStringLiteral("txtPicture_0"), Kind::Text},
        {kListingSection, QStringLiteral("画像2"), QStringLiteral("txtPicture_1"), Kind::Text},
        {kListingSection, QStringLiteral("画像3"), QStringLiteral("txtPicture_2"), Kind::Text},
    };
    return table;
}

namespace {
// A whole number and nothing else ("3", " 3 "); anything else is no number.
std::optional<int> wholeNumber(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}
}  // namespace

QString written(Kind kind, const QString& value) {
    switch (kind) {
        case Kind::MultiLine: {
            QString v = value;
            return v.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));  // a lone CR or LF stays as it is
        }
        default: return value;
    }
}

std::optional<QString> applied(Kind kind, const QString& fileValue, int listCount) {
    // The characters write() kept as references are the seller's again.
    const QString value = cp932::unescaped(fileValue);
    switch (kind) {
        case Kind::Check: {
            // The number at the start; empty is 0. A state a check box cannot take leaves it.
            const int state = values::leadingInt(value);
            if (state < 0 || state > 2) return std::nullopt;
            return QString::number(state);
        }
        case Kind::Option: {
            const QString v = value.trimmed();
            if (v.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) return QStringLiteral("True");
            if (v.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0) return QStringLiteral("False");
            if (const std::optional<int> n = wholeNumber(v)) return *n != 0 ? QStringLiteral("True") : QStringLiteral("False");
            return std::nullopt;  // no Boolean: the option stays
        }
        case Kind::List: {
            const int index = values::leadingInt(value);  // empty is 0: the first entry
            if (index < -1 || index >= listCount) return std::nullopt;
            return QString::number(index);
        }
        case Kind::EyeCatch: {
            const std::optional<int> index = wholeNumber(value);
            if (!index || *index < -1 || *index >= listCount) return std::nullopt;
            return QString::number(*index);
        }
        case Kind::MultiLine: {
            QString v = value;
            return v.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
        }
        case Kind::Number:
            // Digit for digit: a long number typed into a box comes back as typed, not rounded.
            return values::decimalSum(value, QString());
        case Kind::Text:
        case Kind::OptionalNumber: return value;
    }
    return std::nullopt;
}

void write(IniFile& file, const QMap<QString, QString>& controlValues, QString* unmappable) {
    QMap<QString, QString> all = controlValues;
    for (const Key& key : keys())
        if (!all.contains(key.control)) all.insert(key.control, QString());
    writeSome(file, all, unmappable);
}

void writeSome(IniFile& file, const QMap<QString, QString>& controlValues, QString* unmappable) {
    for (const Key& key : keys()) {
        if (!controlValues.contains(key.control)) continue;
        const QString value = written(key.kind, controlValues.value(key.control));
        if (unmappable) cp932::encode(value, unmappable);
        file.setValue(key.section, key.key, cp932::reversiblyEscaped(value));
    }
}

QMap<QString, QString> read(const IniFile& file) {
    QMap<QString, QString> values;
    for (const Key& key : keys()) {
        bool found = false;
        const QString text = file.value(key.section, key.key, &found);
        if (!found) continue;
        // No list is longer than this: the index is the file's, whatever list it belongs to.
        if (const std::optional<QString> v = applied(key.kind, text, 1000)) values.insert(key.control, *v);
    }
    return values;
}

QString withExtension(const QString& path) { return QFileInfo(path).suffix().isEmpty() ? path + kExtension : path; }

}  // namespace memory
