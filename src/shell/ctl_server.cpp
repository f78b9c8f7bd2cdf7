#include "ctl_server.h"

#include "ctl_protocol.h"
#include "dialogs.h"
#include "myqquickview.h"
#include "settings_store.h"
#include "shell_log.h"
#include "widget.h"

#include <QAbstractItemModel>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QQuickItem>
#include <QRegularExpression>
#include <QSettings>

using namespace CtlProtocol;

namespace {

QJsonObject reply(Status status, const QString &message = QString(),
                  const QJsonObject &data = QJsonObject()) {
    QJsonObject out{{"status", int(status)}};
    if (!message.isEmpty())
        out.insert("message", message);
    if (!data.isEmpty())
        out.insert("data", data);
    return out;
}

QVariant call(QObject *target, const char *function, const QVariantList &args = {}) {
    QVariant result;
    if (!target || args.size() > 5)
        return result;
    QVariantList a = args;
    while (a.size() < 5)
        a.append(QVariant());
    // QML functions take their arguments as QVariant; extra ones are left out.
    const QGenericArgument g[5] = {Q_ARG(QVariant, a[0]), Q_ARG(QVariant, a[1]),
                                   Q_ARG(QVariant, a[2]), Q_ARG(QVariant, a[3]),
                                   Q_ARG(QVariant, a[4])};
    const int n = int(args.size());
    QMetaObject::invokeMethod(target, function, Q_RETURN_ARG(QVariant, result),
                              n > 0 ? g[0] : QGenericArgument(), n > 1 ? g[1] : QGenericArgument(),
                              n > 2 ? g[2] : QGenericArgument(), n > 3 ? g[3] : QGenericArgument(),
                              n > 4 ? g[4] : QGenericArgument());
    return result;
}

// A name as the window writes it, or with dashes for spaces, in any case.
bool sameName(const QString &given, const QString &shown) {
    return !shown.isEmpty() &&
           (given.compare(shown, Qt::CaseInsensitive) == 0 ||
            given.compare(QString(shown).replace(QLatin1Char(' '), QLatin1Char('-')),
                          Qt::CaseInsensitive) == 0);
}

int roleOf(const QAbstractItemModel *model, const QByteArray &name) {
    const auto roles = model->roleNames();
    for (auto it = roles.begin(); it != roles.end(); ++it)
        if (it.value() == name)
            return it.key();
    return -1;
}

QString hex4(int value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

QList<int> numbers(const QVariantList &list) {
    QList<int> out;
    for (const QVariant &v : list)
        out << v.toString().trimmed().toInt();
    return out;
}

} // namespace

CtlServer::CtlServer(Widget *widget, QObject *parent) : QObject(parent), widget(widget) {
    retry.setSingleShot(true);
    retry.setInterval(50);
    connect(&retry, &QTimer::timeout, this, &CtlServer::runNext);
}

void CtlServer::handle(const QString &request, const Answer &answer) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(request.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        answer(QJsonDocument(reply(Usage, QStringLiteral("malformed request"))).toJson());
        return;
    }
    queue.push_back({doc.object(), answer, QDateTime::currentMSecsSinceEpoch()});
    runNext();
}

QObject *CtlServer::root() const {
    return widget && widget->view() ? widget->view()->rootObject() : nullptr;
}

QObject *CtlServer::page(const char *name) const {
    QObject *r = root();
    return r ? r->property(name).value<QObject *>() : nullptr;
}

bool CtlServer::busy() const {
    QObject *r = root();
    return (r && r->property("busy").toBool()) || (widget && !widget->hidThread().hidIdle);
}

void CtlServer::runNext() {
    // A request may arrive while another waits on the device (the device
    // layer lets events through while it waits for its token): one at a time.
    if (running || queue.empty())
        return;
    if (busy()) {
        const qint64 waited = QDateTime::currentMSecsSinceEpoch() - queue.front().queuedAt;
        if (waited < kBusyWaitMs) {
            retry.start();
            return;
        }
    }
    Pending next = std::move(queue.front());
    queue.pop_front();
    running = true;
    sent = false;
    QJsonObject answer;
    if (!widget)
        answer = reply(NoAnswer, QStringLiteral("the program is shutting down"));
    else if (busy())
        answer = reply(NoAnswer, QStringLiteral("the program stayed busy; nothing was done"));
    else
        answer = execute(next.request);
    // A change that went to the mouse and was not taken is no success.
    if (answer.value("status").toInt() == Done && sent && widget &&
        !widget->hidThread().lastExchangeSucceeded())
        answer = reply(NoAnswer, QStringLiteral("the mouse did not answer"));
    running = false;
    qCDebug(lcShell).noquote() << "ctl" << next.request.value("command").toString()
                               << answer.value("status").toInt();
    next.answer(QJsonDocument(answer).toJson(QJsonDocument::Compact));
    if (!queue.empty())
        retry.start();
}

