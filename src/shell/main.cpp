#include <QApplication>
#include <QQuickWidget>
#include <QUrl>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QQuickWidget view;
    view.setSource(QUrl(QStringLiteral("qrc:/qml/main.qml")));
    view.show();
    return app.exec();
}
