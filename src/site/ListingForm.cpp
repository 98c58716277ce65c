#include "site/ListingForm.h"

#include "site/SiteFacts.h"

namespace site {

const QList<FormField>& formFields() {
    static const QList<FormField> fields = [] {
        QList<FormField> f{{QStringLiteral("タイトル"), FieldKind::Text}, {QStringLiteral("説明"), FieldKind::Text}};
        for (const char* m : {"かんたん決済", "銀行振込", "郵便振替", "イーバンク銀行決済", "ジャパンネットバンク決済", "みずほ銀行決済",
                              "UFJ銀行決済", "現金書留", "商品代引", "クレジットカード", "その他", "NTTコム・セーフティパス決済"})
            f.append({QString::fromUtf8(m), FieldKind::Check});
        f.append({QStringLiteral("送料負担"), FieldKind::Option});
        f.append({QStringLiteral("発送時期"), FieldKind::Option});
        f.append({QStringLiteral("海外発送"), FieldKind::Check});
        f.append({QStringLiteral("Yahoo!ゆうパック"), FieldKind::Check});
        f.append({QStringLiteral("都道府県"), FieldKind::List});
        f.append({QStringLiteral("市区町村"), FieldKind::Text});
        f.append({QStringLiteral("オークションチェック"), FieldKind::Check});
        f.append({QStringLiteral("イオンレジオークション"), FieldKind::Check});
        f.append({QStringLiteral("数量"), FieldKind::Text});
        f.append({QStringLiteral("開始価格"), FieldKind::Text});
        f.append({QStringLiteral("期間"), FieldKind::List});
        f.append({QStringLiteral("注目のオークション"), FieldKind::Text});
        for (const char* m : {"太字テキスト", "背景色", "送料無料アイコン"}) f.append({QString::fromUtf8(m), FieldKind::Check});
        f.append({QStringLiteral("目立ちアイコン"), FieldKind::List});
        f.append({QStringLiteral("贈答品アイコン"), FieldKind::Check});
        f.append({QStringLiteral("即買価格"), FieldKind::Text});
        f.append({QStringLiteral("最低落札価格"), FieldKind::Text});
        for (const char* m : {"入札者評価制限", "自動延長", "早期終了"}) f.append({QString::fromUtf8(m), FieldKind::Check});
        f.append({QStringLiteral("希望落札価格"), FieldKind::Text});
        f.append({QStringLiteral("終了時間"), FieldKind::List});
        f.append({QStringLiteral("自動再出品"), FieldKind::List});
        return f;
    }();
    return fields;
}

const FormField* formField(const QString& meaning) {
    for (const FormField& f : formFields())
        if (f.meaning == meaning) return &f;
    return nullptr;
}

QString fieldElement(const QString& meaning) { return fact(kForm, meaning); }
int fieldScroll(const QString& meaning) { return fact(kForm, meaning + QStringLiteral(".位置")).toInt(); }
QStringList fieldOptions(const QString& meaning) { return factList(kForm, meaning + QStringLiteral(".選択肢")); }
QString fieldNoChoice(const QString& meaning) { return fact(kForm, meaning + QStringLiteral(".未選択")); }

QString continueButtonName() { return fact(kForm, QStringLiteral("続けるボタン")); }
QString continueButtonText() { return fact(kForm, QStringLiteral("続けるボタンの表示")); }
int pageScroll() { return fact(kForm, QStringLiteral("ページの位置")).toInt(); }

QString uploadPageTitle() { return fact(kUpload, QStringLiteral("題名")); }
int uploadPageScroll() { return fact(kUpload, QStringLiteral("位置")).toInt(); }
QString uploadSelectButton() { return fact(kUpload, QStringLiteral("選択ボタン")); }
int tabsToFileField() { return fact(kUpload, QStringLiteral("ファイル欄までのTab")).toInt(); }
int tabsToUploadButton() { return fact(kUpload, QStringLiteral("送信ボタンまでのTab")).toInt(); }

QString finalButtonText() { return fact(kConfirm, QStringLiteral("同意ボタンの表示")); }
int finalButtonScroll() { return fact(kConfirm, QStringLiteral("位置")).toInt(); }

QString formSendButton() { return fact(kForm, QStringLiteral("送信ボタン")); }
QString categoryPathLabel() { return fact(kForm, QStringLiteral("カテゴリの表示")); }

QString categoryPathIn(const QString& pageText) {
    const QString label = categoryPathLabel();
    if (label.isEmpty()) return QString();
    const qsizetype at = pageText.indexOf(label);
    if (at < 0) return QString();
    const qsizetype from = at + label.size();
    qsizetype end = pageText.indexOf(QLatin1Char('\n'), from);
    if (end < 0) end = pageText.size();
    return pageText.mid(from, end - from).trimmed();
}

QString uploadedMark() { return fact(kUpload, QStringLiteral("アップロード済みの印")); }
QString toConfirmLink() { return fact(kUpload, QStringLiteral("確認画面へ")); }
int maxPictures() { return fact(kUpload, QStringLiteral("枚数の上限")).toInt(); }
qint64 maxPictureBytes() { return fact(kUpload, QStringLiteral("1枚の上限")).toLongLong(); }
QString pictureRule() { return fact(kUpload, QStringLiteral("上限の文言")); }

QString confirmPageTitle() { return fact(kConfirm, QStringLiteral("題名")); }
QString confirmTable() { return fact(kConfirm, QStringLiteral("内容の表")); }
QString finishedPageTitle() { return fact(kFinished, QStringLiteral("題名")); }
QString auctionIdElement() { return fact(kFinished, QStringLiteral("オークションID")); }

}  // namespace site
