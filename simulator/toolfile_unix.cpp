#include "toolfile.h"

#include "codepage.h"

#include <QFile>

namespace replaysim {

QByteArray fileNameArgument(int, char **, const QStringList &arguments, int index)
{
    return text::fromUnicode(arguments.at(index));
}

bool writeRecording(const QByteArray &name, const QByteArray &data, QString &error)
{
    QFile file(text::toUnicode(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = file.errorString();
        return false;
    }
    if (file.write(data) != data.size() || !file.flush()) {
        error = file.errorString();
        file.remove();
        return false;
    }
    return true;
}

} // namespace replaysim
