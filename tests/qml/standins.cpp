#include "standins.h"

#include <QQmlContext>

namespace {
QString argText(const QVariant &v) {
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (v.canConvert<QVariantList>() && v.typeId() != QMetaType::QString) {
        QStringList parts;
        const QVariantList list = v.toList();
        for (const QVariant &item : list)
            parts.append(argText(item));
        return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    return v.toString();
}
} // namespace

void CallLog::record(const QString &object, const QString &slot, const QVariantList &args) {
    QStringList parts;
    for (const QVariant &a : args)
        parts.append(argText(a));
    m_entries.append(object + QLatin1Char('.') + slot + QLatin1Char('(') +
                     parts.join(QLatin1Char(',')) + QLatin1Char(')'));
}

void ViewStandIn::resetValues() {
    m_global.clear();
    m_data.clear();
    m_recovery.clear();
    m_lang.clear();
    m_onBoard = 1;
    m_dpiStage = 1;
    m_keydefine.clear();
    m_names.clear();
    m_gun.clear();
    m_loadResult = false;
}

void ViewStandIn::setEnabled(bool enabled) {
    m_log->record("ui_View", "setEnabled", {enabled});
}

QVariant ViewStandIn::getGlobalData(const QVariant &key) {
    m_log->record("ui_View", "getGlobalData", {key});
    return m_global.value(key.toString());
}

bool ViewStandIn::setGlobalData(const QVariant &key, const QVariant &value) {
    m_log->record("ui_View", "setGlobalData", {key, value});
    m_global[key.toString()] = value;
    return true;
}

QVariant ViewStandIn::getData(const QVariant &key, bool isRecovery) {
    m_log->record("ui_View", "getData", {key, isRecovery});
    if (isRecovery && m_recovery.contains(key.toString()))
        return m_recovery.value(key.toString());
    return m_data.value(key.toString());
}

bool ViewStandIn::setData(const QVariant &key, const QVariant &value) {
    m_log->record("ui_View", "setData", {key, value});
    m_data[key.toString()] = value;
    return true;
}

QStringList ViewStandIn::getLangStrings(const QString &typeStr, const QString &langCode) {
    m_log->record("ui_View", "getLangStrings", {typeStr, langCode});
    return m_lang.value(typeStr);
}

QVariantList ViewStandIn::getNameList(const QVariant &type) {
    m_log->record("ui_View", "getNameList", {type});
    return m_names.value(type.toInt());
}

// Stores like the controller does: a one-name list carries the marker
// entry, an empty list is no list at all.
QVariant ViewStandIn::updataNameList(const QVariant &type, const QStringList &nameList) {
    m_log->record("ui_View", "updataNameList", {type, QVariant(nameList)});
    QVariantList stored;
    for (const QString &name : nameList)
        stored.append(name);
    if (stored.size() == 1)
        stored.append(QStringLiteral("loadervortex"));
    if (stored.isEmpty())
        m_names.remove(type.toInt());
    else
        m_names[type.toInt()] = stored;
    return true;
}

bool ViewStandIn::loadProfile(int profile) {
    m_log->record("ui_View", "loadProfile", {profile});
    return m_loadResult;
}

void ViewStandIn::saveProfile(int profile) {
    m_log->record("ui_View", "saveProfile", {profile});
}

QVariantList ViewStandIn::getGunData(const QVariant &name) {
    m_log->record("ui_View", "getGunData", {name});
    return m_gun.value(name.toInt());
}

void ViewStandIn::mouseSaveGundata(const QVariant &index, const QVariantList &src6) {
    m_log->record("ui_View", "mouseSaveGundata", {index, QVariant(src6)});
}

void ViewStandIn::mouseSendGundata(int slot, const QVariantList &data) {
    m_log->record("ui_View", "mouseSendGundata", {slot, QVariant(data)});
}

QVariant ViewStandIn::mouseReadCurrentProfile() {
    m_log->record("ui_View", "mouseReadCurrentProfile", {});
    return m_onBoard;
}

QVariant ViewStandIn::mouseGetCurrentDPI() {
    m_log->record("ui_View", "mouseGetCurrentDPI", {});
    return m_dpiStage;
}

void ViewStandIn::setCurrentProfile(int profile) {
    m_log->record("ui_View", "setCurrentProfile", {profile});
}

void ViewStandIn::resetProfile(int profile) {
    m_log->record("ui_View", "resetProfile", {profile});
}

void ViewStandIn::mouseSwitchKeyMatrix(int indexNo) {
    m_log->record("ui_View", "mouseSwitchKeyMatrix", {indexNo});
}

void ViewStandIn::mouseResetKeyMatrix() {
    m_log->record("ui_View", "mouseResetKeyMatrix", {});
}

void ViewStandIn::mouseSetCurrentDPI(uchar currentDPI) {
    m_log->record("ui_View", "mouseSetCurrentDPI", {int(currentDPI)});
}

QVariantList ViewStandIn::getDataList(const QVariant &key, bool isRecovery) {
    m_log->record("ui_View", "getDataList", {key, isRecovery});
    if (isRecovery && m_recovery.contains(key.toString()))
        return m_recovery.value(key.toString()).toList();
    return m_data.value(key.toString()).toList();
}

bool ViewStandIn::setDataList(const QVariant &key, const QVariantList &list) {
    m_log->record("ui_View", "setDataList", {key, QVariant(list)});
    m_data[key.toString()] = list;
    return true;
}

void ViewStandIn::mouseSetDpi(int dpiCount, const QString &sensorType, const QVariantList &values) {
    m_log->record("ui_View", "mouseSetDpi", {dpiCount, sensorType, QVariant(values)});
}

void ViewStandIn::mouseSetReportRate(uchar rate) {
    m_log->record("ui_View", "mouseSetReportRate", {int(rate)});
}

void ViewStandIn::mouseSetCursorSpeed(uint cursorSpeed) {
    m_log->record("ui_View", "mouseSetCursorSpeed", {cursorSpeed});
}

void ViewStandIn::mouseSetDoubleClickSpeed(uint speed) {
    m_log->record("ui_View", "mouseSetDoubleClickSpeed", {speed});
}

void ViewStandIn::mouseSetVerticalScrollLines(uint lines) {
    m_log->record("ui_View", "mouseSetVerticalScrollLines", {lines});
}

void ViewStandIn::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2) {
    m_log->record("ui_View", "mouseSetRGBEffect", {int(effect), int(option1), int(option2)});
}

