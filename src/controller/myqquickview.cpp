#include "myqquickview.h"

#include "device_family.h"
#include "dpi_codes.h"
#include "gun_presets.h"
#include "key_matrix.h"
#include "lang_strings.h"
#include "lighting.h"
#include "macro_files.h"
#include "name_lists.h"
#include "pointer_settings.h"
#include "settings_values.h"

#include "hid_thread.h"

#include <QFile>
#include <QFocusEvent>
#include <QMetaMethod>
#include <QQuickItem>
#include <QSettings>
#include <QThread>

namespace {

QString keyText(const QVariant &key) {
    return plainValue(key).toString();
}

QString matrixKey(int button) {
    return QStringLiteral("mouseKeyMatrix/") + QString::number(button);
}

} // namespace

myQQuickView::myQQuickView(QWidget *parent)
    : QQuickWidget(parent),
      m_family(DeviceFamily::create(DeviceFlags::read(m_store.global()), m_images)) {}

myQQuickView::~myQQuickView() = default;

void myQQuickView::setHid(Hid_Thread *hid) {
    m_hid = hid;
    m_family->setHid(hid);
}

void myQQuickView::setFileDialogProvider(Dialogs::FileProvider provider) {
    Dialogs::setFileDialogProvider(std::move(provider));
}

void myQQuickView::setWarningProvider(Dialogs::WarningProvider provider) {
    Dialogs::setWarningProvider(std::move(provider));
}

// ---- scene calls ----------------------------------------------------------

void myQQuickView::invokeRoot(const char *function, Qt::ConnectionType type, const QVariant &arg,
                              bool withArg) {
    QQuickItem *root = rootObject();
    if (!root)
        return;
    const QMetaObject *mo = root->metaObject();
    for (int i = 0; i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.name() != function || m.parameterCount() != (withArg ? 1 : 0))
            continue;
        if (!withArg) {
            m.invoke(root, type);
        } else if (m.parameterType(0) == QMetaType::QVariant) {
            m.invoke(root, type, Q_ARG(QVariant, arg));
        } else if (m.parameterType(0) == QMetaType::Int) {
            m.invoke(root, type, Q_ARG(int, arg.toInt()));
        }
        return;
    }
}

void myQQuickView::clearHidBusy() {
    if (m_hid)
        m_hid->hidIdle = true;
}

void myQQuickView::initUI() {
    invokeRoot("initUI", Qt::QueuedConnection);
}

void myQQuickView::runUI() {
    invokeRoot("run", Qt::QueuedConnection);
}

void myQQuickView::setBusy(int busyTime) {
    invokeRoot("setProtectUI", Qt::DirectConnection, busyTime, true);
}

void myQQuickView::setCurrentDPI(int dpiValue) {
    // The reader's stage signal arrives on the GUI thread already; a call
    // from any other thread is passed there, where the scene lives.
    const bool guiThread = QThread::currentThread() == thread();
    invokeRoot("setCurrentDPI", guiThread ? Qt::DirectConnection : Qt::QueuedConnection, dpiValue,
               true);
}

void myQQuickView::focusInEvent(QFocusEvent *event) {
    QQuickWidget::focusInEvent(event);
    update();
    event->accept();
}

void myQQuickView::resetApconfig() {
    // The cached flags keep their values until the next start.
    m_store.resetGlobal();
}

void myQQuickView::openUpdateExe() {}

// ---- data access ----------------------------------------------------------

QVariant myQQuickView::getData(QVariant key, bool isRecovery) {
    QSettings &s = isRecovery ? m_store.defaults() : m_store.current();
    return s.value(keyText(key), QVariant());
}

QVariant myQQuickView::getGlobalData(QVariant key) {
    return m_store.global().value(keyText(key), QVariant());
}

QVariantList myQQuickView::getDataList(QVariant key, bool isRecovery) {
    return settingsList(getData(key, isRecovery));
}

void myQQuickView::setData(QVariant key, QVariant data) {
    m_store.current().setValue(keyText(key), plainValue(data));
}

void myQQuickView::setGlobalData(QVariant key, QVariant tmpdata) {
    m_store.global().setValue(keyText(key), plainValue(tmpdata));
}

void myQQuickView::setDataList(QVariant key, QVariantList datalist) {
    m_store.current().setValue(keyText(key), plainList(datalist));
}

// ---- profiles -------------------------------------------------------------

void myQQuickView::setCurrentProfile(int profile) {
    m_store.setCurrentProfile(profile);
}

bool myQQuickView::loadProfile(int profile) {
    if (!SettingsStore::isValidProfile(profile))
        return false;
    const QString file =
        Dialogs::askFile(this, Dialogs::FileKind::Open, tr("Open File"), tr("Profile(*.pf)"));
    if (file.isEmpty())
        return false;
    if (!SettingsStore::looksLikeProfile(file)) {
        Dialogs::warn(this, tr("Import Profile"),
                      tr("The chosen file is not a profile. The profile was not changed."));
        return false;
    }
    return m_store.replaceProfile(profile, file);
}

