#pragma once
// The log window: reads the activity log once when it is loaded; Close Window only hides it.
#include <QWidget>

class QListWidget;
class QPushButton;

namespace ui {

class Form2 : public QWidget
{
    Q_OBJECT

public:
    // Creates the window with its design-time content (the one row "Log_List").
    Form2();

    // Appends every line of the log to Log_List.
    void Form_Load();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Command1_Click();

    QListWidget *Log_List;
    QPushButton *Command1;
};

} // namespace ui
