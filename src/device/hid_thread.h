#pragma once

#include "device_entry.h"

#include <QFuture>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <functional>
#include <initializer_list>

struct hid_device_;
typedef struct hid_device_ hid_device;

// The one object through which every exchange with the mouse travels.
// Commands run synchronously on the calling (GUI) thread; only the event
// reader runs on a pool thread and talks back through queued signals.
class Hid_Thread : public QObject {
    Q_OBJECT
public:
    explicit Hid_Thread(QObject *parent = nullptr);
    ~Hid_Thread() override; // stops the reader and waits for it

    void setDeviceList(const QList<DeviceEntry> &list);
    QList<DeviceEntry> deviceList() const;

    // Every pause of the transport goes through this; tests install a
    // virtual clock. Default: a real sleep.
    static void setSleeper(std::function<void(int ms)> sleeper);
    static void sleepMs(int ms);

    // The family ("560" or any other text for the 553 family) and the gun
    // flag of the mouse found, given once after detection: the reader's start
    // and the per-profile commands depend on them. Until then: the 553
    // family without the gun feature.
    void setDeviceFlags(const QString &icType, bool isGun);

    // The eight balloon texts for DPI stage changes (program-wide).
    static void setNotificationTexts(const QStringList &texts);
    static QStringList notificationTexts();

    void startDeviceReader(uint index);

    // Whether the last command's exchange with the mouse went through.
    bool lastExchangeSucceeded() const { return lastExchangeOk; }

    // Shared with the shell and the reader thread.
    std::atomic<int> currentIndex{1};
    bool hidIdle = true;
    std::atomic<bool> readerRunning{false};

signals:
    // Emitted from the reader thread; connect with the default (auto)
    // connection so the receivers run on the GUI thread.
    void dpiStageChanged(int stage);
    void balloon(const QString &title, const QString &text);
    void deviceRemoved();

public slots:
    uchar hidCS(uchar *cmd);
    bool chkDeviceIsEnCode(int index);
    void USBDataEncryption(uchar *FIFOBuf, uchar *SecrecyCode);
    void USBDataDecipher(uchar *FIFOBuf, uchar *SecrecyCode);
    void hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    void hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2);
    void hid560_82H_GetCurrentProfile(uchar &byte1);
    void hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2);
    void hid553_8BH_GetCurrentDPI(uchar &byte1);
    void hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2);
    void hid553_01H_SetReportRate(uchar rate);
    void hid560_03H_SetReportRate(uchar rate);
    void hid560_04H_SetCurrentDPI(uchar stage);
    void hid553_0BH_SetCurrentDPI(uchar stage);
    void hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    void hid560_0CH_setProfile(uchar *src128, uchar profileData);
    void hid560_8CH_readProfile(uchar *src128, uchar profileNo);
    void hid560_02H_SetCurrentProfile(uchar profile);
    void hid553_13H_SetMacroKey(uchar macroId, uchar *src128);
    void hid560_0FH_SetMacroKey(uchar macroId, uchar *src128);
    void hid553_11H_SetDPISet(uchar dpiStage, uchar *src8);
    void hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix);
    void hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2);
    void hid553_0CH_SetFixLEDColor(uchar *src3);
    void hid553_10H_SetLED8StageColor(uchar type, uchar *src24);

private:
    hid_device *openCommandDevice(int index);
    hid_device *openEventDevice(int index);
    bool acquireHid();
    void releaseHid();
    void settlePause();
    bool beginExchange(int index, DeviceEntry &e);
    bool writeExchange(int dataLength, bool settle);
    bool readExchange(int dataLength);
    void deviceReader(uint index);

    bool entryAt(int index, DeviceEntry &out) const;
    void clearCommandPath(int index);
    void clearEventPath(int index, const QString &path);
    QString eventPathAt(int index) const;
    void closeCommandDevice();
    void closeEventDevice();
    bool openCommand(const char *failLine, uchar opcode, std::initializer_list<uchar> params,
                     const uchar *payload = nullptr, int copyLength = 0, int payloadLength = 0);
    void buildBlock(uchar opcode, std::initializer_list<uchar> params);
    void presetReply(uchar opcode, std::initializer_list<uchar> values);
    void sendPerProfile(uchar opcode, uchar value, const char *failLine);

    mutable QMutex listMutex;
    QList<DeviceEntry> devices;
    hid_device *commandHandle = nullptr;
    hid_device *eventHandle = nullptr;
    QFuture<void> readerFuture;
    uchar sendBuf[9] = {};
    uchar replyBuf[9] = {};
    uchar dataBuf[512] = {};
    bool flag560 = false;
    bool flagIsGun = false;
    // Whether the last command actually completed its exchange; lets callers
    // tell a real answer from values that were merely handed back.
    bool lastExchangeOk = false;
    // Set while a multi-block command keeps the token across its exchanges.
    bool holdToken = false;
};
