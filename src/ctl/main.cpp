// skarn-mousectl: one command to the running skarn-mouse, which carries it
// out as its window's controls would, then prints the answer.
#include "ctl_protocol.h"
#include "single_instance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <cstdio>
#include <optional>

using namespace CtlProtocol;

namespace {

// A command may wait for a profile switch and then make its own exchanges.
constexpr int kReplyTimeoutMs = 60000;
constexpr int kStartTimeoutMs = 30000;

const char *const kOverview =
    "Usage: skarn-mousectl [--no-start] [--program PATH] COMMAND [ARGS] [--json]\n"
    "Drives the running skarn-mouse (the SKARN SK-70 mouse utility) from the command\n"
    "line. When it is not running, it is started in the tray first.\n"
    "\n"
    "Commands:\n"
    "  status [--json]            the mouse, profile, DPI stages, report rate, lighting,\n"
    "                             button functions and gun slots\n"
    "  profile NAME|NUMBER        switch to a profile (everything is sent again)\n"
    "  profile list               the profiles, the current one marked\n"
    "  profile export NUMBER FILE write a profile to a file (*.pf)\n"
    "  profile import FILE        add a profile from a file\n"
    "  dpi stage N                make stage N the current DPI stage\n"
    "  dpi set V1,V2,...          the DPI stages in use (their values and count), saved\n"
    "                             and sent as the window's Save does\n"
    "  rate 125|250|500|1000      the report rate in Hz\n"
    "  light EFFECT [--speed S] [--brightness B] [--colour N=RRGGBB]...\n"
    "                             the lighting effect (as the window names it, any\n"
    "                             case, dashes for spaces), speed and brightness 0-4,\n"
    "                             and LED colour N (1-8)\n"
    "  button N FUNCTION          give button N a function: a mouse function, a DPI\n"
    "                             action, a media key, a key combination (ctrl+shift+a)\n"
    "                             or a macro by name; \"reset\" restores the factory one\n"
    "  macro list                 the macros\n"
    "  macro export NAME FILE     write a macro to a file (*.mc)\n"
    "  macro import FILE          add a macro from a file\n"
    "  show                       bring the window up\n"
    "  quit                       end the program\n"
    "\n"
    "Options:\n"
    "  --json                     print the answer as JSON\n"
    "  --no-start                 fail (status 4) instead of starting the program\n"
    "  --program PATH             the program to reach or start\n"
    "  -h, --help                 this text; COMMAND --help: the command's own\n"
    "  --version                  the version\n"
    "\n"
    "Exit status: 0 done; 1 wrong usage; 2 refused (a value out of range, an unknown\n"
    "name), nothing sent or stored; 3 no mouse connected; 4 the mouse or the program\n"
    "did not answer.\n"
    "\n"
    "Examples:\n"
    "  skarn-mousectl profile Shooter\n"
    "  skarn-mousectl dpi set 400,800,1600\n"
    "  skarn-mousectl dpi stage 2\n"
    "  skarn-mousectl status --json\n";

struct Help {
    const char *command;
    const char *text;
};
const Help kHelp[] = {
    {"status", "Usage: skarn-mousectl status [--json]\n"
               "Prints the mouse (connected, vendor and product id, family, scrambling),\n"
               "the profile, the DPI stages with the current one, the report rate, the\n"
               "lighting, each button's function as the window names it and, on gun mice,\n"
               "the gun slots.\n"
               "--json prints one object: mouse {connected, vid, pid, family, scrambled},\n"
               "profile {number, name}, dpi {stages, current}, reportRate, light {effect,\n"
               "effectNumber, speed, brightness, colours}, buttons [{button, function}] and,\n"
               "on gun mice, gunSlots [{slot, gun}].\n"},
    {"profile", "Usage: skarn-mousectl profile NAME|NUMBER\n"
                "       skarn-mousectl profile list\n"
                "       skarn-mousectl profile export NUMBER FILE\n"
                "       skarn-mousectl profile import FILE\n"
                "Switches to the profile of that name or number (as `profile list` shows\n"
                "them); everything is sent to the mouse again. export writes a profile to\n"
                "a file; import adds the profile of a file to the list (a file that is not\n"
                "a profile is refused and nothing changes).\n"},
    {"macro", "Usage: skarn-mousectl macro list\n"
              "       skarn-mousectl macro export NAME FILE\n"
              "       skarn-mousectl macro import FILE\n"
              "Lists the macros, writes one to a file, or adds the macro of a file under a\n"
              "new name (a file that is not a macro is refused and nothing changes).\n"},
    {"dpi", "Usage: skarn-mousectl dpi stage N\n"
            "       skarn-mousectl dpi set V1,V2,...\n"
            "stage: makes stage N (1 to the number in use) the current one.\n"
            "set: the DPI values of the stages in use; their count becomes the number of\n"
            "stages. Each value lies within the mouse's range, in its steps.\n"},
    {"rate", "Usage: skarn-mousectl rate 125|250|500|1000\n"
             "Sets the report rate in Hz.\n"},
    {"light", "Usage: skarn-mousectl light EFFECT [--speed S] [--brightness B] [--colour "
              "N=RRGGBB]...\n"
              "Sets the lighting effect as the window's light panel names it (any case,\n"
              "dashes for spaces: static, breath, neon, off, ...), its speed and brightness\n"
              "(0 to 4) and the colour of LED N (1 to 8); what is not given stays. Saved\n"
              "and sent as the window's Save does.\n"},
    {"button", "Usage: skarn-mousectl button N FUNCTION\n"
               "       skarn-mousectl button N reset\n"
               "Gives button N (as the window numbers them) a function, named as the\n"
               "button's dialog names it (any case, dashes for spaces): left-key,\n"
               "double-fire, dpi+, dpi-loop, play/pause, volumn+, copy, ...; a key\n"
               "combination of ctrl, shift, alt, win and up to two keys (ctrl+shift+a); or a\n"
               "macro by its name. \"reset\" restores the factory function. Saved and sent\n"
               "as the window's Save does; the last left click cannot be given away.\n"},
    {"show", "Usage: skarn-mousectl show\n"
             "Brings the window up (while a mouse is connected).\n"},
    {"quit", "Usage: skarn-mousectl quit\n"
             "Ends the program.\n"},
};

void out(const QString &text) {
    std::fputs(text.toUtf8().constData(), stdout);
}

void err(const QString &text) {
    std::fputs(("skarn-mousectl: " + text + '\n').toUtf8().constData(), stderr);
}

int usage(const QString &why) {
    err(why + QStringLiteral(" (see skarn-mousectl --help)"));
    return Usage;
}

bool toInt(const QString &text, int &value) {
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

// Files are named by the program, which may run in another folder.
QString absolute(const QString &path) {
    return QFileInfo(QDir::current(), path).absoluteFilePath();
}

// The command line as a request; a usage error gives the exit status.
struct Parsed {
    QJsonObject request;
    bool json = false;
    bool noStart = false;
    QString program;
    QString help;
    int error = -1;
};

Parsed parse(const QStringList &args) {
    Parsed p;
    QStringList words, lightOptions;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--json"))
            p.json = true;
        else if (a == QLatin1String("--no-start"))
            p.noStart = true;
        else if (a == QLatin1String("--speed") || a == QLatin1String("--brightness") ||
                 a == QLatin1String("--colour") || a == QLatin1String("--color")) {
            if (i + 1 >= args.size()) {
                p.error = usage(QStringLiteral("%1 needs a value").arg(a));
                return p;
            }
            lightOptions << a << args.at(++i);
        } else if (a == QLatin1String("--program")) {
            if (i + 1 >= args.size()) {
                p.error = usage(QStringLiteral("--program needs a path"));
                return p;
            }
            p.program = args.at(++i);
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help"))
            p.help = words.isEmpty() ? QString() : words.first();
        else if (a == QLatin1String("--version"))
            p.help = QStringLiteral("--version");
        else if (a.startsWith(QLatin1String("--"))) {
            p.error = usage(QStringLiteral("unknown option %1").arg(a));
            return p;
        } else
            words << a;
    }
    if (args.contains(QStringLiteral("-h")) || args.contains(QStringLiteral("--help")) ||
        args.contains(QStringLiteral("--version"))) {
        p.error = Done;
        return p;
    }
    if (words.isEmpty()) {
        p.error = usage(QStringLiteral("no command"));
        return p;
    }
    const QString command = words.takeFirst();
    const auto fail = [&p](const QString &why) {
        p.error = usage(why);
        return p;
    };
    p.request.insert("command", command);
    if (command == QLatin1String("status") || command == QLatin1String("show") ||
        command == QLatin1String("quit")) {
        if (!words.isEmpty())
            return fail(QStringLiteral("%1 takes no arguments").arg(command));
    } else if (command == QLatin1String("profile")) {
        const QString action = words.value(0);
        if (action == QLatin1String("list") && words.size() == 1) {
            p.request.insert("action", "list");
        } else if (action == QLatin1String("export") && words.size() == 3) {
            int number = 0;
            if (!toInt(words.at(1), number))
                return fail(QStringLiteral("profile export takes a number and a file"));
            p.request.insert("action", "export");
            p.request.insert("number", number);
            p.request.insert("file", absolute(words.at(2)));
        } else if (action == QLatin1String("import") && words.size() == 2) {
            p.request.insert("action", "import");
            p.request.insert("file", absolute(words.at(1)));
        } else if (words.size() == 1) {
            p.request.insert("target", action);
        } else {
            return fail(QStringLiteral("profile takes a name or number, list, export or import"));
        }
    } else if (command == QLatin1String("macro")) {
        const QString action = words.value(0);
        if (action == QLatin1String("list") && words.size() == 1) {
            p.request.insert("action", "list");
        } else if (action == QLatin1String("export") && words.size() == 3) {
            p.request.insert("action", "export");
            p.request.insert("name", words.at(1));
            p.request.insert("file", absolute(words.at(2)));
        } else if (action == QLatin1String("import") && words.size() == 2) {
            p.request.insert("action", "import");
            p.request.insert("file", absolute(words.at(1)));
        } else {
            return fail(QStringLiteral("macro takes list, export NAME FILE or import FILE"));
        }
    } else if (command == QLatin1String("dpi")) {
        int stage = 0;
        if (words.size() == 2 && words.first() == QLatin1String("stage")) {
            if (!toInt(words.at(1), stage))
                return fail(QStringLiteral("dpi stage takes a number"));
            p.request.insert("action", "stage");
            p.request.insert("stage", stage);
        } else if (words.size() == 2 && words.first() == QLatin1String("set")) {
            QJsonArray values;
            for (const QString &v : words.at(1).split(QLatin1Char(','))) {
                int value = 0;
                if (!toInt(v, value))
                    return fail(QStringLiteral("dpi set takes numbers separated by commas"));
                values.append(value);
            }
            p.request.insert("action", "set");
            p.request.insert("values", values);
        } else
            return fail(QStringLiteral("dpi takes \"stage N\" or \"set V1,V2,...\""));
    } else if (command == QLatin1String("rate")) {
        int hz = 0;
        if (words.size() != 1 || !toInt(words.first(), hz))
            return fail(QStringLiteral("rate takes 125, 250, 500 or 1000"));
        p.request.insert("rate", hz);
    } else if (command == QLatin1String("button")) {
        int n = 0;
        if (words.size() != 2 || !toInt(words.first(), n))
            return fail(QStringLiteral("button takes a number and a function"));
        p.request.insert("button", n);
        p.request.insert("function", words.at(1));
    } else if (command == QLatin1String("light")) {
        if (words.size() != 1)
            return fail(QStringLiteral("light takes one effect"));
        p.request.insert("effect", words.first());
        QJsonArray colours;
        for (int i = 0; i + 1 < lightOptions.size(); i += 2) {
            const QString &option = lightOptions.at(i);
            const QString &value = lightOptions.at(i + 1);
            int n = 0;
            if (option == QLatin1String("--speed") || option == QLatin1String("--brightness")) {
                if (!toInt(value, n))
                    return fail(QStringLiteral("%1 takes a number").arg(option));
                p.request.insert(option.mid(2), n);
            } else {
                const QStringList parts = value.split(QLatin1Char('='));
                if (parts.size() != 2 || !toInt(parts.first(), n))
                    return fail(QStringLiteral("%1 takes N=RRGGBB").arg(option));
                colours.append(QJsonObject{{"number", n}, {"rgb", parts.at(1)}});
            }
        }
        p.request.insert("colours", colours);
    } else {
        return fail(QStringLiteral("unknown command %1").arg(command));
    }
    if (!lightOptions.isEmpty() && command != QLatin1String("light"))
        return fail(QStringLiteral("%1 belongs to the light command").arg(lightOptions.first()));
    return p;
}

int printHelp(const QString &command) {
    if (command == QLatin1String("--version")) {
        out(QStringLiteral("skarn-mousectl %1\n").arg(QStringLiteral(SKARN_VERSION)));
        return Done;
    }
    for (const Help &h : kHelp)
        if (command == QLatin1String(h.command)) {
            out(QString::fromUtf8(h.text));
            return Done;
        }
    if (!command.isEmpty())
        return usage(QStringLiteral("unknown command %1").arg(command));
    out(QString::fromUtf8(kOverview));
    return Done;
}

bool answers(const QString &serverName) {
    QLocalSocket probe;
    probe.connectToServer(serverName);
    return probe.waitForConnected(300);
}

// The running program's socket: the one of --program, or any that answers in
// this user's private folder.
QString findServer(const QString &program) {
    if (!program.isEmpty()) {
        const QString name = SingleInstance::serverNameFor(QFileInfo(program).canonicalFilePath());
        return answers(name) ? name : QString();
    }
    const QDir folder(SingleInstance::folder());
    for (const QString &entry :
         folder.entryList({QStringLiteral("skarn-mouse-*.sock")}, QDir::System | QDir::Files))
        if (answers(folder.filePath(entry)))
            return folder.filePath(entry);
    return QString();
}

// The program beside this one (installed: bin/), else in the build tree.
QString defaultProgram() {
    const QString here = QCoreApplication::applicationDirPath();
    for (const QString &candidate :
         {here + QStringLiteral("/skarn-mouse"), here + QStringLiteral("/../shell/skarn-mouse")})
        if (QFileInfo(candidate).isExecutable())
            return QFileInfo(candidate).absoluteFilePath();
    return QString();
}

QString startProgram(const QString &program) {
    const QString path = program.isEmpty() ? defaultProgram() : program;
    if (path.isEmpty() || !QFileInfo(path).isExecutable()) {
        err(QStringLiteral("cannot find the program to start; name it with --program"));
        return QString();
    }
    QProcess process;
    process.setProgram(path);
    process.setArguments({QStringLiteral("--tray")});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached()) {
        err(QStringLiteral("cannot start %1").arg(path));
        return QString();
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!deadline.hasExpired()) {
        const QString name = findServer(program);
        if (!name.isEmpty())
            return name;
        QThread::msleep(100);
    }
    err(QStringLiteral("the program did not come up"));
    return QString();
}

QString onOff(bool value) {
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

void printStatus(const QJsonObject &d) {
    const QJsonObject mouse = d.value("mouse").toObject();
    if (mouse.value("connected").toBool())
        out(QStringLiteral("Mouse:       connected, %1:%2, %3 family, scrambled: %4\n")
                .arg(mouse.value("vid").toString(), mouse.value("pid").toString(),
                     mouse.value("family").toString(), onOff(mouse.value("scrambled").toBool())));
    else
        out(QStringLiteral("Mouse:       not connected\n"));
    const QJsonObject profile = d.value("profile").toObject();
    out(QStringLiteral("Profile:     %1 %2\n")
            .arg(profile.value("number").toInt())
            .arg(profile.value("name").toString()));
    const QJsonObject dpi = d.value("dpi").toObject();
    QStringList stages;
    const QJsonArray values = dpi.value("stages").toArray();
    for (int i = 0; i < values.size(); ++i) {
        const QString v = QString::number(values.at(i).toInt());
        stages << (i + 1 == dpi.value("current").toInt() ? '[' + v + ']' : v);
    }
    out(QStringLiteral("DPI:         %1\n").arg(stages.join(' ')));
    out(QStringLiteral("Report rate: %1 Hz\n").arg(d.value("reportRate").toInt()));
    const QJsonObject light = d.value("light").toObject();
    QStringList colours;
    const QJsonArray cs = light.value("colours").toArray();
    for (int i = 0; i < cs.size(); ++i)
        colours << QStringLiteral("%1=%2").arg(i + 1).arg(cs.at(i).toString());
    out(QStringLiteral("Light:       %1, speed %2, brightness %3\n")
            .arg(light.value("effect").toString())
            .arg(light.value("speed").toInt())
            .arg(light.value("brightness").toInt()));
    out(QStringLiteral("Colours:     %1\n").arg(colours.join(' ')));
    out(QStringLiteral("Buttons:\n"));
    for (const QJsonValue &b : d.value("buttons").toArray())
        out(QStringLiteral("  %1  %2\n")
                .arg(b.toObject().value("button").toInt(), 2)
                .arg(b.toObject().value("function").toString()));
    if (d.contains("gunSlots")) {
        out(QStringLiteral("Gun slots:\n"));
        for (const QJsonValue &g : d.value("gunSlots").toArray())
            out(QStringLiteral("  %1  %2\n")
                    .arg(g.toObject().value("slot").toInt(), 2)
                    .arg(g.toObject().value("gun").toString()));
    }
}

void printProfiles(const QJsonObject &d) {
    for (const QJsonValue &p : d.value("profiles").toArray())
        out(QStringLiteral("%1 %2 %3\n")
                .arg(p.toObject().value("current").toBool() ? '*' : ' ')
                .arg(p.toObject().value("number").toInt())
                .arg(p.toObject().value("name").toString()));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const Parsed p = parse(app.arguments().mid(1));
    if (!p.help.isNull() || p.error == Done)
        return printHelp(p.help);
    if (p.error >= 0)
        return p.error;

    const QString command = p.request.value("command").toString();
    QString server = findServer(p.program);
    if (server.isEmpty()) {
        if (command == QLatin1String("quit"))
            return Done; // nothing to end
        if (p.noStart) {
            err(QStringLiteral("skarn-mouse is not running"));
            return NoAnswer;
        }
        server = startProgram(p.program);
        if (server.isEmpty())
            return NoAnswer;
    }

    const std::optional<QByteArray> raw = SingleInstance::request(
        server,
        QString::fromLatin1(kRequestPrefix) +
            QString::fromUtf8(QJsonDocument(p.request).toJson(QJsonDocument::Compact)),
        kReplyTimeoutMs);
    const QJsonObject reply =
        raw ? QJsonDocument::fromJson(*raw).object() : QJsonObject{{"status", int(NoAnswer)}};
    const int status = reply.value("status").toInt(NoAnswer);
    if (status != Done) {
        err(reply.value("message").toString(raw ? QStringLiteral("failed")
                                                : QStringLiteral("skarn-mouse did not answer")));
        return status;
    }
    const QJsonObject data = reply.value("data").toObject();
    if (p.json) {
        out(QString::fromUtf8(QJsonDocument(data).toJson(QJsonDocument::Indented)));
    } else if (command == QLatin1String("status")) {
        printStatus(data);
    } else if (data.contains("profiles")) {
        printProfiles(data);
    } else if (data.contains("macros")) {
        for (const QJsonValue &name : data.value("macros").toArray())
            out(name.toString() + '\n');
    } else if (data.contains("macro")) {
        out(data.value("macro").toString() + '\n');
    } else if (data.contains("profile")) {
        printProfiles(QJsonObject{{"profiles", QJsonArray{data.value("profile")}}});
    }
    return Done;
}
