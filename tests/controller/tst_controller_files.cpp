#include "controller_test_support.h"

#include "hid_thread.h"
#include "myqquickview.h"

#include <QMetaMethod>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

#include <memory>

using namespace ctrltest;

namespace {

struct DialogCall {
    Dialogs::FileKind kind;
    QString caption, dir, filter;
};

// Answers every file dialog with `answer` and records what was asked.
struct FakeDialogs {
    QString answer;
    QList<DialogCall> calls;
    QStringList warnings;
    FakeDialogs() {
        myQQuickView::setFileDialogProvider(
            [this](Dialogs::FileKind k, const QString &c, const QString &d, const QString &f) {
                calls.append({k, c, d, f});
                return answer;
            });
        myQQuickView::setWarningProvider(
            [this](const QString &, const QString &text) { warnings << text; });
    }
    ~FakeDialogs() {
        myQQuickView::setFileDialogProvider({});
        myQQuickView::setWarningProvider({});
    }
};

QStringList macroDirEntries() {
    return QDir(QStringLiteral("./modules/macro")).entryList(QDir::Files | QDir::NoDotAndDotDot);
}

} // namespace

class TestControllerFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void slotTable();
    void valuesComeBackAsTextAfterRestart();
    void recoveryReadsDefaultProfile();
    void listsAndPlainTexts();
    void numericKeys();
    void currentProfileRedirects();
    void keyDefinitions();
    void resetProfileCopiesDefault();
    void resetKeepsProfileWhenSourceMissing();
    void copyProfileBothWays();
    void importProfile_data();
    void importProfile();
    void exportProfileOverExisting();
    void resetApconfigKeepsCachedFlags();
    void macroFileLifecycle();
    void macroCreateKeepsSteps();
    void macroNamesRefused_data();
    void macroNamesRefused();
    void macroImportExport();
    void macroRenameAcrossProfiles();
    void macroDeleteResetsButtons();
    void gunPresetsWithoutFile();
    void gunPresets();
    void gunProfileValues();
    void nameLists_data();
    void nameLists();
    void languageStrings();
    void sceneCalls();
};

void TestControllerFiles::initTestCase() {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

void TestControllerFiles::slotTable() {
    const QStringList expected = {"clearHidBusy()",
                                  "initUI()",
                                  "runUI()",
                                  "resetApconfig()",
                                  "loadMacroFile(QVariant)",
                                  "saveMacroFile(QVariant)",
                                  "loadProfile(int)",
                                  "saveProfile(int)",
                                  "resetProfile(int)",
                                  "copyProfile(int,int)",
                                  "getLangStrings(QString,QString)",
                                  "createMacroIni(QVariant,QVariant)",
                                  "updataNameList(QVariant,QStringList)",
                                  "modifyMacroNameUpdateProfile(QVariant,QVariant)",
                                  "deleteMacroUpdateProfile(QVariant)",
                                  "deleteMacroIni(QVariant)",
                                  "getNameList(QVariant)",
                                  "saveMacroIni(QVariant,QStringList,QVariant)",
                                  "mouseSendMacroData(QVariantList,QVariant)",
                                  "loadMacroIni(QVariant)",
                                  "mouseSaveGundata(QVariant,QVariantList)",
                                  "mouseSendGundata(int,QVariantList)",
                                  "modifyGundata(int,QVariantList)",
                                  "getGunData(QVariant)",
                                  "getGunDataKey()",
                                  "getXYSensitive(QVariant)",
                                  "getselectGun(QVariant)",
                                  "setXYSensitive(QVariant,QVariant)",
                                  "setSelectGun(QVariant,QVariant)",
                                  "setCurrentProfile(int)",
                                  "mouseSetKeyboardoption(uchar,uchar,uchar,uchar)",
                                  "mouseSetReportRate(uchar)",
                                  "mouseSetCurrentDPI(uchar)",
                                  "mouseResetKeyMatrix()",
                                  "mouseGetCurrentDPI()",
                                  "mouseSetKeyMatrix(QVariantList,bool,QVariantList)",
                                  "mouseSetDpi(int,QString,QVariantList)",
                                  "mouseSetRGBEffect(uchar,uchar,uchar)",
                                  "mouseSetRGBColor(uchar,QVariantList)",
                                  "mouseSetProfile(uint)",
                                  "mouseReadProfile(uint)",
                                  "mouseReadCurrentProfile()",
                                  "mouseSwitchKeyMatrix(int)",
                                  "GetKeyboardoption()",
                                  "mouseSetCursorSpeed(uint)",
                                  "mouseSetVerticalScrollLines(uint)",
                                  "mouseSetDoubleClickSpeed(uint)",
                                  "mouseGetKeydefine(QVariant,bool)",
                                  "openUpdateExe()",
                                  "getData(QVariant,bool)",
                                  "getGlobalData(QVariant)",
                                  "getDataList(QVariant,bool)",
                                  "setData(QVariant,QVariant)",
                                  "setGlobalData(QVariant,QVariant)",
                                  "setDataList(QVariant,QVariantList)",
                                  "setBusy(int)",
                                  "setCurrentDPI(int)"};
    const QMetaObject &mo = myQQuickView::staticMetaObject;
    QStringList got;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i)
        if (mo.method(i).methodType() == QMetaMethod::Slot &&
            mo.method(i).access() == QMetaMethod::Public)
            got << QString::fromLatin1(mo.method(i).methodSignature());
    QCOMPARE(got, expected);
    const int dpi = mo.indexOfMethod("mouseGetCurrentDPI()");
    QCOMPARE(mo.method(dpi).returnMetaType(), QMetaType::fromType<QVariant>());
    const int opt = mo.indexOfMethod("GetKeyboardoption()");
    QCOMPARE(mo.method(opt).returnMetaType(), QMetaType::fromType<QVariantList>());
}

