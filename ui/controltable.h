#pragma once
// The two windows' controls as data: kind, container, caption, geometry in twips, tab index,
// font and tooltip. One loop builds a window from its table and the tests compare the live
// window with the same table.
#include <Qt>

#include <vector>

namespace ui {

// ColumnHeader: a label whose column names are drawn over the columns of the window's TickList.
enum class Kind { Label, ColumnHeader, TextBox, DisplayBox, Button, TickBox, Frame, TickList, PlainList };
enum class Face { Sans, Fixed }; // the design's faces: "MS Sans Serif" and the fixed-pitch "Courier New"

struct FontSpec
{
    Face face = Face::Sans;
    double points = 8.25;
    bool bold = false;
    bool italic = false;
};

struct ControlSpec
{
    const char *name;
    Kind kind;
    const char *container; // nullptr: the window itself
    const char *caption;   // caption or initial text
    int left, top, width, height; // twips, relative to the container
    int tab;
    FontSpec font;
    Qt::Alignment align;
    const char *tooltip;
    const char *accessibleName; // for inputs and boxes, from their label
};

struct WindowSpec
{
    const char *name;
    const char *caption;
    int clientWidth, clientHeight; // twips
    FontSpec font;
    std::vector<ControlSpec> controls;
};

const WindowSpec &form1Spec();
const WindowSpec &form2Spec();

// 15 twips make one pixel at 96 dots per inch; Qt scales pixels on high-density screens.
constexpr int twipsToPixels(int twips) { return (twips * 2 + 15) / 30; }

} // namespace ui
