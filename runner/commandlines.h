#pragma once
// The command lines that drive the two recorder tools. The address goes in exactly as typed.
#include <QByteArray>

namespace runner {

// "ReplayPC " + address + " -g"
QByteArray fetchGuideCommand(const QByteArray &address);
// "PShell.exe"
QByteArray convertGuideCommand();
// "ReplayPC " + address + " -e " + file name, followed by " " + the delay number unless the
// delay setting is exactly "Default".
QByteArray extractCommand(const QByteArray &address, const QByteArray &recorderFileName,
                          const QByteArray &delaySetting);

} // namespace runner
