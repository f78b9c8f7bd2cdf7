// The capture's behaviour without a usable X server, and the copy-data
// hand-over the shell uses for messages from a second start.
#include "input_hooks.h"

#include <QCoreApplication>
#include <QTest>

namespace {

struct CopyData {
    int calls = 0;
    unsigned long dwData = 0;
    QByteArray bytes;
    void *context = nullptr;
};
CopyData g_copy;

void recordCopyData(unsigned long dwData, const char *data, unsigned int cbData, void *context) {
    ++g_copy.calls;
    g_copy.dwData = dwData;
    g_copy.bytes = QByteArray(data, static_cast<qsizetype>(cbData));
    g_copy.context = context;
}

int g_keyCalls = 0;
void countKey(int, bool, void *) {
    ++g_keyCalls;
}

} // namespace

class TestInputHooks : public QObject {
    Q_OBJECT

private slots:
    void installFailsCleanlyWithoutDisplay_data();
    void installFailsCleanlyWithoutDisplay();
    void copyData_data();
    void copyData();
    void copyDataWithoutCallback();
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
    if (display.isNull())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", display);
    InputHooks::registerKeyboardCallback(countKey, this);
    const int result = InputHooks::install(0);
    // Twice in a row, and remove with nothing installed, must be harmless.
    const int again = InputHooks::install(0);
    InputHooks::remove();
    InputHooks::remove();
    InputHooks::registerKeyboardCallback(nullptr, nullptr);
    if (saved.isNull())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", saved);
    QCOMPARE(result, 0);
    QCOMPARE(again, 0);
    QCOMPARE(g_keyCalls, 0);
}

void TestInputHooks::copyData_data() {
    QTest::addColumn<qulonglong>("dwData");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("the program's own message")
        << 9487ull << QByteArray("Gr\xc3\xbc\xc3\x9f dich \xe4\xb8\xad");
    // The callback decides what to show; the hand-over passes everything on.
    QTest::newRow("another dwData") << 1234ull << QByteArray("x");
    QTest::newRow("empty") << 9487ull << QByteArray("");
    QTest::newRow("embedded zero byte") << 9487ull << QByteArray("ab\0cd", 5);
}

void TestInputHooks::copyData() {
    QFETCH(qulonglong, dwData);
    QFETCH(QByteArray, bytes);
    g_copy = CopyData();
    int tag = 0;
    InputHooks::registerCopyDataCallback(recordCopyData, QCoreApplication::instance(), &tag);
    const bool handled = InputHooks::deliverCopyData(static_cast<unsigned long>(dwData), bytes);
    InputHooks::registerCopyDataCallback(nullptr, QCoreApplication::instance(), nullptr);
    QVERIFY(handled);
    QCOMPARE(g_copy.calls, 1);
    QCOMPARE(static_cast<qulonglong>(g_copy.dwData), dwData);
    QCOMPARE(g_copy.bytes, bytes);
    QCOMPARE(g_copy.context, static_cast<void *>(&tag));
}

void TestInputHooks::copyDataWithoutCallback() {
    g_copy = CopyData();
    InputHooks::registerCopyDataCallback(nullptr, QCoreApplication::instance(), nullptr);
    QVERIFY(!InputHooks::deliverCopyData(9487, QByteArray("hello")));
    QCOMPARE(g_copy.calls, 0);
}

QTEST_GUILESS_MAIN(TestInputHooks)
#include "tst_input_hooks.moc"
