#include "controller_test_support.h"

#include "file_ops.h"
#include "hid_thread.h"
#include "macro_files.h"
#include "myqquickview.h"

#include <QJSEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ctrltest;

namespace {

// Every file dialog answers g_answer; the warnings shown are counted.
QString g_answer;
int g_warnings = 0;

} // namespace

class TestControllerFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        myQQuickView::setFileDialogProvider([](auto...) { return g_answer; });
        myQQuickView::setWarningProvider([](auto...) { ++g_warnings; });
    }
    void crashMidWriteKeepsProfileWhole(); // first: forks before any view starts threads
    void profiles();
    void macros();
    void gunsNamesTextsAndScene();
};

// A crash or a full disk in the middle of replacing a profile leaves the old
// one whole, and the full disk is reported.
void TestControllerFiles::crashMidWriteKeepsProfileWhole() {
    Sandbox box;
    writeProfile(box.path("big.pf"), 55);
    writeIni(box.path("big.pf"), {{"pad/x", QString(8000, 'x')}});
    const QByteArray before = readFile(profilePath(0));
    for (const bool diskFull : {false, true}) {
        const pid_t child = fork();
        if (child == 0) {
            // Past 4 KiB a write kills the process, or fails as on a full disk.
            const rlimit limit{4096, 4096}, noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, diskFull ? SIG_IGN : SIG_DFL);
            _exit(FileOps::replaceWithCopy(box.path("big.pf"), profilePath(0)) ? 1 : 0);
        }
        int status = 0;
        bool ended = false; // the condition is evaluated again after the wait
        QTRY_VERIFY(ended || (ended = waitpid(child, &status, WNOHANG) == child));
        if (diskFull)
            QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0,
                     "a short write reported as done");
        else
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
        QCOMPARE(readFile(profilePath(0)), before);
    }
}

void TestControllerFiles::profiles() {
    Sandbox box;
    // What the scene stores reaches the files in a form a later run reads back.
    {
        myQQuickView view;
        view.setCurrentProfile(3);
        for (int bad : {-1, 10})
            view.setCurrentProfile(bad);
        view.setData("mouse/reportRate", 33);
        QCOMPARE(view.getData("mouse/reportRate", true).toInt(), 99); // the factory profile
        QCOMPARE(view.getXYSensitive(0).toInt(), 4); // unset: the neutral sensitivity
        // The scene passes JS arrays, which reach a QVariant slot wrapped.
        QJSEngine engine;
        QJSEngine::setObjectOwnership(&view, QJSEngine::CppOwnership);
        engine.globalObject().setProperty("ui_View", engine.newQObject(&view));
        QVERIFY(!engine
                     .evaluate("ui_View.setGlobalData('mouse/selectGun', [3, 4, 5]);"
                               "ui_View.setSelectGun(1, ['AKM', 'M4'])")
                     .isError());
    }
    const QByteArray profile = readFile(profilePath(3));
    QVERIFY(profile.contains("reportRate=33") && profile.contains("1=AKM, M4"));
    QVERIFY(readFile("./modules/setting/apConfig.bin").contains("selectGun=3, 4, 5"));

    g_warnings = 0;
    myQQuickView view;
    view.setCurrentProfile(2);
    view.setData("mouse/unsaved", 1);
    view.resetProfile(2);
    QCoreApplication::processEvents(); // no late write-back may undo it
    QCOMPARE(readFile(profilePath(2)), readFile("./modules/setting/pD.bin"));
    QVERIFY(!view.getData("mouse/unsaved", false).isValid());

    view.setCurrentProfile(1);
    view.setData("mouse/reportRate", 42); // not yet on disk, still copied
    view.copyProfile(4, 1);
    view.setCurrentProfile(4);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 42);

    // Out-of-range numbers and a missing source change nothing.
    const QByteArray p1 = readFile(profilePath(0));
    view.resetProfile(10);
    view.copyProfile(-3, 0);
    QFile::remove("./modules/setting/pD.bin");
    view.resetProfile(0);
    QCOMPARE(readFile(profilePath(0)), p1);
    view.setCurrentProfile(0);

    // Import: cancelled, missing, and files that are no profile: nothing changes.
    writeFile(box.path("binary.pf"), QByteArray("\x01\x02garbage\x00\xff", 11));
    writeFile(box.path("text.pf"), "[mouse]\ndpiValueArray=1, 2\n");
    for (const char *bad : {"", "none.pf", "binary.pf", "text.pf"}) {
        g_answer = *bad ? box.path(bad) : QString();
        QVERIFY2(!view.loadProfile(0), bad);
    }
    QCOMPARE(g_warnings, 3);
    QCOMPARE(readFile(profilePath(0)), p1);
    g_answer = box.path("in.pf");
    writeProfile(g_answer, 55);
    QVERIFY(view.loadProfile(0));
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 55);

    g_answer = box.path("out.pf");
    writeFile(g_answer, QByteArray(5000, 'x'));
    view.setData("mouse/reportRate", 2); // what the user sees goes out
    view.saveProfile(0);
    QVERIFY(readFile(g_answer).contains("reportRate=2"));
    QCOMPARE(readFile(g_answer), readFile(profilePath(0)));
}

