// Checks the data files installed beside the executable: every key the
// program reads is there in the form it parses, factory copies match, and
// the language files line up with the interface's built-in text sets.

#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStringDecoder>
#include <QTest>

#include <array>
#include <memory>

namespace {

QString dataPath(const QString &rel) {
    return QCoreApplication::applicationDirPath() + "/modules/" + rel;
}

std::unique_ptr<QSettings> openIni(const QString &rel) {
    return std::make_unique<QSettings>(dataPath(rel), QSettings::IniFormat);
}

enum Form { Text, Bool, Number, Hex4, List };

// Empty when `v` has the form the program parses; otherwise what is wrong.
QString formError(const QVariant &v, Form form, int listLength) {
    if (!v.isValid())
        return "missing";
    const bool isList = v.userType() == QMetaType::QStringList;
    if ((form == List) != isList)
        return isList ? "is a list" : "is not a list";
    bool ok = false;
    switch (form) {
    case Text:
        return v.toString().isEmpty() ? "empty" : QString();
    case Bool:
        return (v.toString() == "true" || v.toString() == "false") ? QString() : "not a boolean";
    case Number:
        v.toString().toUInt(&ok);
        return ok ? QString() : "not a number";
    case Hex4:
        return QRegularExpression("^[0-9a-f]{4}$").match(v.toString()).hasMatch()
                   ? QString()
                   : "not four lower-case hex digits";
    case List:
        if (v.toStringList().size() != listLength)
            return QString("has %1 items, not %2").arg(v.toStringList().size()).arg(listLength);
        for (const QString &item : v.toStringList()) {
            item.toUInt(&ok);
            if (!ok)
                return "item '" + item + "' is not a number";
        }
        return QString();
    }
    return QString();
}

QList<int> listOfInts(const QVariant &v) {
    QList<int> out;
    for (const QString &s : v.toStringList())
        out << s.toInt();
    return out;
}

// Usage codes of the key label table in table order, built from the ranges
// the interface lists.
QList<int> keyTableCodes() {
    QList<int> c;
    const std::pair<int, int> ranges[] = {{0x04, 0x73}, {0x85, 0x85}, {0x87, 0x8B},
                                          {0x90, 0x91}, {0xE0, 0xE7}, {0xF0, 0xF4}};
    for (const auto &[first, last] : ranges)
        for (int u = first; u <= last; ++u)
            c << u;
    return c;
}

QStringList groupTexts(QSettings &s, const QString &group) {
    QStringList out;
    const int total = s.value(group + "/total").toInt();
    for (int i = 0; i < total; ++i)
        out << s.value(group + "/" + QString::number(i)).toString();
    return out;
}

// Built-in text counts of the interface, by language group.
const QList<std::pair<const char *, int>> kGroupCounts = {
    {"main", 15},         {"keyMatrix", 2},    {"keyAssigment", 60},  {"dpiSetting", 5},
    {"lightControl", 20}, {"macroEditor", 20}, {"systemSetting", 15}, {"gunControl", 10},
    {"profile", 20},      {"keyCode", 133},    {"other", 8},
};

const char *const kLanguages[] = {"English", "ChineseSimplified"};

const char *const kProfileFiles[] = {"pD.bin", "p1.bin", "p2.bin", "p3.bin", "p4.bin", "p5.bin",
                                     "p6.bin", "p7.bin", "p8.bin", "p9.bin", "p10.bin"};

} // namespace

class ShippedData : public QObject {
    Q_OBJECT

private slots:
    void filesLoad_data();
    void filesLoad();
    void globalKeys_data();
    void globalKeys();
    void globalValuesAgree();
    void deviceList();
    void profileKeys_data();
    void profileKeys();
    void profileValuesAgree();
    void factoryCopiesIdentical_data();
    void factoryCopiesIdentical();
    void deviceMatrixIsConvertedInterfaceMatrix();
    void profileNameList();
    void gunPresets();
    void languageGroups_data();
    void languageGroups();
    void chineseCoversEnglish();
    void keyLabelsDistinct_data();
    void keyLabelsDistinct();
    void englishKeyLabels_data();
    void englishKeyLabels();
    void englishTexts_data();
    void englishTexts();
    void trayIcon();
};

