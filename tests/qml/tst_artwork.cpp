// The pictures the scene names are in the resources and decode.
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

class TstArtwork : public QObject {
    Q_OBJECT
private slots:
    void namedPicturesDecode();
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

QTEST_GUILESS_MAIN(TstArtwork)

#include "tst_artwork.moc"
