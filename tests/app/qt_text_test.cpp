#include "app/qt_text.h"

#include <QTest>

#include "core/charset.h"

class QtTextTest : public QObject {
    Q_OBJECT

private slots:
    void toGbkAndBack_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("gbk");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("ascii") << QStringLiteral("abc 123") << QByteArray("abc 123");
        QTest::newRow("chinese") << QString::fromUtf8("岚舟") << QByteArray("\xe1\xb0\xd6\xdb");
        QTest::newRow("line ends kept")
            << QString::fromUtf8("一\r\n二\n") << QByteArray("\xd2\xbb\r\n\xb6\xfe\n");
    }
    void toGbkAndBack() {
        QFETCH(QString, text);
        QFETCH(QByteArray, gbk);
        const std::string bytes = G(text);
        QCOMPARE(QByteArray::fromStdString(bytes), gbk);
        QCOMPARE(Q(bytes), text);
    }

    void charactersWithoutGbkFormBecomeOneQuestionMarkEach_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("back");
        // U+1F600 is a surrogate pair in UTF-16 and four bytes in UTF-8: still one '?'.
        QTest::newRow("emoji") << QString::fromUtf8("好😀") << QString::fromUtf8("好?");
        QTest::newRow("two emoji") << QString::fromUtf8("😀😀") << QStringLiteral("??");
        QTest::newRow("only the line that needs it")
            << QString::fromUtf8("甲\n乙😀丙\n丁") << QString::fromUtf8("甲\n乙?丙\n丁");
        QTest::newRow("trailing line end") << QString::fromUtf8("😀\n") << QStringLiteral("?\n");
        QTest::newRow("korean") << QString::fromUtf8("한a") << QStringLiteral("?a");
    }
    void charactersWithoutGbkFormBecomeOneQuestionMarkEach() {
        QFETCH(QString, text);
        QFETCH(QString, back);
        const std::string bytes = G(text);
        QCOMPARE(Q(bytes), back);
        // Strict GBK: no four-byte GB18030 sequence slipped through.
        QVERIFY(charset::Utf8ToGbkStrict(charset::GbkToUtf8(bytes)).has_value());
    }

    void fourByteSequencesReadBack() {
        // Text inside the system may hold GB18030 four-byte sequences; they show as the
        // characters they are.
        QCOMPARE(Q(charset::Utf8ToGbk("😀")), QString::fromUtf8("😀"));
        QCOMPARE(Q(std::string("\xff")), QString(QChar(0xFFFD)));
    }
};

#include "app_test_support.h"
static RegisterAppTest<QtTextTest> registration;

#include "qt_text_test.moc"