void TestControllerFiles::valuesComeBackAsTextAfterRestart() {
    Sandbox box;
    writeStandardFiles();
    {
        myQQuickView view;
        view.setData("mouse/reportRate", 3);
        view.setDataList("mouseKeyMatrix/0", {0, 0, 240, 0});
        view.setGlobalData("mouse/profileNo", 2);
        QCOMPARE(view.getData("mouse/reportRate", false).metaType(), QMetaType::fromType<int>());
        QCOMPARE(view.getData("mouse/reportRate", false), QVariant(3));
    }
    // A later run parses the files afresh: make them look changed so this
    // process does not reuse its parsed copy.
    for (const QString &f : {profilePath(0), QStringLiteral("./modules/setting/apConfig.bin")}) {
        QFile file(f);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                 QFileDevice::FileModificationTime));
    }
    myQQuickView view; // next start
    const QVariant rate = view.getData("mouse/reportRate", false);
    QCOMPARE(rate.metaType(), QMetaType::fromType<QString>());
    QCOMPARE(rate.toString(), QStringLiteral("3"));
    QCOMPARE(view.getDataList("mouseKeyMatrix/0", false), (QVariantList{"0", "0", "240", "0"}));
    QCOMPARE(view.getGlobalData("mouse/profileNo").toString(), QStringLiteral("2"));
    QVERIFY(!view.getData("mouse/absent", false).isValid());
    QVERIFY(!view.getGlobalData("mouse/absent").isValid());
    QVERIFY(readFile(profilePath(0)).contains("0=0, 0, 240, 0"));
}

void TestControllerFiles::recoveryReadsDefaultProfile() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    view.setData("mouse/reportRate", 1);
    QCOMPARE(view.getData("mouse/reportRate", true).toInt(), 99);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 1);
    // Writes never reach the default profile.
    view.setDataList("mouse/lightValue", {1, 2, 3});
    QVERIFY(view.getDataList("mouse/lightValue", true).isEmpty());
}

void TestControllerFiles::listsAndPlainTexts() {
    Sandbox box;
    writeStandardFiles();
    writeFile(profilePath(0), "[mouse]\nsingle=abc\npair=a, b\nnumber=5\n");
    myQQuickView view;
    QVERIFY(view.getDataList("mouse/single", false).isEmpty());
    QCOMPARE(view.getDataList("mouse/pair", false), (QVariantList{"a", "b"}));
    QVERIFY(view.getDataList("mouse/number", false).isEmpty());
    QVERIFY(view.getDataList("mouse/missing", false).isEmpty());
}

void TestControllerFiles::numericKeys() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    view.setData(3, "three");
    view.setGlobalData(7, "seven");
    QCOMPARE(view.getData("3", false).toString(), QStringLiteral("three"));
    QCOMPARE(view.getGlobalData(QVariant(7.0)).toString(), QStringLiteral("seven"));
    QCOMPARE(view.getData(QStringLiteral("mouseMacroKey/") + QString::number(4), false),
             QVariant());
}

