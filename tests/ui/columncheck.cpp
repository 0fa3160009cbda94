// Checks a picture of the main window's client area with rows in the list: in every whole row
// the quality, duration and date columns start at one x, and the header's "Quality",
// "Duration" and "Date Recorded" start over them. Prints what it measured; exits 1 when a
// column is off, 2 when the picture cannot be read.
//   dovrel-columncheck <picture>
#include "controltable.h"
#include "ink.h"

#include <QCoreApplication>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kRowTolerance = 2;    // pixels at 96 dots per inch
constexpr int kHeaderTolerance = 3;

QRect controlRect(const char *name, qreal ratio)
{
    for (const ui::ControlSpec &c : ui::form1Spec().controls)
        if (std::strcmp(c.name, name) == 0)
            return QRectF(ui::twipsToPixels(c.left) * ratio, ui::twipsToPixels(c.top) * ratio,
                          ui::twipsToPixels(c.width) * ratio, ui::twipsToPixels(c.height) * ratio)
                .toRect();
    return QRect();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dovrel-columncheck <picture>\n");
        return 2;
    }
    const QImage image = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const qreal ratio = image.width() / qreal(ui::twipsToPixels(ui::form1Spec().clientWidth));
    const auto px = [ratio](int pixels) { return int(pixels * ratio + 0.5); };

    // The rows' text: inside the list's frame, right of the tick boxes and left of the
    // scroll bar.
    const QRect list = controlRect("List1", ratio);
    const QRect text = list.adjusted(px(30), px(3), -px(24), -px(3));
    const QList<Run> bands = inkBands(image, text);
    int tallest = 0;
    for (const Run &band : bands)
        tallest = std::max(tallest, band.end - band.start + 1);

    // Starts of the quality, duration and date columns in each whole row. A blank parts the
    // words of a title, six or more part the columns.
    const char *names[] = {"Quality", "Duration", "Date Recorded"};
    QList<int> starts[3];
    for (const Run &band : bands) {
        if (band.end - band.start + 1 < tallest * 3 / 4)
            continue; // a row cut off by the list's edge
        const QList<Run> runs = inkRuns(image, QRect(text.left(), band.start, text.width(),
                                                     band.end - band.start + 1), px(12));
        std::printf("row at y %d:", band.start);
        for (int column = 0; column < 3; ++column) {
            const qsizetype at = runs.size() - 3 + column;
            // A title that fills its column runs into the quality; that row has no quality start.
            if (at < (column == 0 ? 1 : 0))
                continue;
            starts[column].append(runs[at].start);
            std::printf(" %s %d", names[column], runs[at].start);
        }
        std::printf("\n");
    }

    const QList<Run> header = inkRuns(image, controlRect("Label3", ratio), px(2));
    bool ok = true;
    for (int column = 0; column < 3; ++column) {
        if (starts[column].size() < 2) {
            std::printf("%s: fewer than two rows measured\n", names[column]);
            ok = false;
            continue;
        }
        const auto [low, high] = std::minmax_element(starts[column].begin(), starts[column].end());
        // The header name that starts nearest the column.
        int nearest = -1;
        for (const Run &run : header)
            if (nearest < 0 || std::abs(run.start - *low) < std::abs(nearest - *low))
                nearest = run.start;
        const bool rowsOk = *high - *low <= px(kRowTolerance);
        const bool headerOk = nearest >= 0 && std::abs(nearest - *low) <= px(kHeaderTolerance);
        std::printf("%s: rows %d to %d (%s), header %d (%+d) (%s)\n", names[column], *low, *high,
                    rowsOk ? "ok" : "OFF", nearest, nearest - *low, headerOk ? "ok" : "OFF");
        ok = ok && rowsOk && headerOk;
    }
    std::printf("%s\n", ok ? "columns line up" : "columns are off");
    return ok ? 0 : 1;
}
