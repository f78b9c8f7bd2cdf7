#include "input_callbacks.h"

#include <QTest>

using InputCallbacks::copyDataText;
using InputCallbacks::parseInstanceMessage;

class TestInputCallbacks : public QObject {
    Q_OBJECT
private slots:
    void copyDataAcceptance_data();
    void copyDataAcceptance();
    void instanceMessages_data();
    void instanceMessages();
};

void TestInputCallbacks::copyDataAcceptance_data() {
    QTest::addColumn<qulonglong>("dwData");
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("cbData");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("text");

    const QByteArray hello("hello");
    const QByteArray chinese = QStringLiteral("鼠标设置").toUtf8();
    QTest::newRow("ascii") << 9487ull << hello << int(hello.size()) << true
                           << QStringLiteral("hello");
    QTest::newRow("multi-byte counted in bytes")
        << 9487ull << chinese << int(chinese.size()) << true << QStringLiteral("鼠标设置");
    QTest::newRow("characters instead of bytes")
        << 9487ull << chinese << int(QStringLiteral("鼠标设置").size()) << false << QString();
    QTest::newRow("other id") << 9488ull << hello << int(hello.size()) << false << QString();
    QTest::newRow("id zero") << 0ull << hello << int(hello.size()) << false << QString();
    QTest::newRow("at most cbData bytes read")
        << 9487ull << hello << 3 << true << QStringLiteral("hel");
    QTest::newRow("zero inside the block")
        << 9487ull << QByteArray("hel\0lo", 6) << 6 << false << QString();
    QTest::newRow("trailing zero counted")
        << 9487ull << QByteArray("hello\0", 6) << 6 << false << QString();
    QTest::newRow("invalid utf-8") << 9487ull
                                   << QByteArray("a\xff\xfe"
                                                 "b")
                                   << 4 << false << QString();
    QTest::newRow("empty") << 9487ull << QByteArray() << 0 << true << QString();
    QTest::newRow("markup stays text")
        << 9487ull << QByteArray("<b>x</b>") << 8 << true << QStringLiteral("<b>x</b>");
}

void TestInputCallbacks::copyDataAcceptance() {
    QFETCH(qulonglong, dwData);
    QFETCH(QByteArray, block);
    QFETCH(int, cbData);
    QFETCH(bool, shown);
    QFETCH(QString, text);

    const std::optional<QString> result = copyDataText(
        static_cast<unsigned long>(dwData), block.isEmpty() ? nullptr : block.constData(),
        static_cast<unsigned int>(cbData));
    QCOMPARE(result.has_value(), shown);
    if (shown)
        QCOMPARE(*result, text);
}

void TestInputCallbacks::instanceMessages_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("isCopyData");
    QTest::addColumn<qulonglong>("dwData");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("empty: restore") << QString() << false << 0ull << QByteArray();
    QTest::newRow("plain text: restore")
        << QStringLiteral("hello") << false << 0ull << QByteArray();
    QTest::newRow("copy data") << QStringLiteral("copydata:9487:hi there") << true << 9487ull
                               << QByteArray("hi there");
    QTest::newRow("text keeps its colons")
        << QStringLiteral("copydata:9487:a:b:c") << true << 9487ull << QByteArray("a:b:c");
    QTest::newRow("utf-8 bytes") << QStringLiteral("copydata:9487:鼠") << true << 9487ull
                                 << QStringLiteral("鼠").toUtf8();
    QTest::newRow("other id passed on")
        << QStringLiteral("copydata:1:x") << true << 1ull << QByteArray("x");
    QTest::newRow("empty text") << QStringLiteral("copydata:9487:") << true << 9487ull
                                << QByteArray();
    QTest::newRow("id not a number")
        << QStringLiteral("copydata:abc:x") << false << 0ull << QByteArray();
    QTest::newRow("negative id") << QStringLiteral("copydata:-1:x") << false << 0ull
                                 << QByteArray();
    QTest::newRow("id too large") << QStringLiteral("copydata:4294967296:x") << false << 0ull
                                  << QByteArray();
    QTest::newRow("no text separator")
        << QStringLiteral("copydata:9487") << false << 0ull << QByteArray();
    QTest::newRow("prefix case matters")
        << QStringLiteral("COPYDATA:9487:x") << false << 0ull << QByteArray();
}

void TestInputCallbacks::instanceMessages() {
    QFETCH(QString, message);
    QFETCH(bool, isCopyData);
    QFETCH(qulonglong, dwData);
    QFETCH(QByteArray, data);

    const InputCallbacks::InstanceMessage m = parseInstanceMessage(message);
    QCOMPARE(m.isCopyData, isCopyData);
    if (isCopyData) {
        QCOMPARE(qulonglong(m.dwData), dwData);
        QCOMPARE(m.data, data);
    }
}

QTEST_MAIN(TestInputCallbacks)
#include "tst_input_callbacks.moc"