void TestControllerFiles::currentProfileRedirects() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 0);
    view.setCurrentProfile(3);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 3);
    view.setData("mouse/dpiCount", 6);
    for (int bad : {-1, 10, 1000}) {
        view.setCurrentProfile(bad);
        QCOMPARE(view.currentProfile(), 3);
    }
    view.setCurrentProfile(9);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 9);
    QVERIFY(!view.getData("mouse/dpiCount", false).isValid());
    view.setCurrentProfile(3);
    QCOMPARE(view.getData("mouse/dpiCount", false).toInt(), 6);
}

void TestControllerFiles::keyDefinitions() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    view.setCurrentProfile(2);
    QCOMPARE(view.mouseGetKeydefine(1, false), (QVariantList{"0", "0", "241", "2"}));
    QCOMPARE(view.mouseGetKeydefine("1", true), (QVariantList{"0", "0", "241", "99"}));
    QVERIFY(view.mouseGetKeydefine(16, false).isEmpty());
    // Stored in interface form, and only stored, when not sent.
    QVariantList src;
    for (int i = 0; i < 64; ++i)
        src << i;
    view.mouseSetKeyMatrix(src.mid(0, 62), false, {});
    QCOMPARE(view.mouseGetKeydefine(5, false), (QVariantList{20, 21, 22, 23}));
    QCOMPARE(view.mouseGetKeydefine(15, false), (QVariantList{60, 61, 0, 0}));
}

void TestControllerFiles::resetProfileCopiesDefault() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    view.setCurrentProfile(2);
    view.setData("mouse/unsaved", 1);
    view.resetProfile(2);
    QCOMPARE(readFile(profilePath(2)), readFile("./modules/setting/pD.bin"));
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 99);
    QVERIFY(!view.getData("mouse/unsaved", false).isValid());
    QCoreApplication::processEvents(); // any late write-back must not undo it
    QCOMPARE(readFile(profilePath(2)), readFile("./modules/setting/pD.bin"));
    const QByteArray p1 = readFile(profilePath(0));
    view.resetProfile(10);
    view.resetProfile(-1);
    QCOMPARE(readFile(profilePath(0)), p1);
}

void TestControllerFiles::resetKeepsProfileWhenSourceMissing() {
    Sandbox box;
    writeStandardFiles();
    QFile::remove("./modules/setting/pD.bin");
    myQQuickView view;
    const QByteArray before = readFile(profilePath(2));
    view.resetProfile(2);
    QCOMPARE(readFile(profilePath(2)), before);
    view.setCurrentProfile(2);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 2);
    QCOMPARE(QDir("./modules/setting").entryList(QDir::Files).size(), 11);
}

void TestControllerFiles::copyProfileBothWays() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    const QByteArray p5 = readFile(profilePath(4));
    view.copyProfile(1, 4);
    QCOMPARE(readFile(profilePath(1)), p5);
    view.setCurrentProfile(1);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 4);

    view.setData("mouse/reportRate", 42); // pending, not yet on disk
    view.copyProfile(4, 1);
    view.setCurrentProfile(4);
    QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 42);

    const QByteArray p1 = readFile(profilePath(0));
    view.copyProfile(0, 0);
    view.copyProfile(0, 12);
    view.copyProfile(-3, 0);
    QCOMPARE(readFile(profilePath(0)), p1);
}

void TestControllerFiles::importProfile_data() {
    QTest::addColumn<QString>("chosen");     // "" = cancelled
    QTest::addColumn<QByteArray>("content"); // written to the chosen file
    QTest::addColumn<bool>("result");
    QTest::addColumn<bool>("warned");

    QByteArray valid;
    {
        QTemporaryDir tmp;
        const QString f = tmp.path() + "/x.pf";
        writeProfile(f, 55);
        valid = readFile(f);
    }
    QTest::newRow("profile") << "in.pf" << valid << true << false;
    QTest::newRow("cancelled") << "" << QByteArray() << false << false;
    QTest::newRow("missing file") << "nowhere/none.pf" << QByteArray() << false << true;
    QTest::newRow("not a profile")
        << "in.pf" << QByteArray("\x01\x02\x03garbage\x00\xff", 12) << false << true;
    QTest::newRow("INI without profile keys")
        << "in.pf" << QByteArray("[mouse]\nreportRate=2\n") << false << true;
    QTest::newRow("only the DPI stages")
        << "in.pf" << QByteArray("[mouse]\ndpiValueArray=1, 2\n") << false << true;
}

