#include "device_family.h"

#include "gun_presets.h"
#include "profile_images.h"

#include "hid_thread.h"

#include <QSettings>

#include <algorithm>

DeviceFlags DeviceFlags::read(const QSettings &global) {
    DeviceFlags f;
    f.icType = global.value(QStringLiteral("mouse/icType"), QVariant()).toString();
    f.isColorful = global.value(QStringLiteral("mouse/isColorful"), QVariant()).toBool();
    f.isGun = global.value(QStringLiteral("mouse/isGun"), QVariant()).toBool();
    f.is55328 = global.value(QStringLiteral("mouse/is55328"), QVariant()).toBool();
    return f;
}

namespace {

class Family553 final : public DeviceFamily {
public:
    Family553(const DeviceFlags &flags, ProfileImages &images) : DeviceFamily(flags, images) {}

    QList<int> imagesReadAtConnect() const override { return {}; }

    void setReportRate(uchar rate) override {
        if (m_hid)
            m_hid->hid553_01H_SetReportRate(rate);
    }

    void setCurrentDpi(uchar stage) override {
        if (m_hid)
            m_hid->hid553_0BH_SetCurrentDPI(stage);
    }

    int currentDpi() override {
        uchar stage = 0;
        if (m_hid)
            m_hid->hid553_8BH_GetCurrentDPI(stage);
        return stage;
    }

    void setDpi(const DpiCodes::StageCodes &codes, int dpiCount) override {
        if (!m_hid)
            return;
        auto sent = DpiCodes::codesFor553(codes, dpiCount);
        m_hid->hid553_11H_SetDPISet(uchar(dpiCount & 0xFF), sent.data());
    }

    void setLightEffect(const Lighting::EffectBytes &b) override {
        if (!m_hid)
            return;
        // Single-colour mice other than the 55328 variant take option 2.
        const uchar option = m_flags.isColorful || m_flags.is55328 ? b.option : 2;
        m_hid->hid553_0DH_SetRGBLedEffect(b.effect, b.value, option);
    }

    void setColours(uchar type, std::array<uchar, 24> bytes) override {
        if (!m_hid)
            return;
        if (m_flags.is55328) {
            // This variant takes the eight-colour command only when colour 8
            // is set, and otherwise colour 1 as its fixed colour.
            if (bytes[21] || bytes[22] || bytes[23])
                m_hid->hid553_10H_SetLED8StageColor(0, bytes.data());
            else
                m_hid->hid553_0CH_SetFixLEDColor(bytes.data());
            return;
        }
        for (int i = 0; i < 2; ++i)
            m_hid->hid553_10H_SetLED8StageColor(type, bytes.data());
    }

    void setKeyMatrix(KeyMatrix::Matrix matrix, uchar number) override {
        if (m_hid)
            m_hid->hid553_12H_SetKeyMatrix(matrix.data(), number);
    }

    void setGunLayers(KeyMatrix::GunLayers layers) override {
        if (!m_hid)
            return;
        for (int l = 0; l < 4; ++l)
            m_hid->hid553_12H_SetKeyMatrix(layers.matrices[l].data(), uchar(l + 1));
        m_hid->hid553_02H_SetCurrentKeyMatrix(1);
    }

    void switchKeyMatrix(int number) override {
        // This family counts its key matrices from 0.
        if (m_hid)
            m_hid->hid553_02H_SetCurrentKeyMatrix(uchar((number - 1) & 0xFF));
    }

    void setMacro(uchar number, std::array<uchar, 128> image) override {
        if (m_hid)
            m_hid->hid553_13H_SetMacroKey(number, image.data());
    }

    void setGunSlot(int slot, const QVariantList &shotsXY) override {
        if (!m_hid)
            return;
        // The mouse says in its options whether Y runs the other way.
        uchar b1 = 0, b2 = 0, b3 = 0, b4 = 0;
        m_hid->hid553_83H_GetKeyboardoption(b1, b2, b3, b4);
        auto low8 = [&](int i) { return uchar(shotsXY.value(i, 0).toUInt() & 0xFF); };
        m_hid->hid553_04H_SetGunData(low8(0), low8(1), GunPresets::yFor553(shotsXY.value(2, 0), b3),
                                     uchar(slot - 1));
    }
};

class Family560 final : public DeviceFamily {
public:
    Family560(const DeviceFlags &flags, ProfileImages &images) : DeviceFamily(flags, images) {}

