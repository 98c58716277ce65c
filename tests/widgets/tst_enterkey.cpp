#include <QtTest>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QWidget>

#include "widgets/EnterKeyFilter.h"

class TestEnterKey : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void enterMovesFocusAndDigitsAreFiltered() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* name = new QLineEdit;
        name->setObjectName(QStringLiteral("txtITEM_0"));
        auto* number = new QLineEdit;
        number->setObjectName(QStringLiteral("imNumLite1"));
        auto* combo = new QComboBox;
        combo->setEditable(true);
        combo->setObjectName(QStringLiteral("cmbHTML"));
        auto* memo = new QPlainTextEdit;
        memo->setObjectName(QStringLiteral("txtSETUMEI_0"));
        auto* other = new QLineEdit;
        other->setObjectName(QStringLiteral("txtITEMX"));  // not a member of txtITEM
        for (QWidget* w : {static_cast<QWidget*>(name), static_cast<QWidget*>(number), static_cast<QWidget*>(combo),
                           static_cast<QWidget*>(memo), static_cast<QWidget*>(other)})
            layout->addWidget(w);
        EnterKeyFilter::install(&window, {QStringLiteral("txtITEM"), QStringLiteral("cmbHTML")});
        EnterKeyFilter::install(&window, {QStringLiteral("imNumLite1")}, EnterKeyFilter::Mode::EnterAndDigits);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("item"));
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(name->text(), QStringLiteral("item"));
        QTRY_VERIFY(number->hasFocus());

        QTest::keyClicks(number, QStringLiteral("1a2-3"));
        QCOMPARE(number->text(), QStringLiteral("123"));
        QTest::keyClick(number, Qt::Key_Backspace);
        QCOMPARE(number->text(), QStringLiteral("12"));
        // A paste must not bring letters in either.
        number->insert(QStringLiteral("x9"));
        QVERIFY(!number->text().contains(QLatin1Char('x')));
        // Editing and leaving keys are not typed characters: they keep working.
        number->setCursorPosition(0);
        QTest::keyClick(number, Qt::Key_Delete);
        QVERIFY(!number->text().startsWith(QLatin1Char('1')));
        QTest::keyClick(number, Qt::Key_Tab);
        QTRY_VERIFY(combo->hasFocus());
        number->setFocus();
        QTRY_VERIFY(number->hasFocus());
        QTest::keyClick(number, Qt::Key_Enter);
        QTRY_VERIFY(combo->hasFocus());

        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QTRY_VERIFY(memo->hasFocus());

        // Multi-line fields keep Enter for new lines.
        QTest::keyClicks(memo, QStringLiteral("a"));
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("b"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("a\nb"));
        QVERIFY(memo->hasFocus());

        other->setFocus();
        QTest::keyClicks(other, QStringLiteral("x"));
        QTest::keyClick(other, Qt::Key_Return);
        QVERIFY(other->hasFocus());
    }
};

QTEST_MAIN(TestEnterKey)
#include "tst_enterkey.moc"
