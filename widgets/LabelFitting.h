#pragma once
// The layouts size one-line labels for a Song face whose line box equals its 12-pixel character
// height. The serif CJK face that stands in for it here has a taller line box, which would cut off
// descenders and the tops of tall glyphs; such labels grow to the font's line height around their
// centre line, so the text stays where the layout put it.
class QLabel;

void FitSingleLineLabel(QLabel *label);
