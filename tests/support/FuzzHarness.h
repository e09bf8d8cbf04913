#pragma once
// What the fuzz targets run on each input, shared with the regression tests that replay the
// committed corpora and every file of tests/fixtures/bad/. Each function returns an empty string
// when the program kept its promises on the bytes (errors are allowed, they must be TavelinError
// with a message) and otherwise says what it broke. Crashes, leaks and undefined behaviour are
// left to the sanitizers.
#include <QByteArray>
#include <QString>

namespace FuzzHarness {

// A picture file: load, then decode under every option combination at every scale, draw it
// into a thumbnail cell, and check the decoded images against what the header promised.
QString JpegPicture(const QByteArray &bytes);

// A picture slot of a built-in atlas as stored: reverse the transform (checked byte by byte
// against the one-byte definition), load it as a thumbnail does and decode it at 1/8.
QString PictureSlot(const QByteArray &stored);

// A catalogue file: open it, list and search every atlas, read the fields of the listed rows
// and the picture slots of the first entry.
QString CatalogueFile(const QByteArray &bytes);

// The typed input dialog's integer and float conversions, on the bytes as UTF-8 text: what
// ParseInt32 accepts is exactly a decimal 32-bit integer, and a value shown for editing reads
// back (as the dialog's OK does) to the value shown, in the C and a comma-decimal locale.
QString InputValue(const QByteArray &bytes);

} // namespace FuzzHarness