void TestControllerFiles::macros() {
    Sandbox box;
    for (int n = 0; n < 10; ++n)
        writeIni(profilePath(n), {{"mouseMacroKey/3", "Old"},
                                  {"mouseMacroKey/11", "Old"},
                                  {"mouseKeyMatrix/3", QVariantList{4, 0, 3, 0}},
                                  {"mouseKeyMatrix/5", QVariantList{4, 0, 11, 0}},
                                  {"mouseKeyMatrix/7", QVariantList{2, 0, 3, 0}}});
    g_warnings = 0;
    myQQuickView view;
    QCOMPARE(view.saveMacroIni("M", {"1,A"}, 1), QVariant(false)); // no file: nothing created
    QCOMPARE(view.createMacroIni("M", 0), QVariant(true));
    QCOMPARE(view.loadMacroIni("M"), QStringList{"1"});
    QCOMPARE(view.saveMacroIni("M", {"1,A", "0,50", "2,A", "3,MS-L"}, 300), QVariant(true));
    QCOMPARE(view.saveMacroIni("M", {"1,B"}, "2"), QVariant(true)); // old steps go
    QCOMPARE(view.loadMacroIni("M"), (QStringList{"1,B", "2"}));
    // A damaged count loads the steps that are there, without a loop over it.
    writeFile("./modules/macro/Big.bin",
              "[config]\ntotal=2147483647\nrepeat=2\n[macro]\n0=\"1,A\"\n1=\"2,A\"\n");
    QCOMPARE(view.loadMacroIni("Big"), (QStringList{"1,A", "2,A", "2"}));
    QVERIFY(view.deleteMacroIni("Big").toBool() && !view.deleteMacroIni("Big").toBool());

    // Names become file names: none may reach outside the macro folder.
    for (const char *n :
         {"../evil", "a/b", "a\\b", "/tmp/evil", "", "a\nb", "C:x", "con", "name."}) {
        QVERIFY2(!view.createMacroIni(n, 0).toBool(), n);
        QVERIFY(!view.saveMacroIni(n, {"1,A"}, 1).toBool());
        QVERIFY(!view.modifyMacroNameUpdateProfile("M", n).toBool());
    }
    QCOMPARE(QDir(box.path("modules")).entryList(QDir::Files), QStringList());
    QVERIFY(!QFile::exists("/tmp/evil.bin"));

    // Import: a file too big or too long for a macro, or none, is refused whole.
    const QByteArray macro = "[config]\ntotal=1\nrepeat=4\n[macro]\n0=\"1,B\"\n";
    const std::pair<QByteArray, bool> files[] = {
        {"[config]\ntotal=1025\n", false},
        {"[config]\ntotal=-1\n", false},
        {"[mouse]\nreportRate=3\n", false},
        {macro + QByteArray(MacroFiles::kMaxFileBytes, '\n'), false},
        {"[config]\ntotal=1024\n", true},
        {macro, true}};
    g_answer = box.path("in.mc");
    for (const auto &[content, accepted] : files) {
        writeFile(g_answer, content);
        QVERIFY2(view.loadMacroFile("M") == accepted, content.left(20).constData());
        QCOMPARE(readFile("./modules/macro/M.bin") == content, accepted);
    }
    QCOMPARE(g_warnings, 4);
    QCOMPARE(view.loadMacroIni("M"), (QStringList{"1,B", "4"}));
    g_answer = box.path("out.mc");
    view.saveMacroFile("M");
    view.saveMacroFile("Nothing"); // no such macro: the target stays
    QCOMPARE(readFile(g_answer), macro);

    // A rename follows in the profiles the interface offers; buttons playing
    // a deleted macro go back to their factory function there.
    view.createMacroIni("Old", 0);
    QCOMPARE(view.modifyMacroNameUpdateProfile("Old", "New"), QVariant(true));
    view.deleteMacroUpdateProfile("New");
    for (int n = 0; n < 10; ++n) {
        view.setCurrentProfile(n);
        const bool shown = n < 6;
        QCOMPARE(view.getData("mouseMacroKey/11", false).toString(), shown ? "New" : "Old");
        QCOMPARE(view.mouseGetKeydefine(3, false) == view.mouseGetKeydefine(3, true), shown);
        QCOMPARE(view.mouseGetKeydefine(5, false) == view.mouseGetKeydefine(5, true), shown);
        QCOMPARE(view.mouseGetKeydefine(7, false), (QVariantList{"2", "0", "3", "0"}));
    }
    view.createMacroIni("Other", 0);
    QCOMPARE(view.modifyMacroNameUpdateProfile("New", "Other"), QVariant(false));
    view.setCurrentProfile(0); // a refused rename leaves the buttons on their macro
    QCOMPARE(view.getData("mouseMacroKey/11", false).toString(), "New");
    QCOMPARE(QDir("./modules/macro").entryList(QDir::Files),
             (QStringList{"M.bin", "New.bin", "Other.bin"}));
}

