#include "myqquickview.h"

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

myQQuickView::myQQuickView(QWidget *parent) : QQuickWidget(parent) {
    QSettings &g = m_store.global();
    isColorful = g.value(QStringLiteral("mouse/isColorful"), QVariant()).toBool();
    isGun = g.value(QStringLiteral("mouse/isGun"), QVariant()).toBool();
    icType = g.value(QStringLiteral("mouse/icType"), QVariant()).toString();
    is55328 = g.value(QStringLiteral("mouse/is55328"), QVariant()).toBool();
}

myQQuickView::~myQQuickView() = default;

void myQQuickView::setHid(Hid_Thread *hid) {
    m_hid = hid;
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
    // The device reader calls this from its pool thread.
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

void myQQuickView::sendImages(int first, int last) {
    for (int n = first; n <= last; ++n)
        m_hid->hid560_0CH_setProfile(m_images.image(n), uchar(n));
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
    KeyMatrix::Matrix m1 = KeyMatrix::buildMatrix(src64, f560);
    if (!KeyMatrix::hasGunSwitch(m1)) {
        if (f560)
            m_hid->hid560_0DH_SetKeyMatrix(m1.data(), 1);
        else
            m_hid->hid553_12H_SetKeyMatrix(m1.data(), 1);
        return;
    }

    KeyMatrix::GunLayers g = KeyMatrix::buildGunLayers(
        m1, KeyMatrix::templateMatrix(layerTemplates()), otherParam, f560);
    if (f560) {
        if (g.layerMask >= 0)
            m_images.image(0)[2] = uchar(g.layerMask);
        m_hid->hid560_0CH_setProfile(m_images.image(0), 0);
        for (int l = 0; l < 4; ++l)
            m_hid->hid560_0DH_SetKeyMatrix(g.matrices[l].data(), uchar(l + 1));
        m_hid->hid560_02H_SetCurrentProfile(1);
    } else {
        for (int l = 0; l < 4; ++l)
            m_hid->hid553_12H_SetKeyMatrix(g.matrices[l].data(), uchar(l + 1));
        m_hid->hid553_02H_SetCurrentKeyMatrix(1);
    }
}

void myQQuickView::mouseResetKeyMatrix() {
    if (!m_hid)
        return;
    KeyMatrix::Matrix t = KeyMatrix::templateMatrix(layerTemplates());
    for (uchar n = 2; n <= 4; ++n) {
        if (family560())
            m_hid->hid560_0DH_SetKeyMatrix(t.data(), n);
        else
            m_hid->hid553_12H_SetKeyMatrix(t.data(), n);
    }
}

void myQQuickView::mouseSwitchKeyMatrix(int indexNo) {
    if (!m_hid)
        return;
    if (family560())
        m_hid->hid560_02H_SetCurrentProfile(uchar(indexNo & 0xFF));
    else
        m_hid->hid553_02H_SetCurrentKeyMatrix(uchar((indexNo - 1) & 0xFF));
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
    if (!m_hid)
        return;
    if (family560())
        m_hid->hid560_03H_SetReportRate(rate);
    else
        m_hid->hid553_01H_SetReportRate(rate);
}

void myQQuickView::mouseSetCurrentDPI(uchar currentDPI) {
    if (!m_hid)
        return;
    if (family560())
        m_hid->hid560_04H_SetCurrentDPI(currentDPI);
    else
        m_hid->hid553_0BH_SetCurrentDPI(currentDPI);
}

QVariant myQQuickView::mouseGetCurrentDPI() {
    if (!m_hid)
        return 0;
    if (family560()) {
        uchar byte1 = 1, byte2 = 0;
        m_hid->hid560_84H_GetCurrentDPI(byte1, byte2);
        return int(byte2);
    }
    uchar byte1 = 0;
    m_hid->hid553_8BH_GetCurrentDPI(byte1);
    return int(byte1);
}

void myQQuickView::mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray) {
    if (!m_hid)
        return;
    const DpiCodes::StageCodes c = DpiCodes::convert(dpiValueArray, sensorType);
    if (family560()) {
        const uchar mask = DpiCodes::stageMask(dpiCount);
        for (int n = 1; n <= 4; ++n)
            DpiCodes::writeToImage(m_images.image(n), c, mask);
        sendImages(1, isGun ? 4 : 1);
    } else {
        auto codes = DpiCodes::codesFor553(c, dpiCount);
        m_hid->hid553_11H_SetDPISet(uchar(dpiCount & 0xFF), codes.data());
    }
}

