#pragma once
// How the process's allocator treats picture-sized memory (a few MiB: a picture's bytes as read from
// a catalogue, its decoded rows). Called once at start, before such memory is first asked for.
namespace PictureMemory {

// Memory a picture leaves behind is kept for the next one. With the C library's defaults each
// buffer of a few MiB is a mapping of its own, returned when freed, so every page of the next
// picture's buffer faults in afresh (a strip from a catalogue server copies its seven pictures
// three times on the way: a third of the strip's time went to those faults). What is kept is
// bounded: buffers up to 32 MiB come from the heap, and at most 64 MiB freed at its top stay.
void KeepForReuse();

} // namespace PictureMemory