void myQQuickView::saveProfile(int profile) {
    if (!SettingsStore::isValidProfile(profile))
        return;
    const QString file =
        Dialogs::askFile(this, Dialogs::FileKind::Save, tr("Save File"), tr("Profile(*.pf)"));
    if (!file.isEmpty())
        m_store.exportProfile(profile, file);
}

void myQQuickView::resetProfile(int profile) {
    m_store.replaceProfile(profile, SettingsStore::defaultProfilePath());
}

void myQQuickView::copyProfile(int destprofile, int srcprofile) {
    m_store.copyProfile(destprofile, srcprofile);
}

void myQQuickView::mouseSetProfile(uint profileNo) {
    if (!m_hid || profileNo >= uint(ProfileImages::kCount))
        return;
    m_hid->hid560_0CH_setProfile(m_images.image(int(profileNo)), uchar(profileNo));
}

void myQQuickView::mouseReadProfile(uint profileNo) {
    if (!m_hid || profileNo >= uint(ProfileImages::kCount))
        return;
    m_hid->hid560_8CH_readProfile(m_images.image(int(profileNo)), uchar(profileNo));
}

QVariant myQQuickView::mouseReadCurrentProfile() {
    uchar profile = 0;
    if (m_hid)
        m_hid->hid560_82H_GetCurrentProfile(profile);
    return int(profile);
}

// ---- key matrix -----------------------------------------------------------

QList<QVariantList> myQQuickView::layerTemplates() {
    QList<QVariantList> t;
    for (int j = 0; j < KeyMatrix::kButtons; ++j)
        t << settingsList(
            m_store.current().value(QStringLiteral("mouseFwKeyMatrix/") + QString::number(j)));
    return t;
}

void myQQuickView::mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam) {
    src64 = plainList(src64);
    QSettings &p = m_store.current();
    for (int i = 0; i < KeyMatrix::kButtons; ++i) {
        QVariantList entry;
        for (int k = 0; k < 4; ++k)
            entry << src64.value(i * 4 + k, 0);
        p.setValue(matrixKey(i), entry);
    }
    if (!isSendData || !m_hid)
        return;

    const bool f560 = family560();
    const KeyMatrix::Matrix m1 = KeyMatrix::buildMatrix(src64, f560);
    if (!KeyMatrix::hasGunSwitch(m1)) {
        m_family->setKeyMatrix(m1, 1);
        return;
    }
    m_family->setGunLayers(KeyMatrix::buildGunLayers(
        m1, KeyMatrix::templateMatrix(layerTemplates()), plainList(otherParam), f560));
}

void myQQuickView::mouseResetKeyMatrix() {
    if (!m_hid)
        return;
    const KeyMatrix::Matrix t = KeyMatrix::templateMatrix(layerTemplates());
    for (uchar n = 2; n <= 4; ++n)
        m_family->setKeyMatrix(t, n);
}

void myQQuickView::mouseSwitchKeyMatrix(int indexNo) {
    m_family->switchKeyMatrix(indexNo);
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool isRecovery) {
    QSettings &s = isRecovery ? m_store.defaults() : m_store.current();
    return settingsList(s.value(QStringLiteral("mouseKeyMatrix/") + keyText(index)));
}

// ---- DPI, report rate, lighting -------------------------------------------

void myQQuickView::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4) {
    if (m_hid)
        m_hid->hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
}

QVariantList myQQuickView::GetKeyboardoption() {
    uchar b1 = 0, b2 = 0, b3 = 0, b4 = 0;
    if (m_hid)
        m_hid->hid553_83H_GetKeyboardoption(b1, b2, b3, b4);
    return {int(b1), int(b2), int(b3), int(b4)};
}

void myQQuickView::mouseSetReportRate(uchar rate) {
    m_family->setReportRate(rate);
}

void myQQuickView::mouseSetCurrentDPI(uchar currentDPI) {
    m_family->setCurrentDpi(currentDPI);
}

QVariant myQQuickView::mouseGetCurrentDPI() {
    return m_family->currentDpi();
}

void myQQuickView::mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray) {
    m_family->setDpi(DpiCodes::convert(plainList(dpiValueArray), sensorType), dpiCount);
}

void myQQuickView::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2) {
    m_family->setLightEffect(m_family->flags().isColorful
                                 ? Lighting::colourEffect(effect, option1, option2)
                                 : Lighting::singleColourEffect(effect, option1, option2));
}

void myQQuickView::mouseSetRGBColor(uchar type, QVariantList src24) {
    m_family->setColours(type, Lighting::colourBytes(plainList(src24)));
}

// ---- pointer settings -----------------------------------------------------

void myQQuickView::mouseSetCursorSpeed(uint cursorSpeed) {
    PointerSettings::setCursorSpeed(PointerSettings::cursorSpeedFromIndex(cursorSpeed));
}

void myQQuickView::mouseSetVerticalScrollLines(uint lines) {
    PointerSettings::setWheelScrollLines(int(qMin(lines, 100000u)));
}

void myQQuickView::mouseSetDoubleClickSpeed(uint speed) {
    PointerSettings::setDoubleClickTime(PointerSettings::doubleClickMsFromIndex(speed));
}

