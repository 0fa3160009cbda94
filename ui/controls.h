#pragma once
// Builds a window's controls from its table.
#include "controltable.h"

#include <QFont>

class QWidget;

namespace ui {

// The face asked for: on Windows the design's own "MS Sans Serif" and "Courier New"; elsewhere
// the substitutes Liberation Sans for the sans-serif face and Liberation Mono for the
// fixed-pitch one (metric-compatible).
QString faceName(Face face);
// The face at the design's size and style, with style hints for machines that lack it.
QFont fontFor(const FontSpec &design);

// Sets the window's name, caption, font and fixed client size, creates every control of the
// table at its place and chains the focusable ones in tab-index order.
void buildWindow(QWidget *window, const WindowSpec &design);

} // namespace ui
