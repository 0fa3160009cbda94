#include "form1.h"
#include "windowservices.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(ui::kProgramTitle);
    ui::Form1 form;
    form.show();
    return app.exec();
}
