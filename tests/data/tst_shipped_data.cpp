// The data files beside the program read, and the defaults a user starts with work.

#include "device_list.h"
#include "key_matrix.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStringDecoder>
#include <QTest>

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
    void filesRead();
    void defaults();
    void languages();
};

void ShippedData::filesRead() {
    for (int n = 1; n <= 10; ++n)
        QVERIFY(QFile::exists(dataPath(QString("setting/p%1.bin").arg(n))));
    for (const char *dir : {"setting", "gun", "i18n"})
        for (const QFileInfo &file : QDir(dataPath(dir)).entryInfoList(QDir::Files)) {
            QFile f(file.filePath());
            const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            QStringDecoder utf8(QStringDecoder::Utf8);
            utf8.decode(bytes);
            QSettings s(file.filePath(), QSettings::IniFormat);
            // A byte order mark would hide the first group; keys outside a
            // group are never read.
            QVERIFY2(!utf8.hasError() && !bytes.startsWith("\xEF\xBB\xBF") && !bytes.isEmpty() &&
                         s.status() == QSettings::NoError && !s.childGroups().isEmpty() &&
                         s.childKeys().isEmpty(),
                     qPrintable(f.fileName()));
        }
}

void ShippedData::defaults() {
    auto g = openIni("setting/apConfig.bin"), p = openIni("setting/pD.bin");
    QFile shipped(g->fileName()), factory(dataPath("setting/apConfigD.bin"));
    QVERIFY2(shipped.open(QIODevice::ReadOnly) && factory.open(QIODevice::ReadOnly) &&
                 shipped.readAll() == factory.readAll(),
             "a reset must restore what shipped");
    QVERIFY(QStringList({"553", "560"}).contains(g->value("mouse/icType").toString()));
    QVERIFY(QFile::exists(dataPath("i18n/" + g->value("common/language").toString() + ".ini")));
    const QList<int> gunSlots = ints(g->value("mouse/selectGun"));
    QCOMPARE(gunSlots.size(), 3);
    for (int n : gunSlots)
        QVERIFY2(openIni("gun/gunData.bin")->contains("gunData/" + QString::number(n)),
                 "no such gun");
    // The profile list must read back as a list, not as one name.
    QCOMPARE(openIni("setting/name.bin")->value("profile/profileName").userType(),
             int(QMetaType::QStringList));

    // The mouse must be found: every entry of the device list is read, with
    // commands and events on two different interfaces.
    const QList<DeviceEntry> list = DeviceList::read(g->fileName());
    QVERIFY(!list.isEmpty() && list.size() == g->value("common/deviceCount").toInt());
    for (const DeviceEntry &e : list)
        QVERIFY(e.vid && e.pid && (e.usagePage != e.usagePage2 || e.usage != e.usage2));

    const QList<int> dpi = ints(p->value("mouse/dpiValueArray"));
    QCOMPARE(dpi.size(), 8);
    for (int v : dpi)
        QVERIFY(v >= g->value("mouse/minDPI").toInt() && v <= g->value("mouse/maxDPI").toInt());
    QVERIFY(p->value("mouse/currentDpiCount").toInt() <= p->value("mouse/dpiCount").toInt());
    QVERIFY(ints(p->value("mouse/lightValue")).size() == 3 &&
            ints(p->value("mouse/colorValue")).size() == 24);
    // The layer templates are the buttons as the interface shows them, and
    // one button keeps the left click the interface never lets go.
    QVariantList buttons;
    for (int i = 0; i < 16; ++i)
        for (int b : ints(p->value("mouseKeyMatrix/" + QString::number(i))))
            buttons << b;
    bool leftClick = false;
    for (int i = 0; i < 64; i += 4)
        leftClick = leftClick || (buttons[i] == 0 && buttons[i + 2] == 0xF0);
    QVERIFY(leftClick);
    const KeyMatrix::Matrix m = KeyMatrix::buildMatrix(buttons, g->value("mouse/icType") == "560");
    QList<int> templates;
    for (int pos = 0; pos < 16; ++pos)
        templates += ints(p->value("mouseFwKeyMatrix/" + QString::number(pos)));
    QCOMPARE(templates, QList<int>(m.begin(), m.end()));
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

QTEST_MAIN(ShippedData)
#include "tst_shipped_data.moc"