void TestControllerFiles::gunsNamesTextsAndScene() {
    Sandbox box;
    myQQuickView view;
    writeFile("./modules/gun/gunData.bin", "[gunData]\n");
    view.mouseSaveGundata(0, {"M416", "L-Click", 10, 0, 10, 0, "extra"});
    QCOMPARE(view.getGunData(0), (QVariantList{"M416", "L-Click", "10", "0", "10", "0"}));
    view.modifyGundata(1, {"Sniper", "R-Click", 20, 1, 2, 3, "Old"});
    view.modifyGundata(1, {"Sniper2", "R-Click", 20, 1, 2, 3, "Sniper"}); // a rename
    QCOMPARE(view.getGunData("Sniper2"), (QVariantList{"R-Click", "20", "1", "2", "3"}));
    QCOMPARE(view.getGunDataKey(), (QStringList{"0", "Sniper2"}));
    view.modifyGundata(0, {"Sniper2"});
    QCOMPARE(view.getGunDataKey(), (QStringList{"0"}));

    view.updataNameList(0, {"A"}); // one name still reads back as a list
    view.updataNameList("2", {"Game0", "Work11"});
    QCOMPARE(view.getNameList(0), (QVariantList{"A", "loadervortex"}));
    QCOMPARE(view.getNameList(2), (QVariantList{"Game0", "Work11"}));

    writeFile("./modules/i18n/T.ini",
              QString::fromUtf8("[main]\ntotal=3\n0=Save\n1=\"DPI, Stage\"\n2=保存\n[other]\n"
                                "total=9\n0=o0\n1=o1\n2=o2\n3=o3\n4=o4\n5=o5\n6=o6\n7=o7\n8=o8\n")
                  .toUtf8());
    writeFile("./modules/i18n/S.ini", "[other]\ntotal=2\n0=q0\n1=q1\n");
    QCOMPARE(view.getLangStrings("main", "T"),
             (QStringList{"Save", "DPI, Stage", QString::fromUtf8("保存")}));
    QVERIFY(view.getLangStrings("main", "../i18n/T").isEmpty());
    // The "other" texts become the eight DPI stage notices.
    view.getLangStrings("other", "T");
    view.getLangStrings("other", "S"); // too short: the rest keep their texts
    QCOMPARE(Hid_Thread::notificationTexts(),
             (QStringList{"q0", "q1", "o2", "o3", "o4", "o5", "o6", "o7"}));

    // The mouse's DPI events come from the reader thread; the scene hears of
    // them on its own thread.
    writeFile(box.path("scene.qml"),
              "import QtQuick 2.0\nItem {\n property var calls: []\n"
              " function setCurrentDPI(v) { calls = calls.concat([v]) }\n}\n");
    view.setSource(QUrl::fromLocalFile(box.path("scene.qml")));
    auto calls = [&] { return view.rootObject()->property("calls").toList(); };
    QThread *worker = QThread::create([&] { view.setCurrentDPI(5); });
    worker->start();
    QVERIFY(worker->wait(5000));
    delete worker;
    QVERIFY(calls().isEmpty()); // not run on the worker
    QTRY_COMPARE(calls(), QVariantList{5});
}

QTEST_MAIN(TestControllerFiles)
#include "tst_controller_files.moc"
