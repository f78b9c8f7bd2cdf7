// The capture without a usable X server, and the copy-data hand-over the
// shell uses for messages that reach it through its single-instance socket.
#include "input_hooks.h"

#include <QCoreApplication>
#include <QTest>

namespace {

struct {
    int calls = 0;
    unsigned long dwData = 0;
    QByteArray bytes;
    void *context = nullptr;
} g_copy;

void recordCopyData(unsigned long dwData, const char *data, unsigned int cbData, void *context) {
    ++g_copy.calls;
    g_copy.dwData = dwData;
    g_copy.bytes = QByteArray(data, static_cast<qsizetype>(cbData));
    g_copy.context = context;
}

} // namespace

class TestInputHooks : public QObject {
    Q_OBJECT

private slots:
    void installFailsCleanlyWithoutDisplay_data();
    void installFailsCleanlyWithoutDisplay();
    void copyData_data();
    void copyData();
};

void TestInputHooks::installFailsCleanlyWithoutDisplay_data() {
    QTest::addColumn<QByteArray>("display");
    QTest::newRow("unset") << QByteArray();
    QTest::newRow("no server there") << QByteArrayLiteral(":4711");
    QTest::newRow("garbage") << QByteArrayLiteral("not a display");
}

void TestInputHooks::installFailsCleanlyWithoutDisplay() {
    QFETCH(QByteArray, display);
    const QByteArray saved = qgetenv("DISPLAY");
    display.isNull() ? qunsetenv("DISPLAY") : qputenv("DISPLAY", display);
    const int first = InputHooks::install(0);
    const int again = InputHooks::install(0);
    InputHooks::remove();
    InputHooks::remove(); // with nothing installed
    saved.isNull() ? qunsetenv("DISPLAY") : qputenv("DISPLAY", saved);
    QCOMPARE(first, 0);
    QCOMPARE(again, 0);
}

void TestInputHooks::copyData_data() {
    QTest::addColumn<bool>("registered");
    QTest::addColumn<qulonglong>("dwData");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("the program's message")
        << true << 9487ull << QByteArray("Gr\xc3\xbc\xc3\x9f dich \xe4\xb8\xad");
    // The callback decides what to show; the hand-over passes everything on.
    QTest::newRow("another dwData") << true << 1234ull << QByteArray("x");
    QTest::newRow("empty") << true << 9487ull << QByteArray("");
    QTest::newRow("embedded zero byte") << true << 9487ull << QByteArray("ab\0cd", 5);
    QTest::newRow("no callback") << false << 9487ull << QByteArray("hello");
}

void TestInputHooks::copyData() {
    QFETCH(bool, registered);
    QFETCH(qulonglong, dwData);
    QFETCH(QByteArray, bytes);
    g_copy = {};
    int tag = 0;
    InputHooks::registerCopyDataCallback(registered ? recordCopyData : nullptr,
                                         QCoreApplication::instance(), &tag);
    const bool handled = InputHooks::deliverCopyData(static_cast<unsigned long>(dwData), bytes);
    InputHooks::registerCopyDataCallback(nullptr, QCoreApplication::instance(), nullptr);
    QCOMPARE(handled, registered);
    QCOMPARE(g_copy.calls, registered ? 1 : 0);
    if (registered) {
        QCOMPARE(static_cast<qulonglong>(g_copy.dwData), dwData);
        QCOMPARE(g_copy.bytes, bytes);
        QCOMPARE(g_copy.context, static_cast<void *>(&tag));
    }
}

QTEST_GUILESS_MAIN(TestInputHooks)
#include "tst_input_hooks.moc"
