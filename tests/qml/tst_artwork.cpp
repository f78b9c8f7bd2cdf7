// The pictures the scene names: present in the resources, at their sizes,
// the hue bar equal to the lighting page's colour formula, and the button
// highlights lying on the buttons of the mouse drawing.
#include <QImage>
#include <QPoint>
#include <QTest>

class TstArtwork : public QObject {
    Q_OBJECT
private slots:
    void sizes_data();
    void sizes();
    void hueBar();
    void highlightOnButton_data();
    void highlightOnButton();
    void windowCovered();
};

namespace {
QString grouped(const QString &group, const QString &name) {
    return QStringLiteral(":/%1/modules/img/skin1/%1/%2.png").arg(group, name);
}

// The page's hue of column q.
QRgb hueOf(int q) {
    const int sector = q / 30;
    const int f = (q - 30 * sector) * 255 / 30;
    switch (sector) {
    case 0:
        return qRgb(255, f, 0);
    case 1:
        return qRgb(255 - f, 255, 0);
    case 2:
        return qRgb(0, 255, f);
    case 3:
        return qRgb(0, 255 - f, 255);
    case 4:
        return qRgb(f, 0, 255);
    case 5:
        return qRgb(255, 0, 255 - f);
    default:
        return q > 182 ? qRgb(255, 255, 255) : qRgb(255, 0, 0);
    }
}
} // namespace

void TstArtwork::sizes_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("background") << ":/modules/img/background.png" << QSize(1024, 640);
    QTest::newRow("titleBar") << ":/modules/img/titleBar.png" << QSize(1024, 82);
    QTest::newRow("titleLogo") << ":/modules/img/titleLogo.png" << QSize(260, 80);
    QTest::newRow("powerOn") << grouped("index", "powerOn") << QSize(540, 425);
    for (const char *icon :
         {"closeBtn", "closeBtnH", "minBtn", "minBtnH", "ask", "askH", "back", "backH", "sureBtn"})
        QTest::newRow(icon) << grouped("index", icon) << QSize(16, 16);
    QTest::newRow("slide") << grouped("index", "slide") << QSize(12, 12);
    QTest::newRow("dropBtn") << grouped("index", "dropBtn") << QSize(10, 6);
    QTest::newRow("dropBtnU") << grouped("index", "dropBtnU") << QSize(10, 6);
    QTest::newRow("checkBtn") << grouped("index", "checkBtn") << QSize(8, 8);
    QTest::newRow("MouseFront") << grouped("mouse", "MouseFront") << QSize(243, 414);
    QTest::newRow("colorBar") << grouped("lightControl", "colorBar") << QSize(185, 24);
    QTest::newRow("speedScale") << grouped("lightControl", "speedScale") << QSize(96, 6);
    QTest::newRow("target") << grouped("gun", "target") << QSize(190, 190);
    for (const char *g : {"M416", "AKM", "M16A4", "SCAR-L", "UNP9", "Thomson"})
        QTest::newRow(g) << grouped("gun", g) << QSize(160, 44);
    for (const char *m : {"macroKeyDelay", "macroKeyPress", "macroKeyRelease", "macroMousePress",
                          "macroMouseRelease"})
        QTest::newRow(m) << grouped("macros", m) << QSize(16, 16);
}

void TstArtwork::sizes() {
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QImage img(path);
    QVERIFY2(!img.isNull(), qPrintable(path));
    QCOMPARE(img.size(), size);
}

void TstArtwork::hueBar() {
    const QImage bar(grouped("lightControl", "colorBar"));
    QVERIFY(!bar.isNull());
    for (int y : {0, 12, 23}) {
        for (int q = 0; q < bar.width(); ++q) {
            const QRgb got = bar.pixel(q, y);
            if ((got & 0xffffff) != (hueOf(q) & 0xffffff))
                QFAIL(qPrintable(QStringLiteral("column %1 row %2: %3 instead of %4")
                                     .arg(q)
                                     .arg(y)
                                     .arg(got & 0xffffff, 6, 16, QLatin1Char('0'))
                                     .arg(hueOf(q) & 0xffffff, 6, 16, QLatin1Char('0'))));
        }
    }
}

void TstArtwork::highlightOnButton_data() {
    // window position of each highlight, a window point on its button and
    // one inside the highlight's box off the button (off the mouse for the
    // two main keys, whose highlights are cut to the mouse's outline)
    QTest::addColumn<int>("index");
    QTest::addColumn<QPoint>("origin");
    QTest::addColumn<QPoint>("onButton");
    QTest::addColumn<QPoint>("offButton");
    QTest::newRow("left key") << 0 << QPoint(370, 132) << QPoint(405, 214) << QPoint(372, 260);
    QTest::newRow("right key") << 1 << QPoint(562, 132) << QPoint(594, 214) << QPoint(604, 145);
    QTest::newRow("wheel") << 2 << QPoint(512, 104) << QPoint(524, 196) << QPoint(536, 120);
    QTest::newRow("side front") << 3 << QPoint(360, 316) << QPoint(391, 344) << QPoint(362, 360);
    QTest::newRow("side back") << 4 << QPoint(360, 374) << QPoint(391, 402) << QPoint(362, 420);
    QTest::newRow("dpi up") << 5 << QPoint(515, 295) << QPoint(524, 309) << QPoint(600, 320);
    QTest::newRow("dpi down") << 6 << QPoint(515, 335) << QPoint(524, 349) << QPoint(600, 360);
    QTest::newRow("side top") << 7 << QPoint(368, 229) << QPoint(400, 257) << QPoint(370, 270);
}

void TstArtwork::highlightOnButton() {
    QFETCH(int, index);
    QFETCH(QPoint, origin);
    QFETCH(QPoint, onButton);
    QFETCH(QPoint, offButton);
    const QImage front =
        QImage(grouped("mouse", "MouseFront")).convertToFormat(QImage::Format_ARGB32);
    const QImage lit = QImage(grouped("mouse", QStringLiteral("Mouse%1S").arg(index)))
                           .convertToFormat(QImage::Format_ARGB32);
    const QImage plain = QImage(grouped("mouse", QStringLiteral("Mouse%1").arg(index)))
                             .convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!front.isNull() && !lit.isNull() && !plain.isNull());
    QCOMPARE(plain.size(), lit.size());

    // The picture is centred on x 500 with its top at y 134.
    const QPoint mouseOrigin(500 - front.width() / 2, 134);
    QCOMPARE(qAlpha(front.pixel(onButton - mouseOrigin)), 255);
    const QRgb glow = lit.pixel(onButton - origin);
    QVERIFY2(qAlpha(glow) > 40, "highlight does not cover its button");
    QVERIFY2(qRed(glow) > qGreen(glow) && qRed(glow) > qBlue(glow), "highlight is not orange");

    QCOMPARE(qAlpha(lit.pixel(offButton - origin)), 0);
}

void TstArtwork::windowCovered() {
    // Without a compositor every transparent pixel of the window is black,
    // so the background must be opaque everywhere.
    const QImage bg = QImage(":/modules/img/background.png").convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!bg.isNull());
    for (int y = 0; y < bg.height(); y += 7)
        for (int x = 0; x < bg.width(); x += 7)
            if (qAlpha(bg.pixel(x, y)) != 255)
                QFAIL(qPrintable(QStringLiteral("transparent at %1,%2").arg(x).arg(y)));
}

QTEST_GUILESS_MAIN(TstArtwork)

#include "tst_artwork.moc"