QJsonObject CtlServer::execute(const QJsonObject &request) {
    const QString command = request.value("command").toString();
    if (command == QLatin1String("status"))
        return status();
    if (command == QLatin1String("quit")) {
        // After the answer has gone out.
        QMetaObject::invokeMethod(widget, &Widget::exitSYS, Qt::QueuedConnection);
        return reply(Done);
    }
    if (command == QLatin1String("show"))
        return show();
    if (command == QLatin1String("profile"))
        return profile(request);
    if (command == QLatin1String("dpi"))
        return dpi(request);
    if (command == QLatin1String("rate"))
        return rate(request);
    if (command == QLatin1String("light"))
        return light(request);
    if (command == QLatin1String("button"))
        return button(request);
    if (command == QLatin1String("macro"))
        return macro(request);
    return reply(Usage, QStringLiteral("unknown command: %1").arg(command));
}

QAbstractItemModel *CtlServer::profileModel() const {
    QObject *profiles = page("profileMain");
    return profiles ? profiles->property("profileDataModel0").value<QAbstractItemModel *>()
                    : nullptr;
}

// The profiles as the title bar's drop-down lists them.
QJsonArray CtlServer::profileEntries() const {
    QJsonArray out;
    QAbstractItemModel *model = profileModel();
    if (!model)
        return out;
    const int nameRole = roleOf(model, "textValue");
    const int numberRole = roleOf(model, "profileNo");
    const int current = root() ? root()->property("currentProfile").toInt() : -1;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        const int number = model->data(index, numberRole).toInt();
        out.append(QJsonObject{{"number", row + 1},
                               {"name", model->data(index, nameRole).toString()},
                               {"current", number == current}});
    }
    return out;
}