void ViewStandIn::mouseSetRGBColor(uchar type, const QVariantList &src24) {
    m_log->record("ui_View", "mouseSetRGBColor", {int(type), QVariant(src24)});
}

QVariantList ViewStandIn::mouseGetKeydefine(const QVariant &index, bool isRecovery) {
    m_log->record("ui_View", "mouseGetKeydefine", {index, isRecovery});
    return m_keydefine.value(qMakePair(index.toInt(), isRecovery));
}

void ViewStandIn::mouseSetKeyMatrix(const QVariantList &src64, bool isSendData,
                                    const QVariantList &otherParam) {
    m_log->record("ui_View", "mouseSetKeyMatrix",
                  {QVariant(src64), isSendData, QVariant(otherParam)});
}

void ControllerStandIn::onMinimize() {
    m_log->record("ui_Ctl", "onMinimize", {});
}

void ControllerStandIn::onClose() {
    m_log->record("ui_Ctl", "onClose", {});
}

void ControllerStandIn::onXChanged(int x) {
    m_log->record("ui_Ctl", "onXChanged", {x});
}

void ControllerStandIn::onYChanged(int y) {
    m_log->record("ui_Ctl", "onYChanged", {y});
}

void ControllerStandIn::setBusy(int busyTime) {
    m_log->record("ui_Ctl", "setBusy", {busyTime});
}

void HidStandIn::hid560_02H_SetCurrentProfile(int profile) {
    m_log->record("hid", "hid560_02H_SetCurrentProfile", {profile});
}

StandIns::StandIns(QObject *owner)
    : log(new CallLog(owner)), view(new ViewStandIn(log, owner)),
      controller(new ControllerStandIn(log, owner)), hid(new HidStandIn(log, owner)) {}

void StandIns::publish(QQmlContext *context) {
    context->setContextProperty("ui_View", view);
    context->setContextProperty("hid", hid);
    context->setContextProperty("ui_Ctl", controller);
    context->setContextProperty("callLog", log);
}
