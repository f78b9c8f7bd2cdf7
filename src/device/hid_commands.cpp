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

// The opening every command shares: take the token (or log the command's
// failure line and send nothing), build the block, and put copyLength bytes
// of payload into the data buffer, zero-filled up to payloadLength. The
// exchange that follows is the command's own.
bool Hid_Thread::openCommand(const char *failLine, uchar opcode,
                             std::initializer_list<uchar> params, const uchar *payload,
                             int copyLength, int payloadLength) {
    lastExchangeOk = false;
    if (!acquireHid()) {
        failed(failLine);
        return false;
    }
    buildBlock(opcode, params);
    if (payload)
        std::memcpy(dataBuf, payload, static_cast<size_t>(copyLength));
    if (payloadLength > copyLength)
        std::memset(dataBuf + copyLength, 0, static_cast<size_t>(payloadLength - copyLength));
    return true;
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
    if (!openCommand("cmd Failed 00", 0x00, {byte1, byte2, byte3, byte4}))
        return;
    // All zeros, not the challenge: a failed exchange must not pass the check.
    std::memset(replyBuf, 0, sizeof replyBuf);
    readExchange(0);
    byte1 = replyBuf[2];
    byte2 = replyBuf[3];
    byte3 = replyBuf[4];
    byte4 = replyBuf[5];
}

void Hid_Thread::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3,
                                              uchar &byte4) {
    if (!openCommand("cmd Failed 83", 0x83, {}))
        return;
    presetReply(0x83, {byte1, byte2, byte3, byte4});
    readExchange(0);
    byte1 = replyBuf[2];
    byte2 = replyBuf[3];
    byte3 = replyBuf[4];
    byte4 = replyBuf[5];
}

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2) {
    if (!openCommand("cmd Failed 81", 0x81, {}))
        return;
    presetReply(0x81, {byte1, byte2});
    readExchange(0);
    byte1 = replyBuf[2];
    byte2 = replyBuf[3];
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &byte1) {
    if (!openCommand("cmd Failed 82", 0x82, {}))
        return;
    presetReply(0x82, {byte1});
    readExchange(0);
    byte1 = replyBuf[2];
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2) {
    if (!openCommand("cmd Failed 84", 0x84, {byte1}))
        return;
    presetReply(0x84, {byte1, byte2});
    readExchange(0);
    byte1 = replyBuf[2];
    byte2 = replyBuf[3];
}

void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &byte1) {
    if (!openCommand("cmd Failed 8BH", 0x8B, {}))
        return;
    presetReply(0x8B, {byte1});
    readExchange(0);
    byte1 = replyBuf[2];
}

// --- sets without payload ---

void Hid_Thread::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4) {
    if (!openCommand("cmd Failed 03", 0x03, {byte1, byte2, byte3, byte4}))
        return;
    writeExchange(0, false);
    sleepMs(kAfterOptionMs);
}

void Hid_Thread::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4) {
    if (!openCommand("cmd Failed 04", 0x04, {0, byte1, byte2, byte3, byte4}))
        return;
    writeExchange(0, false);
    sleepMs(kAfterOptionMs);
}

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2) {
    if (!openCommand("cmd Failed 01", 0x01, {byte1, byte2}))
        return;
    writeExchange(0, false);
    sleepMs(kAfterOptionMs);
}

void Hid_Thread::hid553_01H_SetReportRate(uchar rate) {
    if (openCommand("cmd Failed 01", 0x01, {rate}))
        writeExchange(0, true);
}

void Hid_Thread::sendPerProfile(uchar opcode, uchar value, const char *failLine) {
    if (!openCommand(failLine, opcode, {1, value}))
        return;
    // The token stays taken across all blocks so that nothing started from
    // the event processing in between can slip into the sequence.
    holdToken = true;
    bool allOk = true;
    for (uchar p = 1; p <= 4; ++p) {
        if (p > 1)
            buildBlock(opcode, {p, value});
        allOk = writeExchange(0, true) && allOk;
        if (flagIsGun)
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
    if (openCommand("cmd Failed 0B", 0x0B, {stage}))
        writeExchange(0, true);
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile) {
    if (!openCommand("cmd Failed 02", 0x02, {profile}))
        return;
    writeExchange(0, false);
    sleepMs(kAfterOptionMs);
}

void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix) {
    if (openCommand("cmd Failed 02", 0x02, {currentKeyMatrix}))
        writeExchange(0, true);
}

void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2) {
    if (openCommand("cmd Failed 0D", 0x0D, {effect, option1, option2}))
        writeExchange(0, true);
}

void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *src3) {
    if (openCommand("cmd Failed 0C", 0x0C, {src3[0], src3[1], src3[2]}))
        writeExchange(0, true);
}

// --- sets with payload ---

void Hid_Thread::hid553_10H_SetLED8StageColor(uchar type, uchar *src24) {
    // Type 2 sends four bytes, every other type all eight colours.
    const uchar n = type == 2 ? 4 : 24;
    if (openCommand("cmd Failed 10", 0x10, {type, n}, src24, n))
        writeExchange(n, true);
}

void Hid_Thread::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8) {
    if (openCommand("cmd Failed 11", 0x11, {dpiStage, 0x08}, src8, 8))
        writeExchange(8, true);
}

void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne) {
    if (openCommand("cmd Failed 12", 0x12, {indexAddOne, 0x40, 0x08}, src64, 64))
        writeExchange(64, true);
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne) {
    // The 560 family takes a matrix in a 128-byte block, the rest zero.
    if (openCommand("cmd Failed 0D", 0x0D, {indexAddOne, 0x80}, src64, 64, 128))
        writeExchange(128, true);
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData) {
    if (openCommand("cmd Failed 0C", 0x0C, {profileData, 0x80}, src128, 128))
        writeExchange(128, true);
}

void Hid_Thread::hid553_13H_SetMacroKey(uchar macroId, uchar *src128) {
    if (openCommand("cmd Failed 13", 0x13, {macroId, 0x80}, src128, 128))
        writeExchange(128, true);
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128) {
    if (openCommand("cmd Failed 0F", 0x0F, {macroId, 0x80}, src128, 128))
        writeExchange(128, true);
}

// --- read with data reports ---

void Hid_Thread::hid560_8CH_readProfile(uchar *src128, uchar profileNo) {
    // The caller's image is the preset: chunks that never arrive keep it.
    if (!openCommand("cmd Failed 8c", 0x8C, {profileNo}, src128, 128))
        return;
    std::memset(replyBuf, 0, sizeof replyBuf);
    readExchange(128);
    std::memcpy(src128, dataBuf, 128);
}
