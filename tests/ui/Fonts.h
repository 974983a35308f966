#pragma once
// Whether a widget's font lines columns up: every character as wide as every other. Some
// monospaced fonts do not set the fixed-pitch flag, so the widths are what is compared.

#include <QFont>
#include <QFontMetrics>

inline bool LinesUpColumns(const QFont& font) {
    const QFontMetrics m(font);
    return m.horizontalAdvance("iiiiiiiiii") == m.horizontalAdvance("MMMMMMMMMM") &&
           m.horizontalAdvance("..........") == m.horizontalAdvance("WWWWWWWWWW");
}
