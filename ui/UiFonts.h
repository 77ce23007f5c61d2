// The fonts of the windows. Each names the original face first and a
// Japanese face of the Debian fonts that stands in for it where the original
// is not installed, so Japanese text never falls back to a face without it.
#pragma once

#include <QFont>

// "Tahoma", 13 pixels: the windows' own font.
QFont FormFont();
// "ＭＳ ゴシック" at the given pixel height: the dialog's notes and row frames.
QFont GothicFont(int PixelSize);
