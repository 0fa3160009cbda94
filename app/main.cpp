#include "form1.h"
#include "windowservices.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The program takes no command-line options, Qt's own (-platform, -style, ...) included:
    // only the program's name is handed on.
    int nameOnly = argc > 0 ? 1 : 0;
    QApplication app(nameOnly, argv);
    QApplication::setApplicationName(ui::kProgramTitle);
    ui::Form1 form;
    form.show();
    return app.exec();
}
