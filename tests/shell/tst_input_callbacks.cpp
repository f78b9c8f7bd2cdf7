#include "input_callbacks.h"

#include <QTest>

using InputCallbacks::copyDataText;
using InputCallbacks::parseInstanceMessage;

class TestInputCallbacks : public QObject {
    Q_OBJECT
private slots:
    void copyDataAcceptance_data() {
        QTest::addColumn<qulonglong>("dwData");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("cbData");
        QTest::addColumn<QString>("text");

        // A null text means the block is refused.
        auto row = [](const char *name, qulonglong id, const QByteArray &block, int cbData,
                      const QString &text) {
            QTest::newRow(name) << id << block << cbData << text;
        };
        const QByteArray chinese = QStringLiteral("鼠标设置").toUtf8();
        row("ascii", 9487, "hello", 5, "hello");
        row("multi-byte counted in bytes", 9487, chinese, int(chinese.size()), "鼠标设置");
        row("characters instead of bytes", 9487, chinese, 4, {});
        row("other id", 9488, "hello", 5, {});
        row("zero inside the block", 9487, QByteArray("hel\0lo", 6), 6, {});
        row("invalid utf-8", 9487, "a\xff\xfe", 3, {});
    }
    void copyDataAcceptance() {
        QFETCH(qulonglong, dwData);
        QFETCH(QByteArray, block);
        QFETCH(int, cbData);
        QFETCH(QString, text);

        const std::optional<QString> result = copyDataText(
            static_cast<unsigned long>(dwData), block.isEmpty() ? nullptr : block.constData(),
            static_cast<unsigned int>(cbData));
        QCOMPARE(result.has_value(), !text.isNull());
        QCOMPARE(result.value_or(QString()), text);
    }
    void instanceMessages_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<qulonglong>("dwData");
        QTest::addColumn<QByteArray>("data");

        // A null data means the message is a restore request.
        auto row = [](const char *name, const char *message, qulonglong id, const char *data) {
            QTest::newRow(name) << QString::fromUtf8(message) << id << QByteArray(data);
        };
        row("empty: restore", "", 0, nullptr);
        row("copy data", "copydata:9487:hi: there", 9487, "hi: there");
        row("id not a number", "copydata:abc:x", 0, nullptr);
        row("no text separator", "copydata:9487", 0, nullptr);
    }
    void instanceMessages() {
        QFETCH(QString, message);
        QFETCH(qulonglong, dwData);
        QFETCH(QByteArray, data);

        const InputCallbacks::InstanceMessage m = parseInstanceMessage(message);
        QCOMPARE(m.isCopyData, !data.isNull());
        if (m.isCopyData) {
            QCOMPARE(qulonglong(m.dwData), dwData);
            QCOMPARE(m.data, data);
        }
    }
};

QTEST_MAIN(TestInputCallbacks)
#include "tst_input_callbacks.moc"
