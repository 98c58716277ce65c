// The fields a listing form did not take, as the seller is told of them.
#include <QtTest>

#include "listing/form/FormCheck.h"

using namespace listing;

class TestFormCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theFieldsAFormDidNotTake() {
        // A page without any of the fields is no form: nothing to report.
        const FormCheck none = checkForm({{QStringLiteral("txtTitle"), Reach::Missing}, {QStringLiteral("Check16"), Reach::Missing}});
        QVERIFY(!none.formPage);
        QVERIFY(formCheckLines(none).isEmpty());

        // The eye-catch list is written twice: one write that reached is enough.
        const FormCheck check = checkForm({{QStringLiteral("txtTitle"), Reach::Reached},
                                           {QStringLiteral("imNumLite1"), Reach::Missing},
                                           {QStringLiteral("Combo2"), Reach::Missing},
                                           {QStringLiteral("imNumLite5"), Reach::Missing},
                                           {QStringLiteral("Check16"), Reach::NoAnswer},
                                           {QStringLiteral("Combo2"), Reach::Reached},
                                           {QStringLiteral("imNumLite5"), Reach::Missing}});
        QVERIFY(check.formPage);
        QCOMPARE(formCheckLines(check),
                 (QStringList{QStringLiteral("数量：ページに項目がありません"), QStringLiteral("最低落札価格：ページに項目がありません"),
                              QStringLiteral("Yahoo!かんたん決済：ページが応答しませんでした")}));
        QCOMPARE(caption(QStringLiteral("optHANBAI2")), QStringLiteral("発送時期"));
        QCOMPARE(caption(QStringLiteral("Check41")), QStringLiteral("早期終了"));
    }
};

QTEST_GUILESS_MAIN(TestFormCheck)
#include "tst_formcheck.moc"
