// The capture without a usable X server, and the copy-data hand-over the
// shell uses for messages that reach it through its single-instance socket.
#include "input_hooks.h"

#include <QCoreApplication>
#include <QTest>

namespace {

QList<QByteArray> g_copies;

void recordCopyData(unsigned long dwData, const char *data, unsigned int cbData, void *context) {
    g_copies << QByteArray::number(qulonglong(dwData)) + (context ? " " : " no context ") +
                    QByteArray(data, qsizetype(cbData));
}

} // namespace

class TestInputHooks : public QObject {
    Q_OBJECT

private slots:
    void installFailsCleanlyWithoutDisplay() {
        const QByteArray saved = qgetenv("DISPLAY");
        for (const char *display : {"", ":4711"}) {
            qputenv("DISPLAY", display);
            QCOMPARE(InputHooks::install(0) + InputHooks::install(0), 0);
            InputHooks::remove();
            InputHooks::remove(); // with nothing installed
        }
        qputenv("DISPLAY", saved);
    }

    // The callback decides what to show; the hand-over passes every byte on.
    void copyData() {
        int tag = 0;
        QVERIFY(!InputHooks::deliverCopyData(9487, "lost"));
        InputHooks::registerCopyDataCallback(recordCopyData, qApp, &tag);
        const QByteArray text("Gr\xc3\xbc\xc3\x9f\0 \xe4\xb8\xad", 10);
        QVERIFY(InputHooks::deliverCopyData(9487, text));
        QVERIFY(InputHooks::deliverCopyData(1234, QByteArray()));
        InputHooks::registerCopyDataCallback(nullptr, qApp, nullptr);
        QVERIFY(!InputHooks::deliverCopyData(9487, "lost"));
        QCOMPARE(g_copies, QList<QByteArray>({"9487 " + text, "1234 "}));
    }
};

QTEST_GUILESS_MAIN(TestInputHooks)
#include "tst_input_hooks.moc"
