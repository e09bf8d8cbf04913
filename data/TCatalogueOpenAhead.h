#pragma once
// A catalogue file opened on a thread of its own while the start builds and shows its windows:
// opening waits mostly on the disk (the file's first pages, its log and shared-memory files),
// building the windows on the processor. The connection that then asks for the same location
// takes the store over, or the error its opening met, as if it had opened the file itself.
#include "data/TCatalogStore.h"

#include <QString>

#include <memory>

namespace TCatalogueOpenAhead {

// Starts opening the catalogue file at location; a catalogue server is left to its connection.
void Start(const QString &location);
// The store opened ahead for exactly this location (its opening's error thrown here), or null when
// none was started for it.
std::unique_ptr<TCatalogStore> Take(const QString &location);
// Waits for an opening nobody took and closes what it opened.
void Discard();

} // namespace TCatalogueOpenAhead