void ShippedData::filesLoad_data() {
    QTest::addColumn<QString>("file");
    QStringList files = {"setting/apConfig.bin", "setting/apConfigD.bin",
                         "setting/name.bin",     "gun/gunData.bin",
                         "i18n/English.ini",     "i18n/ChineseSimplified.ini"};
    for (const char *p : kProfileFiles)
        files << QString("setting/") + p;
    for (const QString &f : files)
        QTest::newRow(qPrintable(f)) << f;
}

void ShippedData::filesLoad() {
    QFETCH(QString, file);
    QFile f(dataPath(file));
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    const QByteArray bytes = f.readAll();
    QVERIFY(!bytes.isEmpty());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    QVERIFY2(!utf8.hasError(), "not valid UTF-8");
    QVERIFY2(!bytes.startsWith("\xEF\xBB\xBF"), "byte order mark");

    auto s = openIni(file);
    QCOMPARE(s->status(), QSettings::NoError);
    QVERIFY(!s->childGroups().isEmpty());
    // Keys outside any group would land in [General]: nothing the program reads.
    QVERIFY2(s->childKeys().isEmpty(), qPrintable(s->childKeys().join(", ")));
}

void ShippedData::globalKeys_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("form");
    QTest::addColumn<int>("listLength");
    const std::tuple<const char *, Form, int> rows[] = {
        {"common/name", Text, 0},      {"common/language", Text, 0},
        {"common/url", Text, 0},       {"common/deviceCount", Number, 0},
        {"mouse/icType", Text, 0},     {"mouse/isColorful", Bool, 0},
        {"mouse/isGun", Bool, 0},      {"mouse/is55328", Bool, 0},
        {"mouse/keyCount", Number, 0}, {"mouse/profileNo", Number, 0},
        {"mouse/minDPI", Number, 0},   {"mouse/maxDPI", Number, 0},
        {"mouse/dpiBase", Number, 0},  {"mouse/sensorType", Text, 0},
        {"mouse/selectGun", List, 3},
    };
    for (const auto &[key, form, len] : rows)
        QTest::newRow(key) << QString(key) << int(form) << len;
}

void ShippedData::globalKeys() {
    QFETCH(QString, key);
    QFETCH(int, form);
    QFETCH(int, listLength);
    for (const char *file : {"setting/apConfig.bin", "setting/apConfigD.bin"}) {
        const QString err = formError(openIni(file)->value(key), Form(form), listLength);
        QVERIFY2(err.isEmpty(), qPrintable(QString(file) + ": " + err));
    }
}

void ShippedData::globalValuesAgree() {
    auto s = openIni("setting/apConfig.bin");
    QVERIFY(QStringList({"553", "560"}).contains(s->value("mouse/icType").toString()));
    QVERIFY(QStringList({"4090", "3360", "3050", "3389"})
                .contains(s->value("mouse/sensorType").toString()));
    const int minDpi = s->value("mouse/minDPI").toInt();
    const int maxDpi = s->value("mouse/maxDPI").toInt();
    const int base = s->value("mouse/dpiBase").toInt();
    QVERIFY(base > 0 && minDpi > 0 && minDpi < maxDpi);
    QCOMPARE(minDpi % base, 0);
    QCOMPARE(maxDpi % base, 0);
    // The mouse picture has hotspots for eight buttons; six profiles are offered.
    QVERIFY(s->value("mouse/keyCount").toInt() >= 1 && s->value("mouse/keyCount").toInt() <= 8);
    QVERIFY(s->value("mouse/profileNo").toInt() >= 0 && s->value("mouse/profileNo").toInt() < 6);
    QVERIFY(s->value("common/url").toString().startsWith("https://"));
    QVERIFY(QFile::exists(dataPath("i18n/" + s->value("common/language").toString() + ".ini")));
    auto guns = openIni("gun/gunData.bin");
    for (int g : listOfInts(s->value("mouse/selectGun")))
        QVERIFY2(guns->contains("gunData/" + QString::number(g)), "slot names a missing preset");
}

