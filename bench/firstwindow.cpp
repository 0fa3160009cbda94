// Loaded into a started program (LD_PRELOAD) by scripts/bench-startup.sh: ends the program as
// soon as its first window has been exposed and painted, so that a whole process can be timed
// to its first shown window without anything in the program itself.
#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWindow>

#include <unistd.h>

namespace {

class EndAtFirstWindow : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType()
            && static_cast<QWindow *>(watched)->isExposed()) {
            // Queued: the expose is painted and flushed before the program ends.
            QMetaObject::invokeMethod(
                qApp, [] { _exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }
};

void install() { qApp->installEventFilter(new EndAtFirstWindow); }

struct Register
{
    Register() { qAddPreRoutine(install); }
} registerAtLoad;

} // namespace
