// Outside Windows the files and tools this program meets carry Windows-1252, whatever the
// system's locale says.
#include "codepagetable.h"

namespace text::detail {

ByteTable systemTable() { return windows1252(); }

unsigned systemMultiBytePage() { return 0; }

} // namespace text::detail