void ShippedData::deviceList() {
    auto s = openIni("setting/apConfig.bin");
    const int count = s->value("common/deviceCount").toInt();
    QVERIFY(count >= 1);
    for (int i = 0; i < count; ++i) {
        s->beginGroup(QString::number(i));
        for (const char *key : {"vid", "pid", "usagePage", "usage", "usagePage2", "usage2"}) {
            const QString err = formError(s->value(key), Hex4, 0);
            QVERIFY2(err.isEmpty(), qPrintable(QString("%1/%2: %3").arg(i).arg(key, err)));
        }
        bool ok = false;
        s->value("type").toString().toInt(&ok, 16);
        QVERIFY(ok);
        QVERIFY(s->value("reportLength").toString().toInt(&ok) > 0 && ok);
        QVERIFY(formError(s->value("isEncode"), Bool, 0).isEmpty());
        QCOMPARE(s->value("sCode").toString().size(), 6);
        // The two interfaces must differ, or commands and events share one pipe.
        QVERIFY(s->value("usagePage") != s->value("usagePage2") ||
                s->value("usage") != s->value("usage2"));
        s->endGroup();
    }
}

void ShippedData::profileKeys_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("form");
    QTest::addColumn<int>("listLength");
    const std::tuple<const char *, Form, int> rows[] = {
        {"mouse/reportRate", Number, 0},      {"mouse/dpiCount", Number, 0},
        {"mouse/currentDpiCount", Number, 0}, {"mouse/dpiValueArray", List, 8},
        {"mouse/lightValue", List, 3},        {"mouse/colorValue", List, 24},
        {"mouse/mouseRate", Number, 0},       {"mouse/doubleRate", Number, 0},
        {"mouse/scrollRate", Number, 0},
    };
    for (const auto &[key, form, len] : rows)
        QTest::newRow(key) << QString(key) << int(form) << len;
    for (const char *group : {"mouseKeyMatrix/", "mouseFwKeyMatrix/"})
        for (int i = 0; i < 16; ++i) {
            const QString key = group + QString::number(i);
            QTest::newRow(qPrintable(key)) << key << int(List) << 4;
        }
}

void ShippedData::profileKeys() {
    QFETCH(QString, key);
    QFETCH(int, form);
    QFETCH(int, listLength);
    const QString err = formError(openIni("setting/pD.bin")->value(key), Form(form), listLength);
    QVERIFY2(err.isEmpty(), qPrintable(err));
}

void ShippedData::profileValuesAgree() {
    auto g = openIni("setting/apConfig.bin");
    auto p = openIni("setting/pD.bin");
    QVERIFY(p->value("mouse/reportRate").toInt() >= 0 && p->value("mouse/reportRate").toInt() <= 3);
    const int dpiCount = p->value("mouse/dpiCount").toInt();
    const int current = p->value("mouse/currentDpiCount").toInt();
    QVERIFY(dpiCount >= 1 && dpiCount <= 8 && current >= 1 && current <= dpiCount);
    const int minDpi = g->value("mouse/minDPI").toInt(), maxDpi = g->value("mouse/maxDPI").toInt();
    const int base = g->value("mouse/dpiBase").toInt();
    for (int v : listOfInts(p->value("mouse/dpiValueArray"))) {
        QVERIFY2(v >= minDpi && v <= maxDpi && v % base == 0, qPrintable(QString::number(v)));
    }
    const QList<int> light = listOfInts(p->value("mouse/lightValue"));
    const int effects = 4 + (g->value("mouse/isColorful").toBool() ? 7 : 0) +
                        (g->value("mouse/is55328").toBool() ? 1 : 0);
    QVERIFY(light[0] < effects && light[1] <= 4 && light[2] <= 4);
    for (int c : listOfInts(p->value("mouse/colorValue")))
        QVERIFY(c <= 255);

    // Knob positions map to a speed index through these thresholds.
    const int thresholds[] = {4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338};
    for (const char *key : {"mouse/mouseRate", "mouse/doubleRate"}) {
        const int pos = p->value(key).toInt();
        QVERIFY(pos >= 3 && pos <= 337);
        int index = 0;
        while (pos >= thresholds[index])
            ++index;
        QCOMPARE(index, 5);
    }
    const int lines = p->value("mouse/scrollRate").toInt();
    QVERIFY((lines >= 1 && lines <= 100) || lines == 1000);

    // The interface never lets the last left click go, so one must ship.
    int leftClicks = 0;
    for (int i = 0; i < 16; ++i) {
        const QList<int> e = listOfInts(p->value("mouseKeyMatrix/" + QString::number(i)));
        leftClicks += (e[0] == 0 && e[2] == 0xF0) ? 1 : 0;
        QVERIFY(e[0] <= 8 || e[0] == 0xFF);
        for (int b : e)
            QVERIFY(b <= 255);
    }
    QVERIFY(leftClicks >= 1);
}

