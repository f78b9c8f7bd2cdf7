#include "controller_test_support.h"

#include "hid_thread.h"
#include "macro_files.h"
#include "myqquickview.h"

#include <QJSEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

using namespace ctrltest;

namespace {

// Answers every file dialog with `answer`; records what was asked.
struct FakeDialogs {
    QString answer;
    QStringList asked; // "kind|caption|filter"
    QStringList warnings;
    FakeDialogs() {
        myQQuickView::setFileDialogProvider(
            [this](Dialogs::FileKind k, const QString &c, const QString &dir, const QString &f) {
                const bool desktop =
                    dir == QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
                asked << QStringLiteral("%1|%2|%3%4")
                             .arg(k == Dialogs::FileKind::Open ? "open" : "save", c, f,
                                  desktop ? "" : "|not on the desktop");
                return answer;
            });
        myQQuickView::setWarningProvider(
            [this](const QString &, const QString &t) { warnings << t; });
    }
    ~FakeDialogs() {
        myQQuickView::setFileDialogProvider({});
        myQQuickView::setWarningProvider({});
    }
};

QStringList macroFiles() {
    return QDir("./modules/macro").entryList(QDir::Files);
}

} // namespace

class TestControllerFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QQuickWindow::setGraphicsApi(QSGRendererInterface::Software); }
    void valuesAfterRestart();
    void dataAccessTargets();
    void replaceProfiles();
    void importProfile_data();
    void importProfile();
    void exportProfile();
    void resetApconfigKeepsCachedFlags();
    void macroFiles_();
    void macroNamesRefused_data();
    void macroNamesRefused();
    void macroImportExport();
    void macroRenameAndDelete();
    void gunPresets();
    void nameLists_data();
    void nameLists();
    void languageStrings();
    void sceneCalls();
};

void TestControllerFiles::valuesAfterRestart() {
    Sandbox box;
    writeStandardFiles();
    {
        myQQuickView view;
        view.setData("mouse/reportRate", 3);
        view.setDataList("mouseKeyMatrix/0", {0, 0, 240, 0});
        QCOMPARE(view.getData("mouse/reportRate", false), QVariant(3)); // same run: a number
        // The scene passes JS arrays, which reach a QVariant slot wrapped.
        QJSEngine engine;
        QJSEngine::setObjectOwnership(&view, QJSEngine::CppOwnership);
        engine.globalObject().setProperty("ui_View", engine.newQObject(&view));
        QVERIFY(!engine
                     .evaluate("ui_View.setGlobalData('mouse/selectGun', [3, 4, 5]);"
                               "ui_View.setData('mouse/lightValue', [1, [2]]);"
                               "ui_View.setSelectGun(1, ['AKM', 'M4'])")
                     .isError());
    }
    // A later run parses the files afresh; make them look changed so this
    // process does not reuse its parsed copies.
    for (const QString &path : {profilePath(0), QStringLiteral("./modules/setting/apConfig.bin")}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    }
    myQQuickView view;
    QCOMPARE(view.getData("mouse/reportRate", false), QVariant(QStringLiteral("3")));
    QCOMPARE(view.getDataList("mouseKeyMatrix/0", false), (QVariantList{"0", "0", "240", "0"}));
    QVERIFY(readFile(profilePath(0)).contains("0=0, 0, 240, 0"));
    QCOMPARE(view.getGlobalData("mouse/selectGun").toStringList(), (QStringList{"3", "4", "5"}));
    QCOMPARE(view.getselectGun(1).toStringList(), (QStringList{"AKM", "M4"}));
    QVERIFY(!readFile(profilePath(0)).contains("QJSValue"));
}

