// Shows the whole scene in a real window, lets the start-up interval run
// out, grabs the window and checks a few pixels of the finished look. The
// grab is kept as scene.png beside the test for a look by eye.
#include "standins.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QMetaObject>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickView>
#include <QTest>

class TstScreenshot : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void startUpShowsOnlyTheLogo();
    void pixels_data();
    void pixels();

private:
    QImage m_startUp;
    QImage m_shot;
};

namespace {
bool near(QRgb got, QRgb want, int tolerance) {
    return qAbs(qRed(got) - qRed(want)) <= tolerance &&
           qAbs(qGreen(got) - qGreen(want)) <= tolerance &&
           qAbs(qBlue(got) - qBlue(want)) <= tolerance;
}
} // namespace

void TstScreenshot::initTestCase() {
    auto *standIns = new StandIns(this);
    standIns->view->setGlobalValue("mouse/isGun", "true");
    standIns->view->setGlobalValue("mouse/icType", "553");
    standIns->view->setGlobalValue("mouse/keyCount", 8);
    standIns->view->setGlobalValue("common/language", "English");
    standIns->view->setLangGroup("main", {"Editor", "Macro Editor", "Gun Editor", "Report Rate",
                                          "Config", "Reset", "Reset factory setting", "Cancel",
                                          "OK", "System setting", "Save", "", "", "", ""});

    auto *view = new QQuickView;
    connect(this, &QObject::destroyed, view, &QObject::deleteLater);
    view->setColor(Qt::black); // what an uncomposited X server shows
    standIns->publish(view->rootContext());
    view->setSource(QUrl("qrc:/modules/qml/main.qml"));
    QVERIFY2(view->status() == QQuickView::Ready, "main.qml did not load");
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QVERIFY(QMetaObject::invokeMethod(view->rootObject(), "initUI", Qt::QueuedConnection));
    QTest::qWait(300);
    m_startUp = view->grabWindow().convertToFormat(QImage::Format_RGB32);
    QTest::qWait(1200);
    QTRY_VERIFY(!view->rootObject()->property("busy").toBool());

    m_shot = view->grabWindow().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(m_shot.size(), QSize(1024, 640));
    const QString file = QDir(QCoreApplication::applicationDirPath()).filePath("scene.png");
    QVERIFY(m_shot.save(file));
    qInfo("screenshot saved as %s", qPrintable(file));
}

void TstScreenshot::startUpShowsOnlyTheLogo() {
    QCOMPARE(m_startUp.size(), QSize(1024, 640));
    // Outside the 540 x 425 logo nothing is drawn yet.
    for (const QPoint p : {QPoint(10, 10), QPoint(100, 600), QPoint(1000, 300), QPoint(600, 45)})
        QVERIFY2(near(m_startUp.pixel(p), qRgb(0, 0, 0), 2), qPrintable(QString::number(p.x())));
    int orange = 0;
    for (int y = 108; y < 532; ++y)
        for (int x = 242; x < 782; ++x)
            orange += near(m_startUp.pixel(x, y), qRgb(0xcf, 0x3e, 0x00), 30) ? 1 : 0;
    QVERIFY2(orange > 1000, qPrintable(QString::number(orange)));
    m_startUp.save(QDir(QCoreApplication::applicationDirPath()).filePath("startup.png"));
}

void TstScreenshot::pixels_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("tolerance");
    // panel margins, free of anything the pages draw
    QTest::newRow("key matrix panel") << QPoint(27, 200) << qRgb(0, 0, 0) << 2;
    QTest::newRow("DPI panel") << QPoint(790, 200) << qRgb(0, 0, 0) << 2;
    QTest::newRow("lighting panel") << QPoint(775, 530) << qRgb(0, 0, 0) << 2;
    // the backdrop is drawn (an uncovered window would be pure black)
    QTest::newRow("background") << QPoint(660, 590) << qRgb(0x11, 0x10, 0x11) << 6;
    QTest::newRow("background left") << QPoint(300, 560) << qRgb(0x13, 0x12, 0x13) << 6;
    QTest::newRow("title bar accent") << QPoint(600, 45) << qRgb(0xcf, 0x3e, 0x00) << 40;
    QTest::newRow("save button") << QPoint(938, 610) << qRgb(0x09, 0x34, 0x7f) << 8;
    QTest::newRow("mouse shell") << QPoint(500, 404) << qRgb(0x1e, 0x1e, 0x22) << 24;
}

void TstScreenshot::pixels() {
    QFETCH(QPoint, at);
    QFETCH(QRgb, colour);
    QFETCH(int, tolerance);
    const QRgb got = m_shot.pixel(at);
    QVERIFY2(near(got, colour, tolerance),
             qPrintable(QStringLiteral("%1,%2 is #%3")
                            .arg(at.x())
                            .arg(at.y())
                            .arg(got & 0xffffff, 6, 16, QLatin1Char('0'))));
}

QTEST_MAIN(TstScreenshot)

#include "tst_screenshot.moc"