// ---- macros ---------------------------------------------------------------

QList<QSettings *> myQQuickView::macroProfiles() {
    // The interface offers six profiles; only those follow macro renames.
    QList<QSettings *> list;
    for (int n = 0; n < 6; ++n)
        list << m_store.profile(n);
    return list;
}

QVariant myQQuickView::createMacroIni(QVariant name, QVariant macroIndex) {
    return MacroFiles::create(name.toString(), macroIndex.toUInt());
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros, QVariant repeat) {
    return MacroFiles::save(name.toString(), macros, plainValue(repeat));
}

QStringList myQQuickView::loadMacroIni(QVariant name) {
    return MacroFiles::load(name.toString());
}

QVariant myQQuickView::deleteMacroIni(QVariant name) {
    return MacroFiles::remove(name.toString());
}

bool myQQuickView::loadMacroFile(QVariant macroFileName) {
    const QString name = macroFileName.toString();
    if (!MacroFiles::isValidName(name))
        return false;
    const QString file =
        Dialogs::askFile(this, Dialogs::FileKind::Open, tr("Open File"), tr("Macro(*.mc)"));
    if (file.isEmpty())
        return false;
    if (!MacroFiles::looksLikeMacro(file)) {
        Dialogs::warn(this, tr("Import Macro"),
                      tr("The chosen file is not a macro. No macro was imported."));
        return false;
    }
    return MacroFiles::importFrom(name, file);
}

void myQQuickView::saveMacroFile(QVariant macroFileName) {
    const QString name = macroFileName.toString();
    if (!MacroFiles::isValidName(name))
        return;
    const QString file =
        Dialogs::askFile(this, Dialogs::FileKind::Save, tr("Save File"), tr("Macro(*.mc)"));
    if (!file.isEmpty())
        MacroFiles::exportTo(name, file);
}

QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname) {
    const QString from = oldname.toString();
    const QString to = newname.toString();
    if (!MacroFiles::isValidName(from) || !MacroFiles::isValidName(to) ||
        !QFile::exists(MacroFiles::path(from)))
        return false;
    // The file first: a refused rename must leave the buttons on their macro.
    if (!MacroFiles::renameFile(from, to))
        return false;
    MacroFiles::renameInProfiles(macroProfiles(), from, to);
    return true;
}

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName) {
    MacroFiles::resetButtonsPlaying(macroProfiles(), m_store.defaults(), macroName.toString());
}

QVariant myQQuickView::mouseSendMacroData(QVariantList macroData, QVariant macroIndex) {
    // The mouse keeps 128 bytes per macro; anything longer would be cut.
    if (macroData.size() > 128)
        return false;
    const uint slot = plainValue(macroIndex).toUInt() % 256;
    if (slot >= 12)
        return true;
    std::array<uchar, 128> image{};
    for (int i = 0; i < macroData.size(); ++i)
        image[i] = uchar(plainValue(macroData.at(i)).toInt() & 0xFF);
    m_family->setMacro(uchar(slot + 1), image);
    return true;
}

// ---- gun presets ----------------------------------------------------------

void myQQuickView::mouseSaveGundata(QVariant index, QVariantList src6) {
    GunPresets::save(plainValue(index), plainList(src6));
}

void myQQuickView::modifyGundata(int modifyType, QVariantList src6) {
    GunPresets::modify(modifyType, plainList(src6));
}

QVariantList myQQuickView::getGunData(QVariant name) {
    return GunPresets::get(name);
}

QStringList myQQuickView::getGunDataKey() {
    return GunPresets::keys();
}

void myQQuickView::mouseSendGundata(int slot, QVariantList data) {
    if (!m_family->flags().isGun || slot < 1 || slot > 3)
        return;
    m_family->setGunSlot(slot, plainList(data));
}

QVariant myQQuickView::getXYSensitive(QVariant index) {
    return m_store.current().value(QStringLiteral("XYSensitive/") + keyText(index), 4);
}

QVariant myQQuickView::getselectGun(QVariant index) {
    return m_store.current().value(QStringLiteral("selectGun/") + keyText(index), QString());
}

void myQQuickView::setXYSensitive(QVariant index, QVariant xyData) {
    m_store.current().setValue(QStringLiteral("XYSensitive/") + keyText(index), plainValue(xyData));
}

void myQQuickView::setSelectGun(QVariant index, QVariant xyData) {
    m_store.current().setValue(QStringLiteral("selectGun/") + keyText(index), plainValue(xyData));
}

// ---- names and language ---------------------------------------------------

QVariant myQQuickView::updataNameList(QVariant type, QStringList nameList) {
    return NameLists::store(type, nameList);
}

QVariantList myQQuickView::getNameList(QVariant type) {
    return NameLists::read(type);
}

QStringList myQQuickView::getLangStrings(QString typeStr, QString langCode) {
    const QStringList texts = LangStrings::group(typeStr, langCode);
    if (typeStr == QLatin1String("other"))
        Hid_Thread::setNotificationTexts(
            LangStrings::notificationTexts(Hid_Thread::notificationTexts(), texts));
    return texts;
}
