#pragma once

#include "device_entry.h"

#include <QList>
#include <QString>

class Hid_Thread;

namespace DeviceList {

inline const char *const kGlobalSettingsPath = "./modules/setting/apConfig.bin";
inline const char *const kDefaultSCode = "SKARN1";

// Reads the configured device list (both paths empty). Entries whose report
// length is not 1..512 are skipped; at most 64 entries are read.
QList<DeviceEntry> read(const QString &path = QString::fromLatin1(kGlobalSettingsPath));

// Fills commandPath/eventPath of every entry from hid_enumerate.
void matchInterfaces(QList<DeviceEntry> &list);

// Steps 1-5 of detection without the connect/disconnect sequences: reads and
// matches the list, hands it to hid, and returns the index of the first
// entry that answers the presence check, or -1.
int detect(Hid_Thread &hid, const QString &path = QString::fromLatin1(kGlobalSettingsPath));

} // namespace DeviceList