void TestControllerFiles::importProfile() {
    QFETCH(QString, chosen);
    QFETCH(QByteArray, content);
    QFETCH(bool, result);
    QFETCH(bool, warned);

    Sandbox box;
    writeStandardFiles();
    FakeDialogs dialogs;
    if (!chosen.isEmpty()) {
        dialogs.answer = box.path(chosen);
        if (!content.isEmpty())
            writeFile(dialogs.answer, content);
    }
    myQQuickView view;
    const QByteArray before = readFile(profilePath(0));
    QCOMPARE(view.loadProfile(0), result);
    QCOMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls[0].kind, Dialogs::FileKind::Open);
    QCOMPARE(dialogs.calls[0].caption, QStringLiteral("Open File"));
    QCOMPARE(dialogs.calls[0].filter, QStringLiteral("Profile(*.pf)"));
    QCOMPARE(dialogs.calls[0].dir,
             QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    QCOMPARE(dialogs.warnings.size(), warned ? 1 : 0);
    if (result) {
        QCOMPARE(readFile(profilePath(0)), content);
        QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 55);
    } else {
        QCOMPARE(readFile(profilePath(0)), before);
        QCOMPARE(view.getData("mouse/reportRate", false).toInt(), 0);
    }
    QVERIFY(!view.loadProfile(10)); // no such profile: not even a dialog
    QCOMPARE(dialogs.calls.size(), 1);
}

void TestControllerFiles::exportProfileOverExisting() {
    Sandbox box;
    writeStandardFiles();
    FakeDialogs dialogs;
    dialogs.answer = box.path("out.pf");
    writeFile(dialogs.answer, QByteArray(5000, 'x'));
    myQQuickView view;
    view.setData("mouse/reportRate", 2); // what the user sees goes out
    view.saveProfile(0);
    QCOMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls[0].kind, Dialogs::FileKind::Save);
    QCOMPARE(dialogs.calls[0].caption, QStringLiteral("Save File"));
    QCOMPARE(dialogs.calls[0].filter, QStringLiteral("Profile(*.pf)"));
    QCOMPARE(readFile(dialogs.answer), readFile(profilePath(0)));
    QVERIFY(readFile(dialogs.answer).contains("reportRate=2"));

    // A target that cannot be written keeps the old file, and nothing breaks.
    dialogs.answer = box.path("no/such/dir/out.pf");
    view.saveProfile(0);
    QVERIFY(!QFile::exists(dialogs.answer));
    dialogs.answer.clear(); // cancelled
    view.saveProfile(1);
    QCOMPARE(readFile(box.path("out.pf")), readFile(profilePath(0)));
}

void TestControllerFiles::resetApconfigKeepsCachedFlags() {
    Sandbox box;
    writeStandardFiles("560", true, true, false);
    writeGlobal("553", false, false, true, "./modules/setting/apConfigD.bin");
    myQQuickView view;
    view.setGlobalData("mouse/profileNo", 4);
    view.resetApconfig();
    QCOMPARE(readFile("./modules/setting/apConfig.bin"),
             readFile("./modules/setting/apConfigD.bin"));
    QCOMPARE(view.getGlobalData("mouse/icType").toString(), QStringLiteral("553"));
    QVERIFY(!view.getGlobalData("mouse/profileNo").isValid());
    QVERIFY(view.family560());
}

