#include "controltable.h"

namespace ui {

namespace {

constexpr FontSpec mss(double points, bool bold = false, bool italic = false)
{
    return FontSpec{Face::Sans, points, bold, italic};
}

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kLabelLeft = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kLabelCentre = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kLabelRight = Qt::AlignRight | Qt::AlignTop;

// The list's column header: its runs of blanks place the column names over the row columns.
constexpr const char *kListHeader =
    "     Show      /      Title"
    "                                                                      "
    "Quality          Duration       Date Recorded";

} // namespace

const WindowSpec &form1Spec()
{
    static const WindowSpec design{
        "Form1", "Dovrel Mpeg Utility", 12975, 7200, mss(8.25),
        {
            // name, kind, in, caption, left, top, width, height, tab, font, align, tooltip, accessible
            {"Label1", Kind::Label, nullptr, "Dovrel Mpeg Utility", 2273, 240, 7935, 615, 7, mss(24, true, true), kLabelCentre, "", ""},
            {"Label11", Kind::Label, nullptr, "Ver. 1.3", 10320, 600, 855, 255, 23, mss(8.25), kLabelLeft, "Version 1.3.0 build 11", ""},
            {"Label3", Kind::ColumnHeader, nullptr, kListHeader, 1020, 1200, 10935, 255, 8, mss(12), kLabelLeft, "", ""},
            {"List1", Kind::TickList, nullptr, "", 960, 1680, 10935, 2220, 6, FontSpec{Face::Fixed, 8.25, false, false}, kLeft, "", "Shows"},
            {"Label2", Kind::Label, nullptr, "Date List Created", 840, 4320, 1935, 255, 19, mss(9.75), kLabelRight, "", ""},
            {"Text1", Kind::DisplayBox, nullptr, "", 2880, 4290, 1335, 360, 15, mss(9.75), kCentre, "", "Date List Created"},
            {"Label4", Kind::Label, nullptr, "Files Available", 960, 4680, 1815, 255, 20, mss(9.75), kLabelRight, "", ""},
            {"Text2", Kind::DisplayBox, nullptr, "", 2880, 4650, 495, 360, 16, mss(9.75), kCentre, "", "Files Available"},
            {"Label5", Kind::Label, nullptr, "Tagged for Download", 720, 5040, 2055, 255, 21, mss(9.75), kLabelRight, "", ""},
            {"Text5", Kind::DisplayBox, nullptr, "0", 2880, 5010, 495, 360, 17, mss(9.75), kCentre, "", "Tagged for Download"},
            {"Label6", Kind::Label, nullptr, "Est.  Download  Left", 600, 5400, 2175, 255, 22, mss(9.75), kLabelRight, "", ""},
            {"Text6", Kind::DisplayBox, nullptr, "", 2880, 5370, 1455, 360, 18, mss(9.75), kLeft, "", "Est. Download Left Bytes"},
            {"Label7", Kind::Label, nullptr, "Bytes", 4560, 5400, 735, 255, 14, mss(9.75), kLabelLeft, "", ""},
            {"GetGuide", Kind::Button, nullptr, "Get Guide", 960, 6000, 975, 615, 3, mss(9.75), kCentre, "Get Guide Info.", ""},
            {"Extract", Kind::Button, nullptr, "Extract Mpeg(s)", 2220, 6000, 975, 615, 4, mss(9.75), kCentre, "Off-load selected Titles", ""},
            {"LogView", Kind::Button, nullptr, "View Log", 3480, 6000, 975, 615, 0, mss(9.75), kCentre, "View Program Log", ""},
            {"Quit", Kind::Button, nullptr, "Exit", 4680, 6000, 975, 615, 5, mss(9.75), kCentre, "Quit program", ""},
            {"Frame2", Kind::Frame, nullptr, "Parameters", 6360, 4200, 5775, 1335, 11, mss(9.75, true), kLeft, "", ""},
            {"Label9", Kind::Label, "Frame2", "IP Address", 240, 375, 1215, 285, 13, mss(9.75), kLabelCentre, "", ""},
            {"IPAddress", Kind::TextBox, "Frame2", "", 1560, 360, 1575, 360, 1, mss(9.75), kLeft, "", "IP Address"},
            {"Label10", Kind::Label, "Frame2", "Delay", 3480, 375, 615, 285, 12, mss(9.75), kLabelCentre, "blank = ReplayPC default", ""},
            {"Text9", Kind::TextBox, "Frame2", "", 4200, 360, 975, 360, 2, mss(9.75), kLeft, "Blank = ReplayPC Default", "Delay"},
            {"Check1", Kind::TickBox, "Frame2", "Use ReplayPC Default Delay", 2280, 840, 3015, 360, 24, mss(9.75), kLeft, "", "Use ReplayPC Default Delay"},
            {"Frame1", Kind::Frame, nullptr, "Status", 6360, 5640, 5775, 1335, 9, mss(9.75, true), kLeft, "", ""},
            {"Label8", Kind::Label, "Frame1", "Saving As:", 120, 840, 1095, 255, 10, mss(9.75), kLabelCentre, "", ""},
            {"Text3", Kind::DisplayBox, nullptr, "", 6600, 6000, 2295, 285, 25, mss(8.25), kLeft, "", "Status"},
            {"Text4", Kind::DisplayBox, nullptr, "", 9000, 6000, 2895, 285, 26, mss(9.75), kLeft, "", "Recorder File"},
            {"Text7", Kind::DisplayBox, nullptr, "", 7560, 6480, 4335, 285, 27, mss(8.25), kLeft, "", "Saving As"},
        }};
    return design;
}

const WindowSpec &form2Spec()
{
    static const WindowSpec design{
        "Form2", "Log View", 9075, 4755, mss(9.75),
        {
            {"Label1", Kind::Label, nullptr, "Dovrel Mpeg Utility Log", 1440, 240, 6135, 495, 1, mss(18, true, true), kLabelCentre, "", ""},
            {"Log_List", Kind::PlainList, nullptr, "Log_List", 600, 960, 7695, 2940, 0, mss(9.75), kLeft, "", "Log"},
            {"Command1", Kind::Button, nullptr, "Close Window", 720, 4080, 1455, 495, 2, mss(9.75), kCentre, "", ""},
        }};
    return design;
}

} // namespace ui
