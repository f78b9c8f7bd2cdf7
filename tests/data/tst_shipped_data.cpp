// The data files installed beside the executable: each one reads, and the
// defaults a user starts with work.

#include "device_list.h"
#include "key_matrix.h"

#include <QCoreApplication>
#include <QIcon>
#include <QSettings>
#include <QStringDecoder>
#include <QTest>

#include <memory>

namespace {

QString dataPath(const QString &rel) {
    return QCoreApplication::applicationDirPath() + "/modules/" + rel;
}

std::unique_ptr<QSettings> openIni(const QString &rel) {
    return std::make_unique<QSettings>(dataPath(rel), QSettings::IniFormat);
}

QList<int> ints(const QVariant &v) {
    QList<int> out;
    for (const QString &s : v.toStringList())
        out << s.toInt();
    return out;
}

} // namespace

class ShippedData : public QObject {
    Q_OBJECT
private slots:
    void filesRead_data();
    void filesRead();
    void globalDefaults();
    void defaultProfile();
    void languages();
    void trayIcon();
};

void ShippedData::filesRead_data() {
    QTest::addColumn<QString>("file");
    for (const char *f :
         {"setting/apConfig.bin", "setting/apConfigD.bin", "setting/name.bin", "setting/pD.bin",
          "gun/gunData.bin", "i18n/English.ini", "i18n/ChineseSimplified.ini"})
        QTest::newRow(f) << QString(f);
    for (int n = 1; n <= 10; ++n)
        QTest::addRow("setting/p%d.bin", n) << QString("setting/p%1.bin").arg(n);
}

void ShippedData::filesRead() {
    QFETCH(QString, file);
    QFile f(dataPath(file));
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    utf8.decode(bytes);
    QVERIFY2(!utf8.hasError(), "not valid UTF-8");
    QVERIFY2(!bytes.startsWith("\xEF\xBB\xBF"), "a byte order mark hides the first group");
    auto s = openIni(file);
    QCOMPARE(s->status(), QSettings::NoError);
    QVERIFY(!s->childGroups().isEmpty());
    QVERIFY2(s->childKeys().isEmpty(), "keys outside any group are never read");
}

void ShippedData::globalDefaults() {
    auto s = openIni("setting/apConfig.bin");
    QFile shipped(dataPath("setting/apConfig.bin")), factory(dataPath("setting/apConfigD.bin"));
    QVERIFY(shipped.open(QIODevice::ReadOnly) && factory.open(QIODevice::ReadOnly));
    QVERIFY2(shipped.readAll() == factory.readAll(), "a reset must restore what shipped");
    QVERIFY(QStringList({"553", "560"}).contains(s->value("mouse/icType").toString()));
    QVERIFY(QStringList({"4090", "3360", "3050", "3389"})
                .contains(s->value("mouse/sensorType").toString()));
    QVERIFY(s->value("mouse/minDPI").toInt() > 0 &&
            s->value("mouse/minDPI").toInt() < s->value("mouse/maxDPI").toInt());
    QVERIFY(QFile::exists(dataPath("i18n/" + s->value("common/language").toString() + ".ini")));
    auto guns = openIni("gun/gunData.bin");
    QCOMPARE(guns->allKeys().size(), 6);
    for (const QString &key : guns->allKeys())
        QCOMPARE(guns->value(key).toStringList().size(), 6);
    const QList<int> gunSlots = ints(s->value("mouse/selectGun"));
    QCOMPARE(gunSlots.size(), 3);
    for (int g : gunSlots)
        QVERIFY2(guns->contains("gunData/" + QString::number(g)), "a slot names a missing preset");
    // The profile list must read back as a list, not as one name.
    QCOMPARE(openIni("setting/name.bin")->value("profile/profileName").userType(),
             int(QMetaType::QStringList));

    // The mouse must be found: every entry of the device list is read, with
    // commands and events on two different interfaces.
    const QList<DeviceEntry> list = DeviceList::read(dataPath("setting/apConfig.bin"));
    QCOMPARE(list.size(), s->value("common/deviceCount").toInt());
    QVERIFY(!list.isEmpty());
    for (const DeviceEntry &e : list) {
        QVERIFY(e.vid && e.pid && e.sCode.size() == 6);
        QVERIFY(e.usagePage != e.usagePage2 || e.usage != e.usage2);
    }
}

void ShippedData::defaultProfile() {
    auto g = openIni("setting/apConfig.bin");
    auto p = openIni("setting/pD.bin");
    const QList<int> dpi = ints(p->value("mouse/dpiValueArray"));
    QCOMPARE(dpi.size(), 8);
    for (int v : dpi)
        QVERIFY(v >= g->value("mouse/minDPI").toInt() && v <= g->value("mouse/maxDPI").toInt());
    QVERIFY(p->value("mouse/currentDpiCount").toInt() <= p->value("mouse/dpiCount").toInt());
    QCOMPARE(ints(p->value("mouse/lightValue")).size(), 3);
    QCOMPARE(ints(p->value("mouse/colorValue")).size(), 24);

    // The layer templates are the buttons as the interface shows them, and
    // one button keeps the left click the interface never lets go.
    QVariantList buttons;
    int leftClicks = 0;
    for (int i = 0; i < 16; ++i) {
        const QList<int> e = ints(p->value("mouseKeyMatrix/" + QString::number(i)));
        QCOMPARE(e.size(), 4);
        leftClicks += e[0] == 0 && e[2] == 0xF0;
        for (int b : e)
            buttons << b;
    }
    QVERIFY(leftClicks > 0);
    const KeyMatrix::Matrix m = KeyMatrix::buildMatrix(buttons, g->value("mouse/icType") == "560");
    for (int pos = 0; pos < 16; ++pos)
        QVERIFY2(ints(p->value("mouseFwKeyMatrix/" + QString::number(pos))) ==
                     QList<int>(m.begin() + pos * 4, m.begin() + pos * 4 + 4),
                 qPrintable(QString("template %1").arg(pos)));
}

// The scene replaces its texts group by group: a short group leaves labels
// blank, and the key names must line up with the key table.
void ShippedData::languages() {
    const std::pair<const char *, int> groups[] = {
        {"main", 15},         {"keyMatrix", 2},    {"keyAssigment", 60},  {"dpiSetting", 5},
        {"lightControl", 20}, {"macroEditor", 20}, {"systemSetting", 15}, {"gunControl", 10},
        {"profile", 20},      {"keyCode", 133},    {"other", 8}};
    auto en = openIni("i18n/English.ini"), zh = openIni("i18n/ChineseSimplified.ini");
    for (const auto &[group, count] : groups)
        for (QSettings *s : {en.get(), zh.get()}) {
            const QString where = s->fileName().section('/', -1) + ": " + group;
            QVERIFY2(s->value(QString(group) + "/total").toInt() == count, qPrintable(where));
            for (int i = 0; i < count; ++i) {
                const QString key = QString("%1/%2").arg(group).arg(i);
                // An unescaped comma would turn a label into a list.
                QVERIFY2(s->value(key).userType() == QMetaType::QString, qPrintable(key));
                QVERIFY2(s == en.get() || en->value(key).toString().isEmpty() ||
                             !s->value(key).toString().isEmpty(),
                         qPrintable(where + " untranslated"));
            }
        }
}

void ShippedData::trayIcon() {
    const QIcon icon(dataPath("img/logo.ico"));
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                 qPrintable(QString::number(size)));
    QVERIFY(!icon.pixmap(16).toImage().isNull());
}

QTEST_MAIN(ShippedData)
#include "tst_shipped_data.moc"