void myQQuickView::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2) {
    if (!m_hid)
        return;
    const bool f560 = family560();
    if (isColorful) {
        const Lighting::EffectBytes b = Lighting::colourEffect(effect, option1, option2);
        if (!f560) {
            m_hid->hid553_0DH_SetRGBLedEffect(b.effect, b.value, b.option);
            return;
        }
        for (int n = 1; n <= 4; ++n) {
            uchar *img = m_images.image(n);
            img[71] = b.effect, img[72] = b.value, img[73] = b.option;
        }
        sendImages(1, isGun ? 4 : 1);
        return;
    }

    const Lighting::EffectBytes b = Lighting::singleColourEffect(effect, option1, option2);
    if (!f560) {
        m_hid->hid553_0DH_SetRGBLedEffect(b.effect, b.value, is55328 ? b.option : 2);
        return;
    }
    for (int n = 1; n <= 4; ++n) {
        uchar *img = m_images.image(n);
        img[71] = b.effect, img[72] = b.value, img[73] = 2;
    }
    if (isGun) {
        sendImages(1, 4);
    } else {
        m_images.image(1)[73] = 3;
        sendImages(1, 1);
    }
}

void myQQuickView::mouseSetRGBColor(uchar type, QVariantList src24) {
    if (!m_hid)
        return;
    std::array<uchar, 24> bytes = Lighting::colourBytes(src24);
    if (family560()) {
        if (isColorful) {
            std::copy(bytes.begin(), bytes.end(), m_images.image(0) + 24);
            sendImages(0, 0);
        } else {
            std::copy(bytes.begin(), bytes.end(), m_images.image(1) + 104);
            sendImages(1, 1);
        }
        return;
    }
    if (is55328) {
        if (bytes[21] || bytes[22] || bytes[23])
            m_hid->hid553_10H_SetLED8StageColor(0, bytes.data());
        else
            m_hid->hid553_0CH_SetFixLEDColor(bytes.data());
        return;
    }
    for (int i = 0; i < 2; ++i)
        m_hid->hid553_10H_SetLED8StageColor(type, bytes.data());
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
    MacroFiles::renameInProfiles(macroProfiles(), from, to);
    return MacroFiles::renameFile(from, to);
}

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName) {
    MacroFiles::resetButtonsPlaying(macroProfiles(), m_store.defaults(), macroName.toString());
}

QVariant myQQuickView::mouseSendMacroData(QVariantList macroData, QVariant macroIndex) {
    // The mouse keeps 128 bytes per macro; anything longer would be cut.
    if (macroData.size() > 128)
        return false;
    const uint slot = macroIndex.toUInt() % 256;
    if (slot >= 12 || !m_hid)
        return true;
    std::array<uchar, 128> buffer{};
    for (int i = 0; i < macroData.size(); ++i)
        buffer[i] = uchar(macroData.at(i).toInt() & 0xFF);
    if (family560())
        m_hid->hid560_0FH_SetMacroKey(uchar(slot + 1), buffer.data());
    else
        m_hid->hid553_13H_SetMacroKey(uchar(slot + 1), buffer.data());
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
    if (!isGun || !m_hid || slot < 1 || slot > 3)
        return;
    auto low8 = [&](int i) { return uchar(data.value(i, 0).toUInt() & 0xFF); };
    if (family560()) {
        uchar *img = m_images.image(slot + 1);
        GunPresets::writeToImage(img, data);
        m_hid->hid560_0CH_setProfile(img, uchar(slot + 1));
        return;
    }
    uchar b1 = 0, b2 = 0, b3 = 0, b4 = 0;
    m_hid->hid553_83H_GetKeyboardoption(b1, b2, b3, b4);
    m_hid->hid553_04H_SetGunData(low8(0), low8(1), GunPresets::yFor553(data.value(2, 0), b3),
                                 uchar(slot - 1));
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
