// Recording stand-ins for the native objects the scene talks to. Every slot
// call is appended to one shared log as "object.slot(arg,arg)" so tests can
// check what the scene asked for and in which order.
#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

class CallLog : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    void record(const QString &object, const QString &slot, const QVariantList &args);

public slots:
    QStringList entries() const { return m_entries; }
    void clear() { m_entries.clear(); }
    // Lets test pages write into the same log as the native calls.
    void note(const QString &line) { m_entries.append(line); }

private:
    QStringList m_entries;
};

class ViewStandIn : public QObject {
    Q_OBJECT
public:
    ViewStandIn(CallLog *log, QObject *parent = nullptr) : QObject(parent), m_log(log) {}

public slots:
    // configuration, not logged
    void setGlobalValue(const QString &key, const QVariant &value) { m_global[key] = value; }
    void setDataValue(const QString &key, const QVariant &value) { m_data[key] = value; }
    void setLangGroup(const QString &group, const QStringList &texts) { m_lang[group] = texts; }
    void setOnBoardProfile(const QVariant &v) { m_onBoard = v; }
    void setDeviceDpiStage(const QVariant &v) { m_dpiStage = v; }
    // What mouseGetKeydefine(index, isRecovery) returns; unset entries give
    // an empty list, like a missing key in the profile file.
    void setKeydefine(int index, bool isRecovery, const QVariantList &entry) {
        m_keydefine[qMakePair(index, isRecovery)] = entry;
    }
    // Profile and gun pages: what the name lists, the import dialog and the
    // gun preset file give back.
    void setNameList(int type, const QVariantList &list) { m_names[type] = list; }
    void setLoadProfileResult(bool loaded) { m_loadResult = loaded; }
    void setGunData(int index, const QVariantList &fields) { m_gun[index] = fields; }
    void resetValues();

    // the slots the scene calls
    void setEnabled(bool enabled);
    QVariant getGlobalData(const QVariant &key);
    bool setGlobalData(const QVariant &key, const QVariant &value);
    QVariant getData(const QVariant &key, bool isRecovery);
    bool setData(const QVariant &key, const QVariant &value);
    QStringList getLangStrings(const QString &typeStr, const QString &langCode);
    QVariantList getNameList(const QVariant &type);
    QVariant mouseReadCurrentProfile();
    QVariant mouseGetCurrentDPI();
    void setCurrentProfile(int profile);
    void resetProfile(int profile);
    void mouseSwitchKeyMatrix(int indexNo);
    void mouseResetKeyMatrix();
    void mouseSetCurrentDPI(uchar currentDPI);
    // key assignment page
    QVariantList mouseGetKeydefine(const QVariant &index, bool isRecovery);
    void mouseSetKeyMatrix(const QVariantList &src64, bool isSendData,
                           const QVariantList &otherParam);
    // DPI, report rate, pointer and lighting pages
    QVariantList getDataList(const QVariant &key, bool isRecovery);
    bool setDataList(const QVariant &key, const QVariantList &list);
    void setRecoveryValue(const QString &key, const QVariant &value) { m_recovery[key] = value; }
    void mouseSetDpi(int dpiCount, const QString &sensorType, const QVariantList &values);
    void mouseSetReportRate(uchar rate);
    void mouseSetCursorSpeed(uint cursorSpeed);
    void mouseSetDoubleClickSpeed(uint speed);
    void mouseSetVerticalScrollLines(uint lines);
    void mouseSetRGBEffect(uchar effect, uchar option1, uchar option2);
    void mouseSetRGBColor(uchar type, const QVariantList &src24);
    // profile and gun pages
    QVariant updataNameList(const QVariant &type, const QStringList &nameList);
    bool loadProfile(int profile);
    void saveProfile(int profile);
    QVariantList getGunData(const QVariant &name);
    void mouseSaveGundata(const QVariant &index, const QVariantList &src6);
    void mouseSendGundata(int slot, const QVariantList &data);

private:
    CallLog *m_log;
    QVariantMap m_global;
    QVariantMap m_data;
    QVariantMap m_recovery; // what getData/getDataList give with isRecovery
    QMap<QString, QStringList> m_lang;
    QVariant m_onBoard{1};
    QVariant m_dpiStage{1};
    QMap<QPair<int, bool>, QVariantList> m_keydefine;
    QMap<int, QVariantList> m_names;
    QMap<int, QVariantList> m_gun;
    bool m_loadResult = false;
};

class ControllerStandIn : public QObject {
    Q_OBJECT
public:
    ControllerStandIn(CallLog *log, QObject *parent = nullptr) : QObject(parent), m_log(log) {}

public slots:
    void onMinimize();
    void onClose();
    void onXChanged(int x);
    void onYChanged(int y);
    // No window system move here: the scene falls back to offsets.
    bool startSystemMove() { return false; }
    void setBusy(int busyTime = 0);

private:
    CallLog *m_log;
};

class HidStandIn : public QObject {
    Q_OBJECT
public:
    HidStandIn(CallLog *log, QObject *parent = nullptr) : QObject(parent), m_log(log) {}

public slots:
    void hid560_02H_SetCurrentProfile(int profile);

private:
    CallLog *m_log;
};

class QQmlContext;

// Creates the stand-ins and publishes them as ui_View, ui_Ctl, hid and
// callLog on the given context.
struct StandIns {
    explicit StandIns(QObject *owner);
    void publish(QQmlContext *context);
    CallLog *log;
    ViewStandIn *view;
    ControllerStandIn *controller;
    HidStandIn *hid;
};
