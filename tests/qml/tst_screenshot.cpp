// Shows the whole scene in a real window: a picture that fails to load or a
// scene left blank shows in a few pixels. The grab stays beside the test as
// scene.png for a look by eye.
#include "standins.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QQuickItem>
#include <QQuickView>
#include <QTest>

namespace {
bool near(QRgb got, QRgb want, int tolerance) {
    return qAbs(qRed(got) - qRed(want)) <= tolerance &&
           qAbs(qGreen(got) - qGreen(want)) <= tolerance &&
           qAbs(qBlue(got) - qBlue(want)) <= tolerance;
}

QImage grab(QQuickView &view) {
    const QImage shot = view.grabWindow().convertToFormat(QImage::Format_RGB32);
    shot.save(QDir(QCoreApplication::applicationDirPath()).filePath("scene.png"));
    return shot;
}

// The backdrop, the title bar, the Save button and the mouse drawn.
bool finished(const QImage &shot) {
    return near(shot.pixel(660, 590), qRgb(0x11, 0x10, 0x11), 6) &&
           near(shot.pixel(600, 45), qRgb(0xcf, 0x3e, 0x00), 40) &&
           near(shot.pixel(938, 610), qRgb(0x09, 0x34, 0x7f), 8) &&
           near(shot.pixel(500, 404), qRgb(0x1e, 0x1e, 0x22), 24);
}
} // namespace

class TstScreenshot : public QObject {
    Q_OBJECT
private slots:
    void windowDrawn();
};

void TstScreenshot::windowDrawn() {
    QQuickView view;
    view.setColor(Qt::black); // what an uncomposited X server shows
    QJSValue ui = publishStandIns(view.engine(), view.rootContext()).property("ui_View");
    const QList<QPair<QString, QJSValue>> globals = {{"mouse/isGun", "true"},
                                                     {"mouse/icType", "553"},
                                                     {"mouse/keyCount", 8},
                                                     {"common/language", "English"}};
    for (const auto &[key, value] : globals)
        ui.property("setGlobalValue").call({key, value});
    const QStringList texts = {
        "Editor", "Macro Editor",          "Gun Editor", "Report Rate", "Config",
        "Reset",  "Reset factory setting", "Cancel",     "OK",          "System setting",
        "Save"};
    ui.property("setLangGroup").call({"main", view.engine()->toScriptValue(texts)});
    view.setSource(QUrl("qrc:/modules/qml/main.qml"));
    QCOMPARE(view.status(), QQuickView::Ready);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QObject *root = view.rootObject();
    QVERIFY(QMetaObject::invokeMethod(root, "initUI"));
    QVERIFY(QMetaObject::invokeMethod(root, "setProtectUI", Q_ARG(QVariant, 0)));
    QTRY_VERIFY(!root->property("busy").toBool());
    QTRY_VERIFY(finished(grab(view)));
}

QTEST_MAIN(TstScreenshot)

#include "tst_screenshot.moc"
