#pragma once
// Byte-level changes to JPEG files for damaged-picture fixtures: forged sizes, cut data, missing
// tables, repeated scans.
#include <QByteArray>

namespace JpegSurgery {

// Offset of the first marker FF xx with xx == code (markers only, not entropy-coded data); -1 if none.
qsizetype FindMarker(const QByteArray &jpeg, unsigned char code);
// Offset of the start-of-frame marker (SOF0/SOF1/SOF2, and the arithmetic-coded SOF9/SOF10).
qsizetype FindFrame(const QByteArray &jpeg);
// The same bytes with the frame header claiming width x height.
QByteArray WithForgedSize(const QByteArray &jpeg, int width, int height);
// The first n bytes.
QByteArray CutAt(const QByteArray &jpeg, qsizetype n);
// Offset just past the first scan header (where the entropy-coded data starts).
qsizetype ScanDataStart(const QByteArray &jpeg);
// The quantization table 0 renamed to table 3: the header still reads, decoding then fails.
QByteArray WithoutQuantTable0(const QByteArray &jpeg);
// A progressive JPEG with its last scan (SOS and its data) repeated until it has `scans` scans.
QByteArray WithRepeatedLastScan(const QByteArray &jpeg, int scans);
// Number of scans (SOS markers).
int CountScans(const QByteArray &jpeg);

} // namespace JpegSurgery