void ShippedData::factoryCopiesIdentical_data() {
    QTest::addColumn<QString>("copy");
    QTest::addColumn<QString>("original");
    QTest::newRow("apConfig") << "setting/apConfig.bin"
                              << "setting/apConfigD.bin";
    for (const char *p : kProfileFiles)
        if (QString(p) != "pD.bin")
            QTest::newRow(p) << QString("setting/") + p << "setting/pD.bin";
}

void ShippedData::factoryCopiesIdentical() {
    QFETCH(QString, copy);
    QFETCH(QString, original);
    QFile a(dataPath(copy)), b(dataPath(original));
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QVERIFY(a.size() > 0);
    QVERIFY(a.readAll() == b.readAll());
}

void ShippedData::deviceMatrixIsConvertedInterfaceMatrix() {
    const bool family560 = openIni("setting/apConfig.bin")->value("mouse/icType") == "560";
    auto p = openIni("setting/pD.bin");
    using E = std::array<int, 4>;
    auto convert = [family560](E e) {
        static const QMap<int, int> typeOf = {{1, 0x0A}, {2, 0}, {3, 3}, {4, 9},   {5, 7},
                                              {6, 0},    {7, 0}, {8, 8}, {0xFF, 4}};
        E d = e;
        if (e[0] == 0)
            d[0] = (e[2] == 0x1E && e[3] == 3) ? 0x0A : 1;
        else
            d[0] = typeOf.value(e[0], e[0]);
        if (e[0] == 4)
            d[2] = (e[2] + 1) & 0xFF;
        if (e[0] == 5 && e[2] == 4)
            d = family560 ? E{0x0B, 0, 1, 1} : E{7, 0, 4, 1};
        const bool consumer =
            (d[3] == 2 && (d[2] == 0x21 || d[2] == 0x23)) || (d[3] == 1 && d[2] == 0x94);
        if (consumer)
            d[0] = 3;
        return d;
    };
    E converted[16];
    for (int i = 0; i < 16; ++i) {
        const QList<int> v = listOfInts(p->value("mouseKeyMatrix/" + QString::number(i)));
        converted[i] = convert({v[0], v[1], v[2], v[3]});
    }
    const int sourceOf[16] = {0, 1, 2, 3, 4, 7, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int pos = 0; pos < 16; ++pos) {
        const QList<int> stored = listOfInts(p->value("mouseFwKeyMatrix/" + QString::number(pos)));
        const E &want = converted[sourceOf[pos]];
        QVERIFY2(stored == QList<int>(want.begin(), want.end()),
                 qPrintable(QString("device position %1").arg(pos)));
    }
}

void ShippedData::profileNameList() {
    const QVariant v = openIni("setting/name.bin")->value("profile/profileName");
    QCOMPARE(v.userType(), int(QMetaType::QStringList));
    const QStringList entries = v.toStringList();
    // A single entry only survives the INI round trip with the sentinel.
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[1], QString("loadervortex"));
    // name + profile number; the standard entry carries profile 0.
    QCOMPARE(entries[0].right(1), QString("0"));
    const QStringList profileTexts = groupTexts(*openIni("i18n/English.ini"), "profile");
    QCOMPARE(entries[0].chopped(1), profileTexts.value(5));
}

