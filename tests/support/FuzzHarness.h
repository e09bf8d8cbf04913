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

} // namespace FuzzHarness
