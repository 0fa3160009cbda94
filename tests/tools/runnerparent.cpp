// Runs the command line it is given through the program's command runner and waits for it, as
// the program does: the test that kills a program mid-run kills this one.
#include "shellandwait.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2)
        return 2;
    return runner::runAndWait(arguments.at(1).toLocal8Bit()).started ? 0 : 1;
}