QJsonObject CtlServer::status() {
    QJsonObject data;
    myQQuickView *v = widget->view();

    QJsonObject mouse{{"connected", Widget::deviceConnected}};
    if (Widget::deviceConnected) {
        const QList<DeviceEntry> devices = widget->hidThread().deviceList();
        const int index = widget->hidThread().currentIndex;
        if (index >= 0 && index < devices.size()) {
            const DeviceEntry &entry = devices.at(index);
            mouse.insert("vid", hex4(entry.vid));
            mouse.insert("pid", hex4(entry.pid));
            mouse.insert("scrambled", entry.isEncode);
        }
    }
    mouse.insert("family", v->getGlobalData(QStringLiteral("mouse/icType")).toString());
    data.insert("mouse", mouse);

    for (const QJsonValue &entry : profileEntries())
        if (entry.toObject().value("current").toBool())
            data.insert("profile", QJsonObject{{"number", entry.toObject().value("number")},
                                               {"name", entry.toObject().value("name")}});

    const int count = v->getData(QStringLiteral("mouse/currentDpiCount"), false).toInt();
    const QList<int> values =
        numbers(v->getDataList(QStringLiteral("mouse/dpiValueArray"), false)).mid(0, count);
    QJsonArray stages;
    for (int value : values)
        stages.append(value);
    QObject *dpiPage = page("dpiSettingMain");
    data.insert(
        "dpi", QJsonObject{{"stages", stages},
                           {"current", dpiPage ? dpiPage->property("currentDPI").toInt() + 1 : 0}});

    const int rateIndex = v->getData(QStringLiteral("mouse/reportRate"), false).toInt();
    if (rateIndex >= 0 && rateIndex < int(std::size(kRates)))
        data.insert("reportRate", kRates[rateIndex]);

    const QList<int> light = numbers(v->getDataList(QStringLiteral("mouse/lightValue"), false));
    const QList<int> colour = numbers(v->getDataList(QStringLiteral("mouse/colorValue"), false));
    QJsonObject lighting;
    if (light.size() >= 3) {
        lighting.insert("effectNumber", light.at(0));
        lighting.insert("speed", light.at(1));
        lighting.insert("brightness", light.at(2));
    }
    const QStringList effects = effectNames();
    if (light.size() >= 1 && light.at(0) >= 0 && light.at(0) < effects.size())
        lighting.insert("effect", effects.at(light.at(0)));
    QJsonArray colours;
    for (int i = 0; i + 2 < colour.size(); i += 3)
        colours.append(QStringLiteral("%1%2%3")
                           .arg(colour.at(i) & 0xff, 2, 16, QLatin1Char('0'))
                           .arg(colour.at(i + 1) & 0xff, 2, 16, QLatin1Char('0'))
                           .arg(colour.at(i + 2) & 0xff, 2, 16, QLatin1Char('0')));
    lighting.insert("colours", colours);
    data.insert("light", lighting);

    // Each button's function as its row in the window reads.
    QJsonArray buttons;
    if (QObject *keys = page("keyMatrixMain")) {
        const auto *model = keys->property("modKeys").value<QAbstractItemModel *>();
        const int rows = keys->property("rowCount").toInt();
        if (model) {
            const int textRole = roleOf(model, "keyText");
            for (int row = 0; row < rows && row < model->rowCount(); ++row)
                buttons.append(QJsonObject{
                    {"button", row + 1},
                    {"function", model->data(model->index(row, 0), textRole).toString()}});
        }
    }
    data.insert("buttons", buttons);

    if (v->getGlobalData(QStringLiteral("mouse/isGun")).toBool()) {
        QJsonArray gunSlots;
        const QList<int> chosen =
            numbers(v->getGlobalData(QStringLiteral("mouse/selectGun")).toList());
        for (int slot = 0; slot < chosen.size(); ++slot) {
            const QVariantList gun = v->getGunData(chosen.at(slot));
            gunSlots.append(QJsonObject{{"slot", slot + 1},
                                        {"gun", gun.isEmpty() ? QString() : gun.at(0).toString()}});
        }
        data.insert("gunSlots", gunSlots);
    }
    return reply(Done, QString(), data);
}

// The effects as the light panel's drop-down lists them.
QStringList CtlServer::effectNames() const {
    QStringList out;
    QObject *lightPage = page("lightControlMain");
    QObject *list = lightPage ? lightPage->property("lightModel").value<QObject *>() : nullptr;
    const auto *model = list ? list->property("mdItems").value<QAbstractItemModel *>() : nullptr;
    if (!model)
        return out;
    const int role = roleOf(model, "textValue");
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->data(model->index(row, 0), role).toString();
    return out;
}

QJsonObject CtlServer::show() {
    if (!Widget::deviceConnected)
        return reply(NoMouse, QStringLiteral("no mouse connected: the window shows only with one"));
    widget->receiveMessage(QString());
    return reply(Done);
}

QJsonObject CtlServer::profile(const QJsonObject &request) {
    const QJsonArray entries = profileEntries();
    if (request.value("action").toString() == QLatin1String("list"))
        return reply(Done, QString(), QJsonObject{{"profiles", entries}});
    const QString action = request.value("action").toString();
    if (action == QLatin1String("export") || action == QLatin1String("import"))
        return profileFile(request, entries);

    const QString target = request.value("target").toString();
    int position = -1;
    bool isNumber = false;
    const int number = target.toInt(&isNumber);
    for (int i = 0; i < entries.size(); ++i) {
        const QJsonObject e = entries.at(i).toObject();
        if (isNumber ? e.value("number").toInt() == number : e.value("name").toString() == target)
            position = i;
    }
    if (position < 0)
        return reply(
            Refused,
            isNumber
                ? QStringLiteral("no profile number %1 (1 to %2)").arg(number).arg(entries.size())
                : QStringLiteral("no profile named \"%1\"").arg(target));
    if (!Widget::deviceConnected)
        return reply(NoMouse, QStringLiteral("no mouse connected"));
    if (entries.at(position).toObject().value("current").toBool())
        return reply(Done);
    call(root(), "switchProfile", {position});
    sent = true;
    // The title bar's drop-down follows, as after its own choice.
    if (QObject *menu = root()->findChild<QObject *>(QStringLiteral("menu_Up")))
        call(menu, "selectProfile", {position});
    return reply(Done);
}