void TestControllerFiles::dataAccessTargets() {
    Sandbox box;
    writeStandardFiles();
    writeIni(profilePath(3), {{"mouse/single", "abc"}});
    myQQuickView view;
    view.setData("mouse/reportRate", 1);
    view.setData(3, "three");
    view.setGlobalData(7.0, "seven");
    QCOMPARE(view.getData("mouse/reportRate", true).toInt(), 99);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 1);
    QCOMPARE(view.getData("3", false).toString(), QStringLiteral("three"));
    QCOMPARE(view.getGlobalData("7").toString(), QStringLiteral("seven"));
    QVERIFY(!view.getData("mouse/absent", false).isValid());
    QCOMPARE(view.mouseGetKeydefine(1, true), (QVariantList{"0", "0", "241", "99"}));

    view.setCurrentProfile(3);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 3);
    QVERIFY(view.getDataList("mouse/single", false).isEmpty()); // plain text is no list
    QCOMPARE(view.getDataList("mouse/dpiValueArray", false).size(), 8);
    for (int bad : {-1, 10, 1000})
        view.setCurrentProfile(bad);
    QCOMPARE(view.currentProfile(), 3);
    QCOMPARE(view.getXYSensitive(0).toInt(), 4);
    QCOMPARE(view.getselectGun(2), QVariant(QString()));
    view.setXYSensitive(0, 7);
    view.setSelectGun(2, "AKM");
    QCOMPARE(view.getXYSensitive("0").toInt(), 7);
    QCOMPARE(view.getselectGun(2).toString(), QStringLiteral("AKM"));

    // Key matrix entries are stored in interface form; missing values are 0.
    QVariantList src;
    for (int i = 0; i < 62; ++i)
        src << i;
    view.mouseSetKeyMatrix(src, false, {});
    QCOMPARE(view.mouseGetKeydefine(15, false), (QVariantList{60, 61, 0, 0}));
    QVERIFY(view.mouseGetKeydefine(16, false).isEmpty());
    view.setCurrentProfile(0);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 1);
}

void TestControllerFiles::replaceProfiles() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    view.setCurrentProfile(2);
    view.setData("mouse/unsaved", 1);
    view.resetProfile(2);
    QCoreApplication::processEvents(); // no late write-back may undo it
    QCOMPARE(readFile(profilePath(2)), readFile("./modules/setting/pD.bin"));
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 99);
    QVERIFY(!view.getData("mouse/unsaved", false).isValid());

    view.copyProfile(1, 4);
    QCOMPARE(readFile(profilePath(1)), readFile(profilePath(4)));
    view.setCurrentProfile(1);
    view.setData("mouse/reportRate", 42); // not yet on disk, still copied
    view.copyProfile(4, 1);
    view.setCurrentProfile(4);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 42);

    // Out-of-range numbers and a missing source change nothing.
    const QByteArray p1 = readFile(profilePath(0));
    view.resetProfile(10);
    view.copyProfile(0, 12);
    view.copyProfile(-3, 0);
    QFile::remove("./modules/setting/pD.bin");
    view.resetProfile(0);
    QCOMPARE(readFile(profilePath(0)), p1);
    view.setCurrentProfile(0);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 0);
}

void TestControllerFiles::importProfile_data() {
    QTest::addColumn<QString>("chosen"); // "" = cancelled
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("warnings");

    QTemporaryDir tmp;
    writeProfile(tmp.path() + "/x.pf", 55);
    QTest::newRow("profile") << "in.pf" << readFile(tmp.path() + "/x.pf") << true << 0;
    QTest::newRow("cancelled") << "" << QByteArray() << false << 0;
    QTest::newRow("missing file") << "nowhere/none.pf" << QByteArray() << false << 1;
    QTest::newRow("binary") << "in.pf" << QByteArray("\x01\x02garbage\x00\xff", 11) << false << 1;
    QTest::newRow("no profile keys")
        << "in.pf" << QByteArray("[mouse]\nreportRate=2\n") << false << 1;
    QTest::newRow("no key matrix")
        << "in.pf" << QByteArray("[mouse]\ndpiValueArray=1, 2\n") << false << 1;
}

void TestControllerFiles::importProfile() {
    QFETCH(QString, chosen);
    QFETCH(QByteArray, content);
    QFETCH(bool, result);
    QFETCH(int, warnings);
    Sandbox box;
    writeStandardFiles();
    FakeDialogs dialogs;
    if (!chosen.isEmpty())
        dialogs.answer = box.path(chosen);
    if (!content.isEmpty())
        writeFile(dialogs.answer, content);
    myQQuickView view;
    const QByteArray before = readFile(profilePath(0));
    QCOMPARE(view.loadProfile(0), result);
    QCOMPARE(dialogs.asked, QStringList{"open|Open File|Profile(*.pf)"});
    QCOMPARE(dialogs.warnings.size(), warnings);
    QCOMPARE(readFile(profilePath(0)), result ? content : before);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), result ? 55 : 0);
    QVERIFY(!view.loadProfile(10)); // no such profile: no dialog either
    QCOMPARE(dialogs.asked.size(), 1);
}

