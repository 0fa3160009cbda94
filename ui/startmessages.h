#pragma once
// What the program says at start-up, before its window opens.
#include "activitylog.h"
#include "folderlock.h"

#include <QString>

namespace ui {

// The message for a folder lock that was not taken; empty when it was.
QString folderLockMessage(const session::FolderLockResult &lock);

// What the next start says of a pull that a copy which did not end normally left cut off.
QString cutOffMessage(const session::CutOffPull &cut);

} // namespace ui
