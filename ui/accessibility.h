#pragma once
// What assistive technology is told about the windows: the windows as windows, the list rows as
// rows that can be ticked, and the boxes' descriptions.
class QLineEdit;

namespace ui {

// Installs the program's accessibility interfaces for its windows and its tick list; harmless
// to call again.
void installAccessibility();

// Text7 shows the hours estimate outside a session and the name of the file being saved
// during one; its description says which.
void describeSavingAs(QLineEdit *box, bool sessionRunning);

// A display box whose text is wider than the box shows the whole text in its tooltip.
void showWholeTextInToolTip(QLineEdit *box);

} // namespace ui
