#include "simlog.h"

#include <cstdio>

#include <QFile>
#include <QFileInfo>

namespace replaysim {

QString escapeForLog(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        default: out += c;
        }
    }
    return out;
}

void logCommandLine(const QStringList &arguments)
{
    const QString path = qEnvironmentVariable("REPLAYSIM_LOG");
    if (path.isEmpty() || arguments.isEmpty())
        return;
    QString line = escapeForLog(QFileInfo(arguments.first()).fileName());
    for (qsizetype i = 1; i < arguments.size(); ++i)
        line += QLatin1Char('\t') + escapeForLog(arguments.at(i));
    line += QLatin1Char('\n');
    QFile log(path);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(line.toUtf8());
}

int fail(const char *tool, const QString &message, int code)
{
    std::fprintf(stderr, "%s: %s\n", tool, qPrintable(message));
    return code;
}

} // namespace replaysim