void TestControllerFiles::exportProfile() {
    Sandbox box;
    writeStandardFiles();
    FakeDialogs dialogs;
    dialogs.answer = box.path("out.pf");
    writeFile(dialogs.answer, QByteArray(5000, 'x'));
    myQQuickView view;
    view.setData("mouse/reportRate", 2); // what the user sees goes out
    view.saveProfile(0);
    QCOMPARE(dialogs.asked, QStringList{"save|Save File|Profile(*.pf)"});
    QCOMPARE(readFile(dialogs.answer), readFile(profilePath(0)));
    QVERIFY(readFile(dialogs.answer).contains("reportRate=2"));

    dialogs.answer = box.path("no/such/dir/out.pf"); // cannot be written
    view.saveProfile(1);
    dialogs.answer.clear(); // cancelled
    view.saveProfile(1);
    QVERIFY(!QFile::exists(box.path("no/such/dir/out.pf")));
    QCOMPARE(readFile(box.path("out.pf")), readFile(profilePath(0)));
}

void TestControllerFiles::resetApconfigKeepsCachedFlags() {
    Sandbox box;
    writeStandardFiles("560", true, true);
    writeIni("./modules/setting/apConfigD.bin", {{"mouse/icType", "553"}});
    myQQuickView view;
    view.setGlobalData("mouse/profileNo", 4);
    view.resetApconfig();
    QCOMPARE(readFile("./modules/setting/apConfig.bin"),
             readFile("./modules/setting/apConfigD.bin"));
    QCOMPARE(view.getGlobalData("mouse/icType").toString(), QStringLiteral("553"));
    QVERIFY(!view.getGlobalData("mouse/profileNo").isValid());
    QVERIFY(view.family560());
}

void TestControllerFiles::macroFiles_() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    QCOMPARE(view.saveMacroIni("M", {"1,A"}, 1), QVariant(false)); // no file: nothing created
    QVERIFY(macroFiles().isEmpty());
    QVERIFY(view.loadMacroIni("M").isEmpty());
    QCOMPARE(view.deleteMacroIni("M"), QVariant(false));

    QCOMPARE(view.createMacroIni("M", 0), QVariant(true));
    QCOMPARE(view.loadMacroIni("M"), QStringList{"1"});
    const QStringList steps = {"1,A", "0,50", "2,A", "3,MS-L", "4,MS-L"};
    QCOMPARE(view.saveMacroIni("M", steps, 300), QVariant(true));
    QCOMPARE(view.loadMacroIni("M"), steps + QStringList{"300"});
    QCOMPARE(view.saveMacroIni("M", {"1,B"}, "2"), QVariant(true));
    QCOMPARE(view.loadMacroIni("M"), (QStringList{"1,B", "2"}));
    view.createMacroIni("M", 7); // resets the count, keeps the old steps
    QCOMPARE(view.loadMacroIni("M"), QStringList{"1"});
    QVERIFY(readFile("./modules/macro/M.bin").contains("0=\"1,B\""));
    QCOMPARE(view.saveMacroIni("M", {}, 1), QVariant(true));
    QVERIFY(!readFile("./modules/macro/M.bin").contains("[macro]"));

    writeFile("./modules/macro/M2.bin", "[config]\ntotal=2\n[macro]\n0=\"1,A\"\n");
    QCOMPARE(view.loadMacroIni("M2"), (QStringList{"1,A", "0", "0"}));
    // A damaged count loads the steps that are there, without a loop over it.
    writeFile("./modules/macro/Big.bin",
              "[config]\ntotal=2147483647\nrepeat=2\n[macro]\n0=\"1,A\"\n1=\"2,A\"\n");
    QCOMPARE(view.loadMacroIni("Big"), (QStringList{"1,A", "2,A", "2"}));
    QVERIFY(QFile::remove("./modules/macro/Big.bin"));
    QCOMPARE(view.deleteMacroIni("M"), QVariant(true));
    QCOMPARE(macroFiles(), QStringList{"M2.bin"});
}

void TestControllerFiles::macroNamesRefused_data() {
    QTest::addColumn<QString>("name");
    for (const char *n : {"../evil", "..", "a/b", "a\\b", "/tmp/evil", "", "a\tb", "a\nb", "C:x",
                          "a*", "con", "name.", " name"})
        QTest::newRow(QByteArray(n).toPercentEncoding().constData()) << QString::fromLatin1(n);
}