void ShippedData::gunPresets() {
    auto s = openIni("gun/gunData.bin");
    s->beginGroup("gunData");
    QStringList keys = s->childKeys();
    std::sort(keys.begin(), keys.end());
    QCOMPARE(keys, QStringList({"0", "1", "2", "3", "4", "5"}));
    QSet<QString> names;
    for (const QString &k : keys) {
        const QStringList f = s->value(k).toStringList();
        QCOMPARE(f.size(), 6);
        QVERIFY(!f[0].isEmpty());
        names.insert(f[0]);
        QCOMPARE(f[1], QString("L-Click"));
        bool ok[4] = {};
        const int period = f[2].toInt(&ok[0]), x = f[3].toInt(&ok[1]), y = f[4].toInt(&ok[2]),
                  shots = f[5].toInt(&ok[3]);
        QVERIFY(ok[0] && ok[1] && ok[2] && ok[3]);
        // Ranges of the editor's rate knob, Y dot, X box and times box.
        QVERIFY(period >= 4 && period <= 90);
        QVERIFY(x >= 0 && x <= 64 && y >= 0 && y <= 64 && shots >= 0 && shots <= 255);
    }
    QCOMPARE(names.size(), 6);
}

void ShippedData::languageGroups_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("count");
    for (const char *lang : kLanguages)
        for (const auto &[group, count] : kGroupCounts)
            QTest::addRow("%s/%s", lang, group) << QString(lang) << QString(group) << count;
}

void ShippedData::languageGroups() {
    QFETCH(QString, language);
    QFETCH(QString, group);
    QFETCH(int, count);
    auto s = openIni("i18n/" + language + ".ini");
    QCOMPARE(s->value(group + "/total").toInt(), count);
    s->beginGroup(group);
    // total plus exactly the numbered texts, no strays the scene would ignore
    QCOMPARE(s->childKeys().size(), count + 1);
    for (int i = 0; i < count; ++i) {
        const QVariant v = s->value(QString::number(i));
        QVERIFY2(v.isValid(), qPrintable(QString("text %1 missing").arg(i)));
        // An unescaped comma would turn a label into a list.
        QVERIFY2(v.userType() == QMetaType::QString, qPrintable(QString("text %1").arg(i)));
    }
}

void ShippedData::chineseCoversEnglish() {
    auto en = openIni("i18n/English.ini");
    auto zh = openIni("i18n/ChineseSimplified.ini");
    const QRegularExpression han("\\p{Han}");
    for (const auto &[group, count] : kGroupCounts) {
        const QStringList e = groupTexts(*en, group), c = groupTexts(*zh, group);
        QCOMPARE(c.size(), e.size());
        bool translated = false;
        for (int i = 0; i < e.size(); ++i) {
            QVERIFY2(e[i].isEmpty() || !c[i].isEmpty(),
                     qPrintable(QString("%1/%2 untranslated").arg(group).arg(i)));
            translated = translated || c[i].contains(han);
        }
        // Groups of words (not just "DPI") must really be Chinese.
        if (QString(group) != "dpiSetting")
            QVERIFY2(translated, group);
    }
}

void ShippedData::keyLabelsDistinct_data() {
    QTest::addColumn<QString>("language");
    for (const char *lang : kLanguages)
        QTest::newRow(lang) << QString(lang);
}

void ShippedData::keyLabelsDistinct() {
    QFETCH(QString, language);
    const QStringList labels = groupTexts(*openIni("i18n/" + language + ".ini"), "keyCode");
    const QList<int> codes = keyTableCodes();
    QCOMPARE(labels.size(), codes.size());
    QHash<QString, int> firstCode;
    for (int i = 0; i < labels.size(); ++i) {
        QVERIFY2(!labels[i].isEmpty(), qPrintable(QString::number(codes[i], 16)));
        if (firstCode.contains(labels[i])) {
            // Only the two backslash keys share a cap.
            QVERIFY2(firstCode[labels[i]] == 0x31 && codes[i] == 0x32,
                     qPrintable(QString("label '%1' of %2 already used by %3")
                                    .arg(labels[i])
                                    .arg(codes[i], 0, 16)
                                    .arg(firstCode[labels[i]], 0, 16)));
        }
        firstCode.insert(labels[i], firstCode.value(labels[i], codes[i]));
    }
    QCOMPARE(labels[codes.indexOf(0x31)], labels[codes.indexOf(0x32)]);
}