QJsonObject CtlServer::dpi(const QJsonObject &request) {
    myQQuickView *v = widget->view();
    QObject *dpiPage = page("dpiSettingMain");
    if (!dpiPage)
        return reply(NoAnswer, QStringLiteral("the DPI panel is not there"));
    const int inUse = v->getData(QStringLiteral("mouse/currentDpiCount"), false).toInt();

    if (request.value("action").toString() == QLatin1String("stage")) {
        const int stage = request.value("stage").toInt();
        if (stage < 1 || stage > inUse)
            return reply(Refused,
                         QStringLiteral("stage %1 is not in use (1 to %2)").arg(stage).arg(inUse));
        if (!Widget::deviceConnected)
            return reply(NoMouse, QStringLiteral("no mouse connected"));
        v->mouseSetCurrentDPI(uchar(stage));
        sent = true;
        // The panel lights the stage as when the mouse's own button moves it.
        call(root(), "setCurrentDPI", {stage});
        return reply(Done);
    }

    // dpi set: every value checked before anything is stored.
    const int stages = v->getData(QStringLiteral("mouse/dpiCount"), false).toInt();
    const int lo = v->getGlobalData(QStringLiteral("mouse/minDPI")).toInt();
    const int hi = v->getGlobalData(QStringLiteral("mouse/maxDPI")).toInt();
    const int base = qMax(1, v->getGlobalData(QStringLiteral("mouse/dpiBase")).toInt());
    const QJsonArray values = request.value("values").toArray();
    if (values.isEmpty() || values.size() > stages)
        return reply(Refused, QStringLiteral("give 1 to %1 values").arg(stages));
    for (const QJsonValue &value : values) {
        const int dpi = value.toInt();
        if (dpi < lo || dpi > hi || dpi % base != 0)
            return reply(Refused, QStringLiteral("%1 DPI is not offered: %2 to %3 in steps of %4")
                                      .arg(dpi)
                                      .arg(lo)
                                      .arg(hi)
                                      .arg(base));
    }
    if (!Widget::deviceConnected)
        return reply(NoMouse, QStringLiteral("no mouse connected"));
    QVariantList stored = v->getDataList(QStringLiteral("mouse/dpiValueArray"), false);
    while (stored.size() < 8)
        stored.append(stored.isEmpty() ? QVariant(lo) : stored.last());
    for (int i = 0; i < values.size(); ++i)
        stored[i] = QString::number(values.at(i).toInt());
    v->setDataList(QStringLiteral("mouse/dpiValueArray"), stored);
    v->setData(QStringLiteral("mouse/currentDpiCount"), int(values.size()));
    // The panel reads what was stored, shows it, stores it as it shows it
    // and sends it, as its Save does.
    call(dpiPage, "init", {true, false});
    sent = true;
    return reply(Done);
}

QJsonObject CtlServer::rate(const QJsonObject &request) {
    const int hz = request.value("rate").toInt();
    int index = -1;
    for (int i = 0; i < int(std::size(kRates)); ++i)
        if (kRates[i] == hz)
            index = i;
    if (index < 0)
        return reply(Refused,
                     QStringLiteral("%1 Hz is not offered: 125, 250, 500 or 1000").arg(hz));
    if (!Widget::deviceConnected)
        return reply(NoMouse, QStringLiteral("no mouse connected"));
    QObject *ratePage = page("reportRateRect");
    if (!ratePage)
        return reply(NoAnswer, QStringLiteral("the report-rate row is not there"));
    widget->view()->setData(QStringLiteral("mouse/reportRate"), index);
    call(ratePage, "init", {true});
    sent = true;
    return reply(Done);
}

