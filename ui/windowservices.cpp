#include "windowservices.h"

#include "fitmessage.h"

#include <QApplication>
#include <QMessageBox>

namespace ui {

const QString kProgramTitle = QStringLiteral("Dovrel Mpeg Utility");

void SystemServices::message(QWidget *parent, const QString &text)
{
    const std::unique_ptr<QMessageBox> box = makeMessageBox(parent, text);
    // A box taller than the screen would hide its OK button: such a text shows its start, and
    // the details, which scroll, hold all of it.
    if (!boxFits(parent)(text)) {
        box->setText(fitText(text,
                             QCoreApplication::translate("ui", "The message goes on: Show Details "
                                                               "holds the whole of it."),
                             boxFits(parent, text)));
        box->setDetailedText(text);
    }
    box->exec();
}

void SystemServices::beep() { QApplication::beep(); }

void SystemServices::endProgram() { QCoreApplication::exit(0); }

} // namespace ui