    QList<int> imagesReadAtConnect() const override {
        if (m_flags.isGun)
            return {0, 1, 2, 3, 4};
        return {0, 1};
    }

    void setReportRate(uchar rate) override {
        if (m_hid)
            m_hid->hid560_03H_SetReportRate(rate);
    }

    void setCurrentDpi(uchar stage) override {
        if (m_hid)
            m_hid->hid560_04H_SetCurrentDPI(stage);
    }

    int currentDpi() override {
        // The query names the profile asked about; the stage comes second.
        uchar profile = 1, stage = 0;
        if (m_hid)
            m_hid->hid560_84H_GetCurrentDPI(profile, stage);
        return stage;
    }

    void setDpi(const DpiCodes::StageCodes &codes, int dpiCount) override {
        if (!m_hid)
            return;
        const uchar mask = DpiCodes::stageMask(dpiCount);
        for (int n = 1; n <= 4; ++n)
            DpiCodes::writeToImage(m_images.image(n), codes, mask);
        sendImages(1, lastProfileImage());
    }

    void setLightEffect(const Lighting::EffectBytes &b) override {
        if (!m_hid)
            return;
        using namespace ProfileLayout;
        // Single-colour mice take option 2 in every image; without gun layers
        // the one profile image sent takes 3.
        const uchar option = m_flags.isColorful ? b.option : 2;
        for (int n = 1; n <= 4; ++n) {
            uchar *img = m_images.image(n);
            img[kLightEffect] = b.effect;
            img[kLightValue] = b.value;
            img[kLightOption] = option;
        }
        if (!m_flags.isColorful && !m_flags.isGun)
            m_images.image(1)[kLightOption] = 3;
        sendImages(1, lastProfileImage());
    }

    void setColours(uchar, std::array<uchar, 24> bytes) override {
        if (!m_hid)
            return;
        using namespace ProfileLayout;
        // Per-LED colours are shared by all layers; a single colour belongs
        // to the normal profile.
        const int number = m_flags.isColorful ? 0 : 1;
        const int at = m_flags.isColorful ? kSharedColours : kSingleColours;
        std::copy(bytes.begin(), bytes.end(), m_images.image(number) + at);
        sendImages(number, number);
    }

    void setKeyMatrix(KeyMatrix::Matrix matrix, uchar number) override {
        if (m_hid)
            m_hid->hid560_0DH_SetKeyMatrix(matrix.data(), number);
    }

    void setGunLayers(KeyMatrix::GunLayers layers) override {
        if (!m_hid)
            return;
        if (layers.layerMask >= 0)
            m_images.image(0)[ProfileLayout::kLayerMask] = uchar(layers.layerMask);
        sendImages(0, 0);
        for (int l = 0; l < 4; ++l)
            m_hid->hid560_0DH_SetKeyMatrix(layers.matrices[l].data(), uchar(l + 1));
        m_hid->hid560_02H_SetCurrentProfile(1);
    }

    void switchKeyMatrix(int number) override {
        // Each key matrix of this family is an on-board profile.
        if (m_hid)
            m_hid->hid560_02H_SetCurrentProfile(uchar(number & 0xFF));
    }

    void setMacro(uchar number, std::array<uchar, 128> image) override {
        if (m_hid)
            m_hid->hid560_0FH_SetMacroKey(number, image.data());
    }

    void setGunSlot(int slot, const QVariantList &shotsXY) override {
        if (!m_hid)
            return;
        // Gun slot s lives in the image of gun layer s + 1.
        uchar *img = m_images.image(slot + 1);
        GunPresets::writeToImage(img, shotsXY);
        m_hid->hid560_0CH_setProfile(img, uchar(slot + 1));
    }

private:
    int lastProfileImage() const { return m_flags.isGun ? 4 : 1; }
    void sendImages(int first, int last) {
        for (int n = first; n <= last; ++n)
            m_hid->hid560_0CH_setProfile(m_images.image(n), uchar(n));
    }
};

} // namespace

std::unique_ptr<DeviceFamily> DeviceFamily::create(const DeviceFlags &flags,
                                                   ProfileImages &images) {
    if (flags.is560())
        return std::make_unique<Family560>(flags, images);
    return std::make_unique<Family553>(flags, images);
}