void TestControllerFiles::macroFileLifecycle() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    QCOMPARE(view.saveMacroIni("M1", {"1,A"}, 1), QVariant(false));
    QVERIFY(macroDirEntries().isEmpty());
    QVERIFY(view.loadMacroIni("M1").isEmpty());
    QCOMPARE(view.deleteMacroIni("M1"), QVariant(false));

    QCOMPARE(view.createMacroIni("M1", 0), QVariant(true));
    QCOMPARE(view.loadMacroIni("M1"), (QStringList{"1"}));
    QSettings raw("./modules/macro/M1.bin", QSettings::IniFormat);
    QCOMPARE(raw.value("config/did").toInt(), -1);
    QCOMPARE(raw.value("config/index").toInt(), 0);

    const QStringList steps = {"1,A", "0,50", "2,A", "3,MS-L", "4,MS-L"};
    QCOMPARE(view.saveMacroIni("M1", steps, 300), QVariant(true));
    QCOMPARE(view.loadMacroIni("M1"), steps + QStringList{"300"});
    QCOMPARE(view.saveMacroIni("M1", {"1,B"}, "2"), QVariant(true));
    QCOMPARE(view.loadMacroIni("M1"), (QStringList{"1,B", "2"}));
    QCOMPARE(view.saveMacroIni("M1", {}, 1), QVariant(true));
    QCOMPARE(view.loadMacroIni("M1"), (QStringList{"1"}));
    QVERIFY(!readFile("./modules/macro/M1.bin").contains("[macro]"));

    // A file that claims more steps than it holds.
    writeFile("./modules/macro/M2.bin", "[config]\ntotal=2\n[macro]\n0=\"1,A\"\n");
    QCOMPARE(view.loadMacroIni("M2"), (QStringList{"1,A", "0", "0"}));

    QCOMPARE(view.deleteMacroIni("M1"), QVariant(true));
    QVERIFY(!QFile::exists("./modules/macro/M1.bin"));
}

void TestControllerFiles::macroCreateKeepsSteps() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    view.createMacroIni("M", 0);
    view.saveMacroIni("M", {"1,A", "2,A"}, 5);
    QCOMPARE(view.createMacroIni("M", 7), QVariant(true));
    QCOMPARE(view.loadMacroIni("M"), (QStringList{"1"}));
    QVERIFY(readFile("./modules/macro/M.bin").contains("0=\"1,A\""));
}

void TestControllerFiles::macroNamesRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("parent") << "../evil";
    QTest::newRow("dot dot") << "..";
    QTest::newRow("slash") << "a/b";
    QTest::newRow("backslash") << "a\\b";
    QTest::newRow("absolute") << "/tmp/evil";
    QTest::newRow("empty") << "";
    QTest::newRow("tab") << "a\tb";
    QTest::newRow("newline") << "a\nb";
    QTest::newRow("colon") << "C:x";
    QTest::newRow("star") << "a*";
    QTest::newRow("device name") << "con";
    QTest::newRow("trailing dot") << "name.";
    QTest::newRow("leading blank") << " name";
}

void TestControllerFiles::macroNamesRefused() {
    QFETCH(QString, name);
    Sandbox box;
    writeStandardFiles();
    FakeDialogs dialogs;
    writeFile(box.path("src.mc"), "[config]\ntotal=0\n");
    dialogs.answer = box.path("src.mc");
    const QStringList rootBefore = QDir(box.path("modules")).entryList();
    myQQuickView view;
    QCOMPARE(view.createMacroIni(name, 0).toBool(), false);
    QCOMPARE(view.saveMacroIni(name, {"1,A"}, 1).toBool(), false);
    QCOMPARE(view.loadMacroFile(name), false);
    QVERIFY(view.loadMacroIni(name).isEmpty());
    QCOMPARE(view.deleteMacroIni(name).toBool(), false);
    view.createMacroIni("ok", 0);
    QCOMPARE(view.modifyMacroNameUpdateProfile("ok", name).toBool(), false);
    QVERIFY(dialogs.calls.isEmpty());
    QCOMPARE(macroDirEntries(), QStringList{"ok.bin"});
    QCOMPARE(QDir(box.path("modules")).entryList(), rootBefore);
    QVERIFY(!QFile::exists("/tmp/evil.bin"));
    // Ordinary names with blanks, dots and non-Latin letters are fine.
    QCOMPARE(view.createMacroIni(QString::fromUtf8("Макро 1.a_b"), 0).toBool(), true);
}

