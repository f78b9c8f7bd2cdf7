#include "hid_thread.h"

#include "secrecy_code.h"

#include <QDebug>
#include <QRandomGenerator>

#include <algorithm>
#include <cstring>

namespace {

// Firmware constant, one byte per block position.
constexpr uchar kScrambleTable[8] = {0x3A, 0xC5, 0x71, 0x0E, 0x9B, 0x58, 0xE2, 0x27};

constexpr uchar nibbleSwap(uchar t) {
    return static_cast<uchar>(((t << 4) | (t >> 4)) & 0xFF);
}

void pairSwap(uchar *b) {
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
}

void failed(const char *line) {
    qDebug().noquote() << line;
}

constexpr int kAfterOptionMs = 8;

} // namespace

uchar *secrecyCode() {
    static uchar code[8] = {};
    return code;
}

void Hid_Thread::USBDataEncryption(uchar *FIFOBuf, uchar *SecrecyCode) {
    uchar *b = FIFOBuf;
    pairSwap(b);
    for (int i = 1; i <= 6; ++i)
        b[i] ^= SecrecyCode[i];
    uchar r[8];
    for (int i = 0; i < 8; ++i)
        r[i] = static_cast<uchar>(((b[i] << 3) | (b[(i + 1) % 8] >> 5)) & 0xFF);
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uchar>((r[i] + nibbleSwap(kScrambleTable[i])) & 0xFF);
}

void Hid_Thread::USBDataDecipher(uchar *FIFOBuf, uchar *SecrecyCode) {
    uchar *b = FIFOBuf;
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uchar>((b[i] - nibbleSwap(kScrambleTable[i])) & 0xFF);
    uchar r[8];
    for (int i = 0; i < 8; ++i)
        r[i] = static_cast<uchar>(((b[i] >> 3) | (b[(i + 7) % 8] << 5)) & 0xFF);
    std::memcpy(b, r, sizeof r);
    for (int i = 1; i <= 6; ++i)
        b[i] ^= SecrecyCode[i];
    pairSwap(b);
}

void Hid_Thread::buildBlock(uchar opcode, std::initializer_list<uchar> params) {
    std::memset(sendBuf, 0, sizeof sendBuf);
    sendBuf[1] = opcode;
    int i = 2;
    for (uchar p : params)
        sendBuf[i++] = p;
    sendBuf[8] = hidCS(sendBuf + 1);
}

void Hid_Thread::presetReply(uchar opcode, std::initializer_list<uchar> values) {
    std::memset(replyBuf, 0, sizeof replyBuf);
    replyBuf[1] = opcode;
    int i = 2;
    for (uchar v : values)
        replyBuf[i++] = v;
}

bool Hid_Thread::chkDeviceIsEnCode(int index) {
    currentIndex = index;
    QRandomGenerator *rng = QRandomGenerator::global();
    const uchar r1 = static_cast<uchar>(rng->generate() & 0xFF);
    const uchar r2 = static_cast<uchar>(rng->generate() & 0xFF);
    const uchar r3 = static_cast<uchar>(rng->generate() & 0xFF);
    const uchar r4 = static_cast<uchar>(rng->generate() & 0xFF);

    DeviceEntry e;
    if (entryAt(index, e) && e.sCode.size() == 6) {
        uchar *code = secrecyCode();
        for (int i = 0; i < 6; ++i)
            code[i + 1] = static_cast<uchar>(e.sCode.at(i).toLatin1());
    }

    uchar b1 = r1, b2 = r2, b3 = r3, b4 = r4;
    lastExchangeOk = false;
    hid553_00H_GetSecrecyCode(b1, b2, b3, b4);
    // Without a completed exchange the challenge merely came back untouched;
    // that proves nothing about the device.
    return lastExchangeOk && b1 == r1 && b2 == r2 && b3 == r3 && b4 == r4;
}

// --- reads with a feature reply ---

void Hid_Thread::hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 00");
        return;
    }
    buildBlock(0x00, {byte1, byte2, byte3, byte4});
    std::memset(replyBuf, 0, sizeof replyBuf);
    readExchange(0);
    byte1 = replyBuf[2];
    byte2 = replyBuf[3];
    byte3 = replyBuf[4];
    byte4 = replyBuf[5];
}

void Hid_Thread::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3,
                                              uchar &byte4) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 83");
        return;
    }
    buildBlock(0x83, {});
    presetReply(0x83, {byte1, byte2, byte3, byte4});
    readExchange(0);
    byte1 = replyBuf[2];
    byte2 = replyBuf[3];
    byte3 = replyBuf[4];
    byte4 = replyBuf[5];
}

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 81");
        return;
    }
    buildBlock(0x81, {});
    presetReply(0x81, {byte1, byte2});
    readExchange(0);
    byte1 = replyBuf[2];
    byte2 = replyBuf[3];
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &byte1) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 82");
        return;
    }
    buildBlock(0x82, {});
    presetReply(0x82, {byte1});
    readExchange(0);
    byte1 = replyBuf[2];
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 84");
        return;
    }
    buildBlock(0x84, {byte1});
    presetReply(0x84, {byte1, byte2});
    readExchange(0);
    byte1 = replyBuf[2];
    byte2 = replyBuf[3];
}

