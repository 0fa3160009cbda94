// The yardsticks for the program's start: an application with one empty window of the main
// window's size, shown the way the program shows its own; with "--faces", the same window
// showing one line in each of the design's two faces, found as the main window finds them: the
// least any window of the design draws.
#include "controls.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char *argv[])
{
    const bool faces = argc > 1 && std::strcmp(argv[1], "--faces") == 0;
    int nameOnly = argc > 0 ? 1 : 0;
    QApplication app(nameOnly, argv);
    const ui::WindowSpec &design = ui::form1Spec();
    QWidget window;
    window.setFixedSize(ui::twipsToPixels(design.clientWidth), ui::twipsToPixels(design.clientHeight));
    if (faces) {
        for (const ui::Face face : {ui::Face::Sans, ui::Face::Fixed}) {
            auto *line = new QLabel(QStringLiteral("Dovrel Mpeg Utility 12/21/2002"), &window);
            line->setFont(ui::fontFor(ui::FontSpec{face, 9.75}));
            line->move(10, face == ui::Face::Fixed ? 40 : 10);
        }
    }
    window.show();
    return app.exec();
}
