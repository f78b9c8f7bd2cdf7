// The capture without a usable X server: install fails cleanly, and the
// program runs on without capture. (The shell's end-to-end test covers the
// copy-data hand-over.)
#include "input_hooks.h"

#include <QTest>

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
};

QTEST_GUILESS_MAIN(TestInputHooks)
#include "tst_input_hooks.moc"