void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &byte1) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 8BH");
        return;
    }
    buildBlock(0x8B, {});
    presetReply(0x8B, {byte1});
    readExchange(0);
    byte1 = replyBuf[2];
}

// --- sets without payload ---

void Hid_Thread::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 03");
        return;
    }
    buildBlock(0x03, {byte1, byte2, byte3, byte4});
    writeExchange(0, false);
    sleepMs(kAfterOptionMs);
}

void Hid_Thread::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 04");
        return;
    }
    buildBlock(0x04, {0, byte1, byte2, byte3, byte4});
    writeExchange(0, false);
    sleepMs(kAfterOptionMs);
}

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 01");
        return;
    }
    buildBlock(0x01, {byte1, byte2});
    writeExchange(0, false);
    sleepMs(kAfterOptionMs);
}

void Hid_Thread::hid553_01H_SetReportRate(uchar rate) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 01");
        return;
    }
    buildBlock(0x01, {rate});
    writeExchange(0, true);
}

void Hid_Thread::sendPerProfile(uchar opcode, uchar value, const char *failLine) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed(failLine);
        return;
    }
    // The token stays taken across all blocks so that nothing started from
    // the event processing in between can slip into the sequence.
    holdToken = true;
    const bool gun = gunFlag();
    bool allOk = true;
    for (uchar p = 1; p <= 4; ++p) {
        buildBlock(opcode, {p, value});
        allOk = writeExchange(0, true) && allOk;
        if (gun)
            break;
    }
    holdToken = false;
    hidIdle = true;
    lastExchangeOk = allOk;
}

void Hid_Thread::hid560_03H_SetReportRate(uchar rate) {
    sendPerProfile(0x03, rate, "cmd Failed 03");
}

void Hid_Thread::hid560_04H_SetCurrentDPI(uchar stage) {
    sendPerProfile(0x04, stage, "cmd Failed 04");
}

void Hid_Thread::hid553_0BH_SetCurrentDPI(uchar stage) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 0B");
        return;
    }
    buildBlock(0x0B, {stage});
    writeExchange(0, true);
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 02");
        return;
    }
    buildBlock(0x02, {profile});
    writeExchange(0, false);
    sleepMs(kAfterOptionMs);
}

void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 02");
        return;
    }
    buildBlock(0x02, {currentKeyMatrix});
    writeExchange(0, true);
}

void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 0D");
        return;
    }
    buildBlock(0x0D, {effect, option1, option2});
    writeExchange(0, true);
}

void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *src3) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 0C");
        return;
    }
    buildBlock(0x0C, {src3[0], src3[1], src3[2]});
    writeExchange(0, true);
}

// --- sets with payload ---

void Hid_Thread::hid553_10H_SetLED8StageColor(uchar type, uchar *src24) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 10");
        return;
    }
    const uchar n = type == 2 ? 4 : 24;
    buildBlock(0x10, {type, n});
    std::memcpy(dataBuf, src24, n);
    writeExchange(n, true);
}

void Hid_Thread::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 11");
        return;
    }
    buildBlock(0x11, {dpiStage, 0x08});
    std::memcpy(dataBuf, src8, 8);
    writeExchange(8, true);
}

void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 12");
        return;
    }
    buildBlock(0x12, {indexAddOne, 0x40, 0x08});
    std::memcpy(dataBuf, src64, 64);
    writeExchange(64, true);
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 0D");
        return;
    }
    buildBlock(0x0D, {indexAddOne, 0x80});
    std::memcpy(dataBuf, src64, 64);
    std::memset(dataBuf + 64, 0, 64);
    writeExchange(128, true);
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 0C");
        return;
    }
    buildBlock(0x0C, {profileData, 0x80});
    std::memcpy(dataBuf, src128, 128);
    writeExchange(128, true);
}

void Hid_Thread::hid553_13H_SetMacroKey(uchar macroId, uchar *src128) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 13");
        return;
    }
    buildBlock(0x13, {macroId, 0x80});
    std::memcpy(dataBuf, src128, 128);
    writeExchange(128, true);
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 0F");
        return;
    }
    buildBlock(0x0F, {macroId, 0x80});
    std::memcpy(dataBuf, src128, 128);
    writeExchange(128, true);
}

// --- read with data reports ---

void Hid_Thread::hid560_8CH_readProfile(uchar *src128, uchar profileNo) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed("cmd Failed 8c");
        return;
    }
    buildBlock(0x8C, {profileNo});
    std::memset(replyBuf, 0, sizeof replyBuf);
    std::memcpy(dataBuf, src128, 128);
    readExchange(128);
    // Chunks that never arrived still hold the caller's bytes.
    std::memcpy(src128, dataBuf, 128);
}