QJsonObject CtlServer::light(const QJsonObject &request) {
    QObject *lightPage = page("lightControlMain");
    const QStringList effects = effectNames();
    if (!lightPage || effects.isEmpty())
        return reply(NoAnswer, QStringLiteral("the light panel is not there"));

    // Names as the window writes them, or with dashes for spaces, any case.
    const QString wanted = request.value("effect").toString();
    int effect = -1;
    for (int i = 0; i < effects.size(); ++i)
        if (sameName(wanted, effects.at(i)))
            effect = i;
    if (effect < 0)
        return reply(Refused, QStringLiteral("no effect named \"%1\" (%2)")
                                  .arg(wanted, effects.join(QStringLiteral(", "))));
    const auto inRange = [&request](const char *key) {
        return !request.contains(key) ||
               (request.value(key).toInt(-1) >= 0 && request.value(key).toInt(-1) <= 4);
    };
    if (!inRange("speed") || !inRange("brightness"))
        return reply(Refused, QStringLiteral("speed and brightness go from 0 to 4"));
    const QJsonArray colours = request.value("colours").toArray();
    static const QRegularExpression rgb(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    for (const QJsonValue &c : colours) {
        const int n = c.toObject().value("number").toInt();
        if (n < 1 || n > 8 || !rgb.match(c.toObject().value("rgb").toString()).hasMatch())
            return reply(Refused, QStringLiteral("a colour is N=RRGGBB with N from 1 to 8"));
    }
    if (!Widget::deviceConnected)
        return reply(NoMouse, QStringLiteral("no mouse connected"));

    myQQuickView *v = widget->view();
    QList<int> value = numbers(v->getDataList(QStringLiteral("mouse/lightValue"), false));
    while (value.size() < 3)
        value << 0;
    value[0] = effect;
    if (request.contains("speed"))
        value[1] = request.value("speed").toInt();
    if (request.contains("brightness"))
        value[2] = request.value("brightness").toInt();
    QList<int> colour = numbers(v->getDataList(QStringLiteral("mouse/colorValue"), false));
    while (colour.size() < 24)
        colour << 0;
    for (const QJsonValue &c : colours) {
        const int n = c.toObject().value("number").toInt() - 1;
        const uint packed = c.toObject().value("rgb").toString().toUInt(nullptr, 16);
        colour[3 * n] = int(packed >> 16 & 0xff);
        colour[3 * n + 1] = int(packed >> 8 & 0xff);
        colour[3 * n + 2] = int(packed & 0xff);
    }
    QVariantList storedValue, storedColour;
    for (int x : value.mid(0, 3))
        storedValue << x;
    for (int x : colour.mid(0, 24))
        storedColour << x;
    v->setDataList(QStringLiteral("mouse/lightValue"), storedValue);
    v->setDataList(QStringLiteral("mouse/colorValue"), storedColour);
    // The panel shows what was stored and sends it, as its Save does.
    call(lightPage, "init", {true, false});
    sent = true;
    return reply(Done);
}

QStringList CtlServer::macroNames() const {
    QStringList out;
    const QVariantList list = widget->view()->getNameList(0);
    for (const QVariant &name : list)
        if (!name.toString().isEmpty() && name.toString() != QLatin1String("loadervortex"))
            out << name.toString();
    return out;
}

QJsonObject CtlServer::button(const QJsonObject &request) {
    QObject *assign = page("keyAssigmentMain");
    QObject *keys = page("keyMatrixMain");
    auto *model = keys ? keys->property("modKeys").value<QAbstractItemModel *>() : nullptr;
    if (!assign || !model)
        return reply(NoAnswer, QStringLiteral("the button panel is not there"));
    const int rows = qMin(keys->property("rowCount").toInt(), model->rowCount());
    const int index = request.value("button").toInt() - 1;
    if (index < 0 || index >= rows)
        return reply(Refused, QStringLiteral("no button %1 (1 to %2)").arg(index + 1).arg(rows));

    const auto entryOf = [model](int row) {
        QList<int> e;
        for (const char *role : {"keyCode0", "keyCode1", "keyCode2", "keyCode3"})
            e << model->data(model->index(row, 0), roleOf(model, role)).toInt();
        return e;
    };
    const auto isLeftClick = [](const QList<int> &e) { return e[0] == 0 && e[2] == 0xF0; };

    const QString wanted = request.value("function").toString().trimmed();
    const bool reset = wanted == QLatin1String("reset");
    QList<int> entry;
    QString text;
    if (!reset) {
        // The dialog's function tables: [language index, class, three codes].
        QStringList tables = {"mouseOptions", "dpiOptions", "mediaOptions", "windowsOptions",
                              "shortcutOptions"};
        if (widget->view()->getGlobalData(QStringLiteral("mouse/isGun")).toBool())
            tables << QStringLiteral("gunOptions");
        for (const QString &table : tables) {
            for (const QVariant &option : assign->property(table.toLatin1()).toList()) {
                const QVariantList o = option.toList();
                const QString name = call(assign, "langText", {o.value(0)}).toString();
                if (o.size() == 5 && entry.isEmpty() && sameName(wanted, name)) {
                    entry = {o[1].toInt(), o[2].toInt(), o[3].toInt(), o[4].toInt()};
                    text = name;
                }
            }
        }
        if (entry.isEmpty())
            for (const QString &name : macroNames())
                if (name == wanted) {
                    // Played once per press, from this button's macro slot.
                    entry = {0x04, 0, index, 0};
                    text = name;
                }
        if (entry.isEmpty()) {
            // A key combination: modifiers and up to two keys by their labels.
            static const QStringList modifiers[4] = {
                {"ctrl", "control"}, {"shift"}, {"alt"}, {"win", "super", "meta", "gui"}};
            int bits = 0;
            QList<int> codes;
            bool known = true;
            for (const QString &part : wanted.split(QLatin1Char('+'))) {
                int modifier = -1;
                for (int m = 0; m < 4; ++m)
                    if (modifiers[m].contains(part.trimmed().toLower()))
                        modifier = m;
                if (modifier >= 0) {
                    bits |= 1 << modifier;
                    continue;
                }
                int code = -1;
                for (int c = 1; c < 0xE0 && code < 0; ++c)
                    if (call(assign, "isKnownKey", {c}).toBool() &&
                        sameName(part.trimmed(), call(assign, "keyLabel", {c}).toString()))
                        code = c;
                if (code < 0)
                    known = false;
                else
                    codes << code;
            }
            if (known && !codes.isEmpty() && codes.size() <= 2) {
                entry = {0x02, bits, codes.value(0), codes.value(1)};
                text = call(assign, "keyCodeToString", {entry[0], entry[1], entry[2], entry[3]})
                           .toString();
            }
        }
        if (entry.isEmpty())
            return reply(
                Refused,
                QStringLiteral("\"%1\" is no function, macro or key combination").arg(wanted));
    }
    // The mouse must keep one left click.
    int leftClicks = 0;
    for (int row = 0; row < rows; ++row)
        leftClicks += isLeftClick(entryOf(row)) ? 1 : 0;
    if (!reset && leftClicks == 1 && isLeftClick(entryOf(index)) && !isLeftClick(entry))
        return reply(Refused, QStringLiteral("button %1 holds the only left click").arg(index + 1));
    if (!Widget::deviceConnected)
        return reply(NoMouse, QStringLiteral("no mouse connected"));

    // As the button's dialog does it: open, choose (or restore), close; then
    // the panel's Save sends the whole key matrix.
    call(assign, "show", {index});
    if (reset)
        call(assign, "restore");
    else
        call(assign, "choose", {entry[0], entry[1], entry[2], entry[3], text});
    call(assign, "closeKeyAssigment");
    if (keys->property("isSave").toBool()) {
        keys->setProperty("isSave", false);
        call(keys->property("modKeys").value<QObject *>(), "saveData");
        sent = true;
    }
    return reply(Done);
}

namespace {

// Answers the controller's next file dialog with path, and its warnings
// into a string, for as long as it lives.
class DialogAnswers {
public:
    DialogAnswers(const QString &path, QString *warning) {
        myQQuickView::setFileDialogProvider([path](Dialogs::FileKind, const QString &,
                                                   const QString &,
                                                   const QString &) { return path; });
        myQQuickView::setWarningProvider(
            [warning](const QString &, const QString &text) { *warning = text; });
    }
    ~DialogAnswers() {
        myQQuickView::setFileDialogProvider({});
        myQQuickView::setWarningProvider({});
    }
    DialogAnswers(const DialogAnswers &) = delete;
    DialogAnswers &operator=(const DialogAnswers &) = delete;
};

bool looksLikeMacro(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    f.close();
    const QSettings s(path, QSettings::IniFormat);
    bool ok = false;
    const int total = s.value(QStringLiteral("config/total")).toInt(&ok);
    if (s.status() != QSettings::NoError || !ok || total < 0)
        return false;
    for (int i = 0; i < total; ++i)
        if (!s.contains(QStringLiteral("macro/") + QString::number(i)))
            return false;
    return true;
}

// A file to import: says why it cannot be read, so a mistyped path is not
// reported as a file of the wrong kind.
QString unreadable(const QString &path) {
    const QFileInfo source(path);
    if (!source.exists())
        return QStringLiteral("there is no file %1").arg(path);
    if (source.isDir())
        return QStringLiteral("%1 is a folder").arg(path);
    if (!source.isReadable())
        return QStringLiteral("%1 cannot be read").arg(path);
    return QString();
}

// A file we can write: its folder exists, and it is no folder itself.
QString unwritable(const QString &path) {
    const QFileInfo target(path);
    if (path.isEmpty() || target.isDir())
        return QStringLiteral("%1 is a folder").arg(path);
    if (!target.absoluteDir().exists())
        return QStringLiteral("there is no folder %1").arg(target.absolutePath());
    return QString();
}

} // namespace

QJsonObject CtlServer::profileFile(const QJsonObject &request, const QJsonArray &entries) {
    const QString file = request.value("file").toString();
    QObject *profiles = page("profileMain");
    if (!profiles)
        return reply(NoAnswer, QStringLiteral("the profile list is not there"));
    QString warning;
    if (request.value("action").toString() == QLatin1String("export")) {
        const int number = request.value("number").toInt();
        if (number < 1 || number > entries.size())
            return reply(
                Refused,
                QStringLiteral("no profile number %1 (1 to %2)").arg(number).arg(entries.size()));
        const QString why = unwritable(file);
        if (!why.isEmpty())
            return reply(Refused, why);
        const bool existed = QFileInfo::exists(file);
        const QDateTime before = QFileInfo(file).lastModified();
        {
            const DialogAnswers answers(file, &warning);
            call(profiles, "exportProfile", {number - 1});
        }
        if (!SettingsStore::looksLikeProfile(file) ||
            (existed && QFileInfo(file).lastModified() == before))
            return reply(NoAnswer, QStringLiteral("could not write %1").arg(file));
        return reply(Done);
    }
    // import
    if (const QString why = unreadable(file); !why.isEmpty())
        return reply(Refused, why);
    if (!SettingsStore::looksLikeProfile(file))
        return reply(Refused, QStringLiteral("%1 is not a profile").arg(file));
    if (entries.size() >= profiles->property("maxProfiles").toInt())
        return reply(
            Refused,
            QStringLiteral("there are %1 profiles already; delete one first").arg(entries.size()));
    bool loaded = false;
    {
        const DialogAnswers answers(file, &warning);
        loaded = call(profiles, "importProfile").toBool();
    }
    if (!loaded)
        return reply(Refused,
                     warning.isEmpty() ? QStringLiteral("%1 was not taken").arg(file) : warning);
    return reply(Done, QString(), QJsonObject{{"profile", profileEntries().last().toObject()}});
}

QJsonObject CtlServer::macro(const QJsonObject &request) {
    const QString action = request.value("action").toString();
    const QStringList names = macroNames();
    if (action == QLatin1String("list")) {
        QJsonArray list;
        for (const QString &name : names)
            list.append(name);
        return reply(Done, QString(), QJsonObject{{"macros", list}});
    }
    const QString file = request.value("file").toString();
    QString warning;
    if (action == QLatin1String("export")) {
        const QString name = request.value("name").toString();
        if (!names.contains(name))
            return reply(Refused, QStringLiteral("no macro named \"%1\"").arg(name));
        const QString why = unwritable(file);
        if (!why.isEmpty())
            return reply(Refused, why);
        {
            const DialogAnswers answers(file, &warning);
            widget->view()->saveMacroFile(name);
        }
        if (!looksLikeMacro(file))
            return reply(NoAnswer, QStringLiteral("could not write %1").arg(file));
        return reply(Done);
    }
    // import: into a new macro, as the macro editor's Import does.
    QObject *editor = page("macroEditorMain");
    if (!editor)
        return reply(NoAnswer, QStringLiteral("the macro editor is not there"));
    if (const QString why = unreadable(file); !why.isEmpty())
        return reply(Refused, why);
    if (!looksLikeMacro(file))
        return reply(Refused, QStringLiteral("%1 is not a macro").arg(file));
    const QString name = call(editor, "freeName").toString();
    if (name.isEmpty())
        return reply(Refused, QStringLiteral("the macro list is full; delete one first"));
    {
        const DialogAnswers answers(file, &warning);
        call(editor, "importMacro");
    }
    if (!macroNames().contains(name))
        return reply(NoAnswer, QStringLiteral("%1 was not taken").arg(file));
    return reply(Done, QString(), QJsonObject{{"macro", name}});
}