void TestControllerFiles::macroImportExport() {
    Sandbox box;
    writeStandardFiles();
    FakeDialogs dialogs;
    myQQuickView view;
    const QByteArray imported = "[config]\ntotal=1\nrepeat=4\n[macro]\n0=\"1,B\"\n";
    writeFile(box.path("in.mc"), imported);

    view.createMacroIni("Macro_0", 0); // an older file of that name
    dialogs.answer = box.path("in.mc");
    QCOMPARE(view.loadMacroFile("Macro_0"), true);
    QCOMPARE(dialogs.calls.last().filter, QStringLiteral("Macro(*.mc)"));
    QCOMPARE(dialogs.calls.last().caption, QStringLiteral("Open File"));
    QCOMPARE(readFile("./modules/macro/Macro_0.bin"), imported);
    QCOMPARE(view.loadMacroIni("Macro_0"), (QStringList{"1,B", "4"}));

    dialogs.answer = box.path("gone.mc");
    QCOMPARE(view.loadMacroFile("Macro_1"), false);
    QVERIFY(!QFile::exists("./modules/macro/Macro_1.bin"));
    dialogs.answer.clear();
    QCOMPARE(view.loadMacroFile("Macro_1"), false);

    dialogs.answer = box.path("out.mc");
    writeFile(dialogs.answer, QByteArray(300, 'z'));
    view.saveMacroFile("Macro_0");
    QCOMPARE(dialogs.calls.last().kind, Dialogs::FileKind::Save);
    QCOMPARE(dialogs.calls.last().caption, QStringLiteral("Save File"));
    QCOMPARE(readFile(dialogs.answer), imported);
    // Exporting a macro that has no file leaves the target alone.
    view.saveMacroFile("Nothing");
    QCOMPARE(readFile(dialogs.answer), imported);
}

void TestControllerFiles::macroRenameAcrossProfiles() {
    Sandbox box;
    writeStandardFiles();
    for (int n = 0; n < 10; ++n)
        writeIni(profilePath(n), {{"mouseMacroKey/3", "Old"},
                                  {"mouseMacroKey/11", "Old"},
                                  {"mouseMacroKey/4", "Other"}});
    myQQuickView view;
    QCOMPARE(view.modifyMacroNameUpdateProfile("Old", "New"), QVariant(false)); // no file yet
    QCOMPARE(readFile(profilePath(0)).count("Old"), 2);

    view.createMacroIni("Old", 0);
    view.saveMacroIni("Old", {"1,A"}, 1);
    QCOMPARE(view.modifyMacroNameUpdateProfile("Old", "New"), QVariant(true));
    QVERIFY(!QFile::exists("./modules/macro/Old.bin"));
    QCOMPARE(view.loadMacroIni("New"), (QStringList{"1,A", "1"}));
    for (int n = 0; n < 10; ++n) {
        view.setCurrentProfile(n);
        const QString expect = n < 6 ? "New" : "Old";
        QCOMPARE(view.getData("mouseMacroKey/3", false).toString(), expect);
        QCOMPARE(view.getData("mouseMacroKey/11", false).toString(), expect);
        QCOMPARE(view.getData("mouseMacroKey/4", false).toString(), QStringLiteral("Other"));
    }

    // Onto an existing macro: the references move, the file does not.
    view.createMacroIni("Other", 0);
    QCOMPARE(view.modifyMacroNameUpdateProfile("New", "Other"), QVariant(false));
    QVERIFY(QFile::exists("./modules/macro/New.bin"));
    view.setCurrentProfile(0);
    QCOMPARE(view.getData("mouseMacroKey/3", false).toString(), QStringLiteral("Other"));
}

void TestControllerFiles::macroDeleteResetsButtons() {
    Sandbox box;
    writeStandardFiles();
    for (int n = 0; n < 10; ++n)
        writeIni(profilePath(n), {{"mouseKeyMatrix/2", QVariantList{4, 0, 2, 0}},
                                  {"mouseMacroKey/2", "Gone"},
                                  {"mouseKeyMatrix/5", QVariantList{4, 0, 5, 0}},
                                  {"mouseMacroKey/5", "Kept"},
                                  {"mouseKeyMatrix/7", QVariantList{2, 0, 4, 0}},
                                  {"mouseMacroKey/7", "Gone"},
                                  {"mouseKeyMatrix/9", QVariantList{4, 0}},
                                  {"mouseKeyMatrix/10", QVariantList{4, 0, 7, 0}}});
    myQQuickView view;
    view.deleteMacroUpdateProfile("Gone");
    for (int n = 0; n < 10; ++n) {
        view.setCurrentProfile(n);
        const QVariantList b2 = view.mouseGetKeydefine(2, false);
        if (n < 6)
            QCOMPARE(b2, view.mouseGetKeydefine(2, true));
        else
            QCOMPARE(b2, (QVariantList{"4", "0", "2", "0"}));
        QCOMPARE(view.mouseGetKeydefine(5, false), (QVariantList{"4", "0", "5", "0"}));
        QCOMPARE(view.mouseGetKeydefine(7, false), (QVariantList{"2", "0", "4", "0"}));
        QCOMPARE(view.getData("mouseMacroKey/2", false).toString(), QStringLiteral("Gone"));
        QCOMPARE(view.mouseGetKeydefine(9, false), (QVariantList{"4", "0"}));
    }
}

