#pragma once
// The process's resident memory, read from /proc (Linux), for the memory side of a measure.
#include <QtGlobal>

namespace ProcessMemory {

// Resident set size now, and its peak since the start or the last ResetPeak, in KiB; -1 when unknown.
qint64 ResidentKiB();
qint64 PeakResidentKiB();
// Sets the peak to the current resident size (writes 5 to /proc/self/clear_refs); false when refused.
bool ResetPeak();

} // namespace ProcessMemory
