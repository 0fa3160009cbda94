#pragma once
// Builds a window's controls from its table.
#include "controltable.h"

#include <QFont>
#include <QStringList>

class QWidget;

namespace ui {

// The families asked for a kind of face, best first.
QStringList facesFor(Face face);
// A font at the design's size and style of the face's kind: fixed-pitch for Face::Fixed,
// proportional otherwise, scalable where the machine has such a face. The first of `families`
// that is of that kind, else the system's font of the kind, else an installed face of the kind.
QFont fontFor(const FontSpec &design, const QStringList &families);
inline QFont fontFor(const FontSpec &design) { return fontFor(design, facesFor(design.face)); }

// Sets the window's name, caption, font and fixed client size, creates every control of the
// table at its place and chains the focusable ones in tab-index order.
void buildWindow(QWidget *window, const WindowSpec &design);

} // namespace ui