void TestControllerFiles::gunPresetsWithoutFile() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    view.mouseSaveGundata(0, {"M416", "L-Click", 10, 0, 10, 0});
    view.modifyGundata(1, {"X", "L-Click", 10, 0, 10, 0, "M416"});
    QVERIFY(!QFile::exists("./modules/gun/gunData.bin"));
    QVERIFY(view.getGunData(0).isEmpty());
    QVERIFY(view.getGunDataKey().isEmpty());
}

void TestControllerFiles::gunPresets() {
    Sandbox box;
    writeStandardFiles();
    writeFile("./modules/gun/gunData.bin", "[gunData]\n");
    myQQuickView view;
    view.mouseSaveGundata(0, {"M416", "L-Click", 10, 0, 10, 0, "extra"});
    view.mouseSaveGundata("1", {"AKM", "L-Click", "9", "1", "7"}); // short list
    QCOMPARE(view.getGunData(0), (QVariantList{"M416", "L-Click", "10", "0", "10", "0"}));
    QCOMPARE(view.getGunData("1"), (QVariantList{"AKM", "L-Click", "9", "1", "7"}));
    QVERIFY(view.getGunData(5).isEmpty());

    view.modifyGundata(1, {"Sniper", "R-Click", 20, 1, 2, 3, "Old"});
    QCOMPARE(view.getGunData("Sniper"), (QVariantList{"R-Click", "20", "1", "2", "3"}));
    QCOMPARE(view.getGunData(0).size(), 6);
    view.modifyGundata(1, {"Sniper2", "R-Click", 20, 1, 2, 3, "Sniper"});
    QCOMPARE(view.getGunDataKey(), (QStringList{"0", "1", "Sniper2"}));
    view.modifyGundata(0, {"Sniper2"});
    view.modifyGundata(7, {"0"});
    view.modifyGundata(0, {});
    QCOMPARE(view.getGunDataKey(), (QStringList{"0", "1"}));
}

void TestControllerFiles::gunProfileValues() {
    Sandbox box;
    writeStandardFiles();
    myQQuickView view;
    view.setCurrentProfile(1);
    QCOMPARE(view.getXYSensitive(0).toInt(), 4);
    QCOMPARE(view.getselectGun(2), QVariant(QString()));
    view.setXYSensitive(0, 7);
    view.setSelectGun(2, "AKM");
    QCOMPARE(view.getXYSensitive("0").toInt(), 7);
    QCOMPARE(view.getselectGun(2).toString(), QStringLiteral("AKM"));
    view.setCurrentProfile(0);
    QCOMPARE(view.getXYSensitive(0).toInt(), 4);
}

void TestControllerFiles::nameLists_data() {
    QTest::addColumn<QVariant>("type");
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QVariantList>("read");
    QTest::addColumn<QByteArray>("inFile");

    QTest::newRow("one macro") << QVariant(0) << QStringList{"A"}
                               << QVariantList{"A", "loadervortex"}
                               << QByteArray("macroName=A, loadervortex");
    QTest::newRow("two guns") << QVariant(1) << QStringList{"A", "B"} << QVariantList{"A", "B"}
                              << QByteArray("gunName=A, B");
    QTest::newRow("profiles, type as text")
        << QVariant("2") << QStringList{"Game0", "Work11"} << QVariantList{"Game0", "Work11"}
        << QByteArray("profileName=Game0, Work11");
    QTest::newRow("select guns") << QVariant(3) << QStringList{"x", "y", "z"}
                                 << QVariantList{"x", "y", "z"} << QByteArray("selectGun=x, y, z");
    QTest::newRow("empty removes")
        << QVariant(0) << QStringList{} << QVariantList{} << QByteArray("[macro]");
    QTest::newRow("unknown type") << QVariant(4) << QStringList{"A", "B"} << QVariantList{}
                                  << QByteArray("A, B");
}

void TestControllerFiles::nameLists() {
    QFETCH(QVariant, type);
    QFETCH(QStringList, stored);
    QFETCH(QVariantList, read);
    QFETCH(QByteArray, inFile);

    Sandbox box;
    writeStandardFiles();
    writeIni("./modules/setting/name.bin", {{"macro/macroName", QStringList{"old1", "old2"}}});
    myQQuickView view;
    QCOMPARE(view.updataNameList(type, stored), QVariant(true));
    QCOMPARE(view.getNameList(type), read);
    const QByteArray file = readFile("./modules/setting/name.bin");
    if (stored.isEmpty() || type.toInt() == 4)
        QVERIFY(!file.contains(inFile)); // the key is gone, or never written
    else
        QVERIFY2(file.contains(inFile), file.constData());
}

