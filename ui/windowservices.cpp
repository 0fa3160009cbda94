#include "windowservices.h"

#include <QApplication>
#include <QMessageBox>

namespace ui {

const QString kProgramTitle = QStringLiteral("Dovrel Mpeg Utility");

void SystemServices::message(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

void SystemServices::beep() { QApplication::beep(); }

void SystemServices::endProgram() { QCoreApplication::exit(0); }

} // namespace ui
