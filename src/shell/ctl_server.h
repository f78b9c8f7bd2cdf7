#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>

class QAbstractItemModel;
class Widget;

// Carries out skarn-mousectl's requests in the running program, through the
// same scene functions and view slots the window's controls use, so that
// files, mouse and window agree. Requests run one at a time, each once the
// window is no longer busy (a profile switch, the start-up interval).
class CtlServer : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(const QByteArray &reply)>;

    explicit CtlServer(Widget *widget, QObject *parent = nullptr);

    // request: the JSON text after the request prefix.
    void handle(const QString &request, const Answer &answer);

    // How long a request waits for a busy window before it is refused.
    static constexpr int kBusyWaitMs = 20000;

private:
    struct Pending {
        QJsonObject request;
        Answer answer;
        qint64 queuedAt = 0;
    };

    void runNext();
    bool busy() const;
    QJsonObject execute(const QJsonObject &request);

    QJsonObject status();
    QJsonObject profile(const QJsonObject &request);
    QJsonObject dpi(const QJsonObject &request);
    QJsonObject rate(const QJsonObject &request);
    QJsonObject light(const QJsonObject &request);
    QJsonObject button(const QJsonObject &request);
    QJsonObject profileFile(const QJsonObject &request, const QJsonArray &entries);
    QJsonObject macro(const QJsonObject &request);
    QStringList macroNames() const;
    QStringList effectNames() const;
    QJsonObject show();

    QObject *root() const;
    QObject *page(const char *name) const;
    QAbstractItemModel *profileModel() const;
    QJsonArray profileEntries() const;

    QPointer<Widget> widget;
    std::deque<Pending> queue;
    QTimer retry;
    bool running = false;
    bool sent = false; // the request made an exchange with the mouse
};