void TestControllerFiles::languageStrings() {
    Sandbox box;
    writeStandardFiles();
    writeFile("./modules/i18n/Test.ini",
              QString::fromUtf8("[main]\ntotal=3\n0=Save\n1=\"DPI, Stage\"\n2=保存\n"
                                "[short]\ntotal=2\n0=a\n"
                                "[other]\ntotal=9\n0=o0\n1=o1\n2=o2\n3=o3\n4=o4\n5=o5\n6=o6\n"
                                "7=o7\n8=o8\n"
                                "[other2]\ntotal=2\n0=p0\n1=p1\n")
                  .toUtf8());
    myQQuickView view;
    QCOMPARE(view.getLangStrings("main", "Test"),
             (QStringList{"Save", "DPI, Stage", QString::fromUtf8("保存")}));
    QCOMPARE(view.getLangStrings("short", "Test"), (QStringList{"a", ""}));
    QVERIFY(view.getLangStrings("main", "Missing").isEmpty());
    QVERIFY(view.getLangStrings("nothing", "Test").isEmpty());
    QVERIFY(view.getLangStrings("main", "../i18n/Test").isEmpty());

    const QStringList before = Hid_Thread::notificationTexts();
    QCOMPARE(before.size(), 8);
    view.getLangStrings("main", "Test");
    QCOMPARE(Hid_Thread::notificationTexts(), before);

    QCOMPARE(view.getLangStrings("other", "Test").size(), 9);
    QCOMPARE(Hid_Thread::notificationTexts(),
             (QStringList{"o0", "o1", "o2", "o3", "o4", "o5", "o6", "o7"}));

    // Renamed so only the group name differs: a short "other" keeps the rest.
    QFile::copy("./modules/i18n/Test.ini", "./modules/i18n/Short.ini");
    writeIni("./modules/i18n/Short.ini",
             {{"other/total", 2}, {"other/0", "q0"}, {"other/1", "q1"}});
    view.getLangStrings("other", "Short");
    QCOMPARE(Hid_Thread::notificationTexts(),
             (QStringList{"q0", "q1", "o2", "o3", "o4", "o5", "o6", "o7"}));
}

void TestControllerFiles::sceneCalls() {
    Sandbox box;
    writeStandardFiles();
    writeFile(box.path("scene.qml"), R"(import QtQuick 2.0
Item {
    property var calls: []
    function initUI() { calls = calls.concat(["initUI"]) }
    function run() { calls = calls.concat(["run"]) }
    function setProtectUI(interval) { calls = calls.concat(["busy " + interval]) }
    function setCurrentDPI(v) { calls = calls.concat(["dpi " + v]) }
}
)");
    myQQuickView view;
    // Without a scene nothing happens.
    view.initUI();
    view.setBusy(5);
    view.setCurrentDPI(2);

    view.setSource(QUrl::fromLocalFile(box.path("scene.qml")));
    QVERIFY(view.rootObject());
    auto calls = [&] { return view.rootObject()->property("calls").toStringList(); };
    view.initUI();
    view.runUI();
    view.setBusy(250);
    view.setCurrentDPI(3);
    QCOMPARE(calls(), (QStringList{"busy 250", "dpi 3"})); // the direct ones
    QCoreApplication::processEvents();
    QCOMPARE(calls(), (QStringList{"busy 250", "dpi 3", "initUI", "run"}));

    // From a worker thread the DPI stage is delivered on the GUI thread.
    std::unique_ptr<QThread> worker(QThread::create([&] { view.setCurrentDPI(5); }));
    worker->start();
    QVERIFY(worker->wait(5000));
    QCOMPARE(calls().size(), 4);
    QTRY_COMPARE(calls().size(), 5);
    QCOMPARE(calls().last(), QStringLiteral("dpi 5"));

    QFocusEvent focus(QEvent::FocusIn);
    focus.ignore();
    QCoreApplication::sendEvent(&view, &focus);
    QVERIFY(focus.isAccepted());
}

QTEST_MAIN(TestControllerFiles)
#include "tst_controller_files.moc"
