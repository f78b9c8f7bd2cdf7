// Runs the tst_*.qml files of this folder with the recording stand-ins
// published under the names the native side uses.
#include "standins.h"

#include <QQmlEngine>
#include <QtQuickTest>

class SceneSetup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine) {
        // One set per engine; Qt Quick Test makes an engine per test file.
        auto *standIns = new StandIns(engine);
        standIns->publish(engine->rootContext());
        m_keep.append(standIns);
    }
    void cleanupTestCase() {
        qDeleteAll(m_keep);
        m_keep.clear();
    }

private:
    QList<StandIns *> m_keep;
};

QUICK_TEST_MAIN_WITH_SETUP(scene, SceneSetup)

#include "tst_scene.moc"
