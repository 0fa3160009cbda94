#pragma once
// What the program says at start-up, before its window opens.
#include "folderlock.h"

#include <QString>

namespace ui {

// The message for a folder lock that was not taken; empty when it was.
QString folderLockMessage(const session::FolderLockResult &lock);

} // namespace ui