void TestControllerFiles::macroNamesRefused() {
    QFETCH(QString, name);
    Sandbox box;
    writeStandardFiles();
    FakeDialogs dialogs;
    dialogs.answer = box.path("src.mc");
    writeFile(dialogs.answer, "[config]\ntotal=0\n");
    const QStringList modules = QDir(box.path("modules")).entryList();
    myQQuickView view;
    view.createMacroIni("ok", 0);
    QCOMPARE(view.createMacroIni(name, 0).toBool(), false);
    QCOMPARE(view.saveMacroIni(name, {"1,A"}, 1).toBool(), false);
    QCOMPARE(view.loadMacroFile(name), false);
    QCOMPARE(view.deleteMacroIni(name).toBool(), false);
    QCOMPARE(view.modifyMacroNameUpdateProfile("ok", name).toBool(), false);
    QVERIFY(view.loadMacroIni(name).isEmpty());
    QVERIFY(dialogs.asked.isEmpty());
    QCOMPARE(macroFiles(), QStringList{"ok.bin"});
    QCOMPARE(QDir(box.path("modules")).entryList(), modules);
    QVERIFY(!QFile::exists("/tmp/evil.bin"));
    QCOMPARE(view.createMacroIni(QString::fromUtf8("Макро 1.a_b"), 0).toBool(), true);
}

void TestControllerFiles::macroImportExport() {
    Sandbox box;
    writeStandardFiles();
    FakeDialogs dialogs;
    myQQuickView view;
    const QByteArray imported = "[config]\ntotal=1\nrepeat=4\n[macro]\n0=\"1,B\"\n";
    writeFile(box.path("in.mc"), imported);
    view.createMacroIni("Macro_0", 0); // an older file of that name is replaced
    dialogs.answer = box.path("in.mc");
    QCOMPARE(view.loadMacroFile("Macro_0"), true);
    QCOMPARE(view.loadMacroIni("Macro_0"), (QStringList{"1,B", "4"}));
    // Files that are no macro are refused with a warning; nothing is copied.
    const QByteArray notMacros[] = {"[config]\ntotal=2147483647\n[macro]\n0=\"1,A\"\n",
                                    "[config]\ntotal=-1\n", "[mouse]\nreportRate=3\n",
                                    QByteArray(MacroFiles::kMaxFileBytes + 1, '\n')};
    for (const QByteArray &bad : notMacros) {
        writeFile(box.path("bad.mc"), bad);
        dialogs.answer = box.path("bad.mc");
        QCOMPARE(view.loadMacroFile("Macro_1"), false);
    }
    QCOMPARE(dialogs.warnings.size(), 4);
    dialogs.answer = box.path("gone.mc");
    QCOMPARE(view.loadMacroFile("Macro_1"), false);
    dialogs.answer.clear();
    QCOMPARE(view.loadMacroFile("Macro_1"), false);
    QCOMPARE(macroFiles(), QStringList{"Macro_0.bin"});

    dialogs.answer = box.path("out.mc");
    writeFile(dialogs.answer, QByteArray(300, 'z'));
    view.saveMacroFile("Macro_0");
    QCOMPARE(readFile(dialogs.answer), imported);
    view.saveMacroFile("Nothing"); // no such macro: the target stays
    QCOMPARE(readFile(dialogs.answer), imported);
    QCOMPARE(dialogs.asked.first(), QStringLiteral("open|Open File|Macro(*.mc)"));
    QCOMPARE(dialogs.asked.last(), QStringLiteral("save|Save File|Macro(*.mc)"));
}

