// Stand-in for PShell.exe: turns "guide.dat" into the text listing "guide.txt".
// Takes no arguments (exit 2 otherwise). Exit 1, writing nothing, when "guide.dat" is missing
// or is not a guide.
#include "guidedat.h"
#include "simlog.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

using namespace replaysim;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    logCommandLine(args);
    if (args.size() != 1)
        return fail("PShell.exe", QStringLiteral("usage: PShell.exe"), 2);

    QFile in(QStringLiteral("guide.dat"));
    if (!in.open(QIODevice::ReadOnly))
        return fail("PShell.exe", QStringLiteral("guide.dat: ") + in.errorString(), 1);
    QByteArray address;
    QList<Recording> recordings;
    if (!parseGuideDat(in.readAll(), address, recordings))
        return fail("PShell.exe", QStringLiteral("guide.dat is not a recorder guide"), 1);
    in.close();

    // Written under a temporary name and renamed, so a reader never sees half a listing.
    QSaveFile out(QStringLiteral("guide.txt"));
    if (!out.open(QIODevice::WriteOnly))
        return fail("PShell.exe", out.errorString(), 1);
    out.write(guideListing(address, recordings));
    if (!out.commit())
        return fail("PShell.exe", out.errorString(), 1);
    return 0;
}
