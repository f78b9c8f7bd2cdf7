#pragma once

#include "device_family.h"
#include "dialogs.h"
#include "profile_images.h"
#include "settings_store.h"

#include <QQuickWidget>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>

class Hid_Thread;
class QSettings;

// The widget that shows the scene and the scene's door to settings files
// and the mouse (context property "ui_View"). The slots stay thin: each
// concern lives in its own helper.
class myQQuickView : public QQuickWidget {
    Q_OBJECT
public:
    explicit myQQuickView(QWidget *parent = nullptr);
    ~myQQuickView() override;

    void setHid(Hid_Thread *hid);
    Hid_Thread *hid() const { return m_hid; }

    // Replace the modal dialogs (tests); an empty provider restores them.
    static void setFileDialogProvider(Dialogs::FileProvider provider);
    static void setWarningProvider(Dialogs::WarningProvider provider);

    // The mouse family and flags the global settings gave at start.
    DeviceFamily &family() { return *m_family; }
    const DeviceFamily &family() const { return *m_family; }
    bool family560() const { return m_family->flags().is560(); }
    int currentProfile() const { return m_store.currentProfile(); }
    // nullptr for a number outside 0..4.
    const uchar *profileImage(int number) const { return m_images.image(number); }
    uchar *profileImage(int number) { return m_images.image(number); }

public slots:
    void clearHidBusy();
    void initUI();
    void runUI();
    void resetApconfig();
    bool loadMacroFile(QVariant macroFileName);
    void saveMacroFile(QVariant macroFileName);
    bool loadProfile(int profile);
    void saveProfile(int profile);
    void resetProfile(int profile);
    void copyProfile(int destprofile, int srcprofile);
    QStringList getLangStrings(QString typeStr, QString langCode);
    QVariant createMacroIni(QVariant name, QVariant macroIndex);
    QVariant updataNameList(QVariant type, QStringList nameList);
    QVariant modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname);
    void deleteMacroUpdateProfile(QVariant macroName);
    QVariant deleteMacroIni(QVariant name);
    QVariantList getNameList(QVariant type);
    QVariant saveMacroIni(QVariant name, QStringList macros, QVariant repeat);
    QVariant mouseSendMacroData(QVariantList macroData, QVariant macroIndex);
    QStringList loadMacroIni(QVariant name);
    void mouseSaveGundata(QVariant index, QVariantList src6);
    void mouseSendGundata(int slot, QVariantList data);
    void modifyGundata(int modifyType, QVariantList src6);
    QVariantList getGunData(QVariant name);
    QStringList getGunDataKey();
    QVariant getXYSensitive(QVariant index);
    QVariant getselectGun(QVariant index);
    void setXYSensitive(QVariant index, QVariant xyData);
    void setSelectGun(QVariant index, QVariant xyData);
    void setCurrentProfile(int profile);
    void mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void mouseSetReportRate(uchar rate);
    void mouseSetCurrentDPI(uchar currentDPI);
    void mouseResetKeyMatrix();
    QVariant mouseGetCurrentDPI();
    void mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam);
    void mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray);
    void mouseSetRGBEffect(uchar effect, uchar option1, uchar option2);
    void mouseSetRGBColor(uchar type, QVariantList src24);
    void mouseSetProfile(uint profileNo);
    void mouseReadProfile(uint profileNo);
    QVariant mouseReadCurrentProfile();
    void mouseSwitchKeyMatrix(int indexNo);
    QVariantList GetKeyboardoption();
    void mouseSetCursorSpeed(uint cursorSpeed);
    void mouseSetVerticalScrollLines(uint lines);
    void mouseSetDoubleClickSpeed(uint speed);
    QVariantList mouseGetKeydefine(QVariant index, bool isRecovery);
    void openUpdateExe();
    QVariant getData(QVariant key, bool isRecovery);
    QVariant getGlobalData(QVariant key);
    QVariantList getDataList(QVariant key, bool isRecovery);
    void setData(QVariant key, QVariant data);
    void setGlobalData(QVariant key, QVariant tmpdata);
    void setDataList(QVariant key, QVariantList datalist);
    void setBusy(int busyTime);
    void setCurrentDPI(int dpiValue);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    QList<QSettings *> macroProfiles();
    QList<QVariantList> layerTemplates();
    void invokeRoot(const char *function, Qt::ConnectionType type, const QVariant &arg = QVariant(),
                    bool withArg = false);

    Hid_Thread *m_hid = nullptr;
    SettingsStore m_store; // global, default and the ten profile files
    ProfileImages m_images;
    std::unique_ptr<DeviceFamily> m_family; // decided once, from m_store
};
