#pragma once
// Builds a window's controls from its table.
#include "controltable.h"

#include <QFont>

class QWidget;

namespace ui {

// The substitute faces: Liberation Sans for the sans-serif face and Liberation Mono for the
// fixed-pitch one (metric-compatible), with style hints for machines that lack them.
QFont fontFor(const FontSpec &design);

// Sets the window's name, caption, font and fixed client size, creates every control of the
// table at its place and chains the focusable ones in tab-index order.
void buildWindow(QWidget *window, const WindowSpec &design);

} // namespace ui