void TestControllerFiles::macroRenameAndDelete() {
    Sandbox box;
    writeStandardFiles();
    for (int n = 0; n < 10; ++n)
        writeIni(profilePath(n), {{"mouseMacroKey/3", "Old"},
                                  {"mouseMacroKey/11", "Old"},
                                  {"mouseKeyMatrix/3", QVariantList{4, 0, 3, 0}},
                                  {"mouseKeyMatrix/5", QVariantList{4, 0, 11, 0}},
                                  {"mouseKeyMatrix/7", QVariantList{2, 0, 3, 0}},
                                  {"mouseKeyMatrix/9", QVariantList{4, 0}}});
    myQQuickView view;
    QCOMPARE(view.modifyMacroNameUpdateProfile("Old", "New"), QVariant(false)); // no file yet
    view.createMacroIni("Old", 0);
    QCOMPARE(view.modifyMacroNameUpdateProfile("Old", "New"), QVariant(true));
    QCOMPARE(macroFiles(), QStringList{"New.bin"});
    view.createMacroIni("Other", 0);
    QCOMPARE(view.modifyMacroNameUpdateProfile("New", "Other"), QVariant(false));
    QCOMPARE(macroFiles(), (QStringList{"New.bin", "Other.bin"}));

    view.deleteMacroUpdateProfile("Other");
    for (int n = 0; n < 10; ++n) {
        view.setCurrentProfile(n);
        const bool shown = n < 6; // only the profiles the interface offers follow
        QCOMPARE(view.getData("mouseMacroKey/11", false).toString(), shown ? "Other" : "Old");
        const QVariantList stale = {"4", "0", "3", "0"};
        QCOMPARE(view.mouseGetKeydefine(3, false), shown ? view.mouseGetKeydefine(3, true) : stale);
        QCOMPARE(view.mouseGetKeydefine(5, false) == view.mouseGetKeydefine(5, true), shown);
        QCOMPARE(view.mouseGetKeydefine(7, false), (QVariantList{"2", "0", "3", "0"}));
        QCOMPARE(view.mouseGetKeydefine(9, false), (QVariantList{"4", "0"}));
    }
}

void TestControllerFiles::gunPresets() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    view.mouseSaveGundata(0, {"M416", "L-Click", 10, 0, 10, 0});
    view.modifyGundata(1, {"X", "L-Click", 10, 0, 10, 0, "M416"});
    QVERIFY(!QFile::exists("./modules/gun/gunData.bin")); // never created here
    QVERIFY(view.getGunData(0).isEmpty() && view.getGunDataKey().isEmpty());

    writeFile("./modules/gun/gunData.bin", "[gunData]\n");
    view.mouseSaveGundata(0, {"M416", "L-Click", 10, 0, 10, 0, "extra"});
    view.mouseSaveGundata("1", {"AKM", "L-Click", "9"});
    QCOMPARE(view.getGunData(0), (QVariantList{"M416", "L-Click", "10", "0", "10", "0"}));
    QCOMPARE(view.getGunData("1"), (QVariantList{"AKM", "L-Click", "9"}));
    view.modifyGundata(1, {"Sniper", "R-Click", 20, 1, 2, 3, "Old"});
    QCOMPARE(view.getGunData("Sniper"), (QVariantList{"R-Click", "20", "1", "2", "3"}));
    view.modifyGundata(1, {"Sniper2", "R-Click", 20, 1, 2, 3, "Sniper"});
    QCOMPARE(view.getGunDataKey(), (QStringList{"0", "1", "Sniper2"}));
    view.modifyGundata(0, {"Sniper2"});
    view.modifyGundata(7, {"0"});
    view.modifyGundata(0, {});
    QCOMPARE(view.getGunDataKey(), (QStringList{"0", "1"}));

    // A plain text is no list (not a list of its characters).
    writeIni("./modules/gun/gunData.bin", {{"gunData/9", "solo"}});
    writeIni("./modules/setting/name.bin", {{"gun/gunName", "solo"}});
    QVERIFY(view.getGunData(9).isEmpty());
    QVERIFY(view.getNameList(1).isEmpty());
}

void TestControllerFiles::nameLists_data() {
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QVariantList>("read");
    QTest::addColumn<QByteArray>("line"); // "" = no list in the file

    QTest::newRow("one macro") << QVariant(0) << QStringList{"A"}
                               << QVariantList{"A", "loadervortex"}
                               << QByteArray("macroName=A, loadervortex");
    QTest::newRow("two guns") << QVariant(1) << QStringList{"A", "B"} << QVariantList{"A", "B"}
                              << QByteArray("gunName=A, B");
    QTest::newRow("profiles") << QVariant("2") << QStringList{"Game0", "Work11"}
                              << QVariantList{"Game0", "Work11"}
                              << QByteArray("profileName=Game0, Work11");
    QTest::newRow("select guns") << QVariant(3) << QStringList{"x", "y", "z"}
                                 << QVariantList{"x", "y", "z"} << QByteArray("selectGun=x, y, z");
    QTest::newRow("empty removes")
        << QVariant(0) << QStringList{} << QVariantList{} << QByteArray();
    QTest::newRow("unknown type") << QVariant(4) << QStringList{"A", "B"} << QVariantList{}
                                  << QByteArray();
}

