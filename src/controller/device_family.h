#pragma once

#include "dpi_codes.h"
#include "key_matrix.h"
#include "lighting.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <array>
#include <memory>

class Hid_Thread;
class ProfileImages;
class QSettings;

// What the global settings say about the mouse, read once at start: later
// changes (a reset of the settings) take effect at the next start.
struct DeviceFlags {
    QString icType;          // "560" selects the 560 family, any other text the 553
    bool isColorful = false; // per-LED colour
    bool isGun = false;      // gun layers and gun slots
    bool is55328 = false;    // a single-colour lighting variant

    bool is560() const { return icType == QLatin1String("560"); }
    static DeviceFlags read(const QSettings &global);
};

// The one place that knows how each family of mice takes a setting: the
// 553 family has a command per setting, the 560 family mostly keeps them in
// its profile images. The view converts the scene's values first; the
// family puts them on the mouse. Without a transport nothing is sent.
class DeviceFamily {
public:
    static std::unique_ptr<DeviceFamily> create(const DeviceFlags &flags, ProfileImages &images);
    virtual ~DeviceFamily() = default;

    const DeviceFlags &flags() const { return m_flags; }
    void setHid(Hid_Thread *hid) { m_hid = hid; }

    // The on-board images to read when the mouse has been found, in order.
    virtual QList<int> imagesReadAtConnect() const = 0;

    virtual void setReportRate(uchar rate) = 0;
    virtual void setCurrentDpi(uchar stage) = 0;
    // The 1-based stage the mouse is on; 0 when it does not answer.
    virtual int currentDpi() = 0;
    virtual void setDpi(const DpiCodes::StageCodes &codes, int dpiCount) = 0;
    virtual void setLightEffect(const Lighting::EffectBytes &bytes) = 0;
    // type: 0 on per-LED colour mice, else 1, as the lighting page passes it.
    virtual void setColours(uchar type, std::array<uchar, 24> bytes) = 0;
    // Key matrix number 1..4 (2..4: the gun layers).
    virtual void setKeyMatrix(KeyMatrix::Matrix matrix, uchar number) = 0;
    // All four matrices of a key matrix with gun switches, then layer 1 on.
    virtual void setGunLayers(KeyMatrix::GunLayers layers) = 0;
    virtual void switchKeyMatrix(int number) = 0;
    // Macro number 1..12, a 128-byte image.
    virtual void setMacro(uchar number, std::array<uchar, 128> image) = 0;
    // Gun slot 1..3 with shots, X, Y.
    virtual void setGunSlot(int slot, const QVariantList &shotsXY) = 0;

protected:
    DeviceFamily(const DeviceFlags &flags, ProfileImages &images)
        : m_flags(flags), m_images(images) {}

    DeviceFlags m_flags;
    ProfileImages &m_images;
    Hid_Thread *m_hid = nullptr;
};
