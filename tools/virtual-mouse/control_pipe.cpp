// The control pipe: a named pipe whose lines press the DPI button, plug and
// unplug the mouse, dump its state and inject faults, served by a thread of
// its own.

#include "virtual_mouse_p.h"

#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

void VirtualMousePrivate::startControl(const QString &path) {
    const QByteArray p = QFile::encodeName(path);
    struct stat st;
    if (stat(p.constData(), &st) != 0) {
        if (mkfifo(p.constData(), 0600) != 0) {
            fprintf(stderr, "virtual mouse: cannot create control pipe %s: %s\n", p.constData(),
                    strerror(errno));
            return;
        }
    } else if (!S_ISFIFO(st.st_mode)) {
        fprintf(stderr, "virtual mouse: control path %s is not a named pipe\n", p.constData());
        return;
    }
    // Opening read-write keeps one writer alive, so the pipe never reports
    // end-of-file between two clients.
    const int fd = open(p.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fprintf(stderr, "virtual mouse: cannot open control pipe %s: %s\n", p.constData(),
                strerror(errno));
        return;
    }
    controlStop = std::make_shared<std::atomic<bool>>(false);
    controlThread = std::thread([this, fd, stop = controlStop] { controlLoop(fd, stop); });
}

void VirtualMousePrivate::stopControl() {
    if (!controlThread.joinable())
        return;
    *controlStop = true;
    // A pipe command whose listener re-reads the environment runs on the pipe
    // thread itself: let that thread finish on its own.
    if (controlThread.get_id() == std::this_thread::get_id())
        controlThread.detach();
    else
        controlThread.join();
}

void VirtualMousePrivate::controlLoop(int fd, std::shared_ptr<std::atomic<bool>> stop) {
    QByteArray buffer;
    while (!*stop) {
        pollfd pfd{fd, POLLIN, 0};
        const int r = poll(&pfd, 1, 100);
        if (r <= 0)
            continue;
        char chunk[512];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0)
            continue;
        buffer.append(chunk, int(n));
        int nl;
        while ((nl = buffer.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(buffer.left(nl)).trimmed();
            buffer.remove(0, nl + 1);
            if (!line.isEmpty() && !*stop)
                controlLine(line);
        }
    }
    close(fd);
}

void VirtualMousePrivate::controlLine(const QString &line) {
    VirtualMouse &vm = *q;
    const QStringList w = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString cmd = w.value(0);
    auto number = [&](int i, int fallback) {
        bool ok = false;
        const int v = w.value(i).toInt(&ok);
        return ok ? v : fallback;
    };
    if (cmd == "dpi" && w.size() >= 2)
        vm.emitDpiStage(number(1, 1), number(2, 0));
    else if (cmd == "unplug")
        vm.unplug(number(1, 0));
    else if (cmd == "plug")
        vm.plug(number(1, 0));
    else if (cmd == "dump" && w.size() >= 2) {
        const int dev = number(2, 0);
        const QString path = w.value(1);
        QSaveFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(QJsonDocument(vm.state(dev)).toJson());
            if (!f.commit())
                fprintf(stderr, "virtual mouse: cannot write %s\n", qPrintable(path));
        } else {
            fprintf(stderr, "virtual mouse: cannot write %s\n", qPrintable(path));
        }
    } else if (cmd == "fail" && w.size() >= 3)
        vm.failNext(w.value(1), number(2, 1), w.value(3));
    else if (cmd == "silent" && w.size() >= 2)
        vm.setSilent(number(1, 0) != 0, number(2, 0));
    else if (cmd == "corrupt")
        vm.corruptNextReply(number(1, 0));
    else
        fprintf(stderr, "virtual mouse: unknown control line \"%s\"\n", qPrintable(line));
}
