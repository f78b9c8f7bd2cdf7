// Runs the tst_*.qml files of this folder with the recording stand-ins.
#include "standins.h"

#include <QtQuickTest>

class SceneSetup : public QObject {
    Q_OBJECT
public slots:
    // Qt Quick Test makes an engine per test file; each gets its own set.
    void qmlEngineAvailable(QQmlEngine *engine) { publishStandIns(engine, engine->rootContext()); }
};

QUICK_TEST_MAIN_WITH_SETUP(scene, SceneSetup)

#include "tst_scene.moc"
