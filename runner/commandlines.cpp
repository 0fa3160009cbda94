#include "commandlines.h"

#include "numeric.h"

namespace runner {

QByteArray fetchGuideCommand(const QByteArray &address)
{
    return QByteArray("ReplayPC ") + address + QByteArray(" -g");
}

QByteArray convertGuideCommand()
{
    return QByteArray("PShell.exe");
}

QByteArray extractCommand(const QByteArray &address, const QByteArray &recorderFileName,
                          const QByteArray &delaySetting)
{
    QByteArray line = QByteArray("ReplayPC ") + address + QByteArray(" -e ") + recorderFileName;
    // Only the exact word leaves the pace to the tool; anything else, "default" included, is
    // read as a number.
    if (delaySetting != QByteArray("Default"))
        line += ' ' + text::numberText(text::numericValue(delaySetting));
    return line;
}

} // namespace runner