void TestControllerFiles::nameLists() {
    QFETCH(QVariant, type);
    QFETCH(QStringList, stored);
    QFETCH(QVariantList, read);
    QFETCH(QByteArray, line);
    Sandbox box;
    writeStandardFiles();
    writeIni("./modules/setting/name.bin", {{"macro/macroName", QStringList{"old1", "old2"}}});
    myQQuickView view;
    QCOMPARE(view.updataNameList(type, stored), QVariant(true));
    QCOMPARE(view.getNameList(type), read);
    const QByteArray file = readFile("./modules/setting/name.bin");
    QCOMPARE(file.contains("old1"), type.toInt() != 0);
    if (!line.isEmpty())
        QVERIFY2(file.contains(line), file.constData());
}

void TestControllerFiles::languageStrings() {
    Sandbox box;
    writeStandardFiles();
    writeFile(
        "./modules/i18n/T.ini",
        QString::fromUtf8("[main]\ntotal=3\n0=Save\n1=\"DPI, Stage\"\n2=保存\n[short]\ntotal=2\n"
                          "0=a\n[other]\ntotal=9\n0=o0\n1=o1\n2=o2\n3=o3\n4=o4\n5=o5\n"
                          "6=o6\n7=o7\n8=o8\n")
            .toUtf8());
    writeFile("./modules/i18n/S.ini", "[other]\ntotal=2\n0=q0\n1=q1\n");
    myQQuickView view;
    QCOMPARE(view.getLangStrings("main", "T"),
             (QStringList{"Save", "DPI, Stage", QString::fromUtf8("保存")}));
    QCOMPARE(view.getLangStrings("short", "T"), (QStringList{"a", ""}));
    QVERIFY(view.getLangStrings("main", "Missing").isEmpty());
    QVERIFY(view.getLangStrings("main", "../i18n/T").isEmpty());
    QCOMPARE(Hid_Thread::notificationTexts(), QStringList(8, "DPI Switch to"));
    QCOMPARE(view.getLangStrings("other", "T").size(), 9);
    QCOMPARE(Hid_Thread::notificationTexts(),
             (QStringList{"o0", "o1", "o2", "o3", "o4", "o5", "o6", "o7"}));
    view.getLangStrings("other", "S"); // too short: the rest keep their texts
    QCOMPARE(Hid_Thread::notificationTexts(),
             (QStringList{"q0", "q1", "o2", "o3", "o4", "o5", "o6", "o7"}));
}

void TestControllerFiles::sceneCalls() {
    Sandbox box;
    writeStandardFiles();
    writeFile(box.path("scene.qml"),
              "import QtQuick 2.0\nItem {\n property var calls: []\n"
              " function initUI() { calls = calls.concat(['initUI']) }\n"
              " function run() { calls = calls.concat(['run']) }\n"
              " function setProtectUI(t) { calls = calls.concat(['busy ' + t]) }\n"
              " function setCurrentDPI(v) { calls = calls.concat(['dpi ' + v]) }\n}\n");
    myQQuickView view;
    view.initUI(); // no scene yet: nothing happens
    view.setBusy(5);
    view.setCurrentDPI(2);
    view.setSource(QUrl::fromLocalFile(box.path("scene.qml")));
    QVERIFY(view.rootObject());
    auto calls = [&] { return view.rootObject()->property("calls").toStringList(); };
    view.initUI();
    view.runUI();
    view.setBusy(250);
    view.setCurrentDPI(3);
    QCOMPARE(calls(), (QStringList{"busy 250", "dpi 3"}));
    QCoreApplication::processEvents();
    QCOMPARE(calls(), (QStringList{"busy 250", "dpi 3", "initUI", "run"}));

    QThread *worker = QThread::create([&] { view.setCurrentDPI(5); });
    worker->start();
    QVERIFY(worker->wait(5000));
    delete worker;
    QCOMPARE(calls().size(), 4); // delivered on the GUI thread, not the worker's
    QTRY_COMPARE(calls().value(4), QStringLiteral("dpi 5"));

    QFocusEvent focus(QEvent::FocusIn);
    focus.ignore();
    QCoreApplication::sendEvent(&view, &focus);
    QVERIFY(focus.isAccepted());
}

QTEST_MAIN(TestControllerFiles)
#include "tst_controller_files.moc"