void ShippedData::englishKeyLabels_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("label");
    const std::pair<int, const char *> rows[] = {
        {0x04, "A"},      {0x1D, "Z"},     {0x1E, "1"},     {0x27, "0"},     {0x28, "Enter"},
        {0x2C, "Space"},  {0x2D, "-"},     {0x2E, "="},     {0x2F, "["},     {0x30, "]"},
        {0x31, "\\"},     {0x32, "\\"},    {0x33, ";"},     {0x34, "'"},     {0x35, "`"},
        {0x36, "，"},     {0x38, "/"},     {0x39, "Caps"},  {0x45, "F12"},   {0x4E, "PgD"},
        {0x4F, "►"},      {0x50, "◄"},     {0x51, "▼"},     {0x52, "▲"},     {0x58, "KPEnter"},
        {0x62, "KP0"},    {0x63, "KP."},   {0x67, "KP="},   {0x68, "F13"},   {0x73, "F24"},
        {0x85, "Keypad"}, {0x87, "Intl1"}, {0x8B, "Intl5"}, {0x91, "Lang2"}, {0xE0, "LCtrl"},
        {0xE7, "RWin"},   {0xF0, "MS-L"},  {0xF1, "MS-R"},  {0xF2, "MS-M"},  {0xF4, "MS-B5"},
    };
    for (const auto &[code, label] : rows)
        QTest::addRow("0x%02x", code) << code << QString::fromUtf8(label);
}

void ShippedData::englishKeyLabels() {
    QFETCH(int, code);
    QFETCH(QString, label);
    const QStringList labels = groupTexts(*openIni("i18n/English.ini"), "keyCode");
    QCOMPARE(labels.value(keyTableCodes().indexOf(code)), label);
}

void ShippedData::englishTexts_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    // Texts the INI round trip can damage: edge blanks, empty slots, slashes,
    // long sentences, the "other" group the tray balloons use.
    const std::pair<const char *, const char *> rows[] = {
        {"keyMatrix/0", "Key "},
        {"keyAssigment/0", "Key "},
        {"main/11", ""},
        {"keyAssigment/59", ""},
        {"keyAssigment/32", "Play/Pause"},
        {"profile/5", "Standard"},
        {"keyAssigment/19", "Macro runs endless loop until any button is pressed"},
        {"other/0", "DPI stage 1"},
        {"other/7", "DPI stage 8"},
    };
    for (const auto &[key, text] : rows)
        QTest::newRow(key) << QString(key) << QString(text);
}

void ShippedData::englishTexts() {
    QFETCH(QString, key);
    QFETCH(QString, text);
    QCOMPARE(openIni("i18n/English.ini")->value(key).toString(), text);
}

void ShippedData::trayIcon() {
    const QString path = dataPath("img/logo.ico");
    QImageReader reader(path);
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    QSet<int> sizes;
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage img = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!img.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(img.width(), img.height());
        sizes.insert(img.width());
        if (img.width() < 32)
            continue;
        // The mark must actually be drawn: dark tile with the orange accent.
        int orange = 0, dark = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.alpha() < 250)
                    continue;
                if (qAbs(c.red() - 0xcf) < 24 && qAbs(c.green() - 0x3e) < 24 && c.blue() < 32)
                    ++orange;
                else if (c.lightness() < 60)
                    ++dark;
            }
        const int area = img.width() * img.height();
        QVERIFY2(orange > area / 20 && dark > area / 4, qPrintable(QString::number(img.width())));
    }
    for (int want : {16, 24, 32, 48, 64, 128, 256})
        QVERIFY2(sizes.contains(want), qPrintable(QString::number(want)));
    const QIcon icon(path);
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().size() >= 7);
}

QTEST_MAIN(ShippedData)
#include "tst_shipped_data.moc"
