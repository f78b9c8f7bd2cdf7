// The pictures the scene names are in the resources and decode, and the hue
// bar shows the colours the lighting page sends for each marker position.
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJSEngine>
#include <QRegularExpression>
#include <QTest>

class TstArtwork : public QObject {
    Q_OBJECT
private slots:
    void namedPicturesDecode();
    void hueBarMatchesLightMath();
};

namespace {
QString picture(const QString &group, const QString &name) {
    return QStringLiteral(":/%1/modules/img/skin1/%1/%2.png").arg(group, name);
}
} // namespace

void TstArtwork::namedPicturesDecode() {
    // Names written out in the scene, and those it puts together.
    QStringList paths;
    const QRegularExpression styled(R"re(Style\.image\("(\w+)",\s*"(\w+)"\))re");
    const QRegularExpression plain(R"re("qrc(:/[\w/.-]+\.png)")re");
    QDirIterator it(":/modules/qml", {"*.qml"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (const auto &m : styled.globalMatch(text))
            paths << picture(m.captured(1), m.captured(2));
        for (const auto &m : plain.globalMatch(text))
            paths << m.captured(1);
    }
    QVERIFY2(paths.size() > 20, "the scene's picture names were not found");
    for (int i = 0; i < 8; ++i)
        paths << picture("mouse", QStringLiteral("Mouse%1").arg(i))
              << picture("mouse", QStringLiteral("Mouse%1S").arg(i));
    for (const char *name : {"dropBtn", "dropBtnU"})
        paths << picture("index", name);
    for (const char *name : {"macroKeyDelay", "macroKeyPress", "macroKeyRelease", "macroMousePress",
                             "macroMouseRelease"})
        paths << picture("macros", name);
    for (const QString &path : std::as_const(paths))
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
}

void TstArtwork::hueBarMatchesLightMath() {
    QFile source(":/modules/qml/J2/lightMath.js");
    QVERIFY(source.open(QIODevice::ReadOnly));
    QJSEngine js;
    const QJSValue loaded =
        js.evaluate(QString::fromUtf8(source.readAll()).remove(".pragma library"));
    QVERIFY2(!loaded.isError(), qPrintable(loaded.toString()));
    const QImage bar(picture("lightControl", "colorBar"));
    QVERIFY(!bar.isNull());
    for (int q = 0; q < bar.width(); ++q) {
        const QJSValue rgb = js.globalObject().property("hueColor").call({q});
        const QRgb want =
            qRgb(rgb.property(0).toInt(), rgb.property(1).toInt(), rgb.property(2).toInt());
        for (int y : {0, bar.height() / 2, bar.height() - 1})
            QVERIFY2((bar.pixel(q, y) & 0xffffff) == (want & 0xffffff),
                     qPrintable(QStringLiteral("column %1").arg(q)));
    }
}

QTEST_GUILESS_MAIN(TstArtwork)

#include "tst_artwork.moc"
