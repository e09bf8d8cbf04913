#pragma once
// The layouts ask for the Song typeface "宋体"; on this platform it is served by a serif CJK face.
#include <QFont>

// Registers the substitutions; idempotent. The application object calls it, and so do tests.
void InstallFontSubstitutions();
// The layouts' font: "宋体" with the given character height in pixels.
QFont SongFont(int pixelSize = 12);
