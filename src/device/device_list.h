#pragma once

#include "device_entry.h"
#include "module_paths.h"

#include <QList>
#include <QString>

class Hid_Thread;

namespace DeviceList {

inline const char *const kDefaultSCode = "SKARN1";

// Reads the configured device list (both paths empty). Entries whose report
// length is not 1..512 are skipped; at most 64 entries are read.
QList<DeviceEntry> read(const QString &path = ModulePaths::globalSettings());

// Fills commandPath/eventPath of every entry from hid_enumerate.
void matchInterfaces(QList<DeviceEntry> &list);

// Finds the mouse: reads and matches the list, hands it to hid, and returns
// the index of the first entry that answers the presence check, or -1. What
// follows a find (or a miss) is the shell's.
int detect(Hid_Thread &hid, const QString &path = ModulePaths::globalSettings());

} // namespace DeviceList
