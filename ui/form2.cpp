#include "form2.h"

#include "activitylog.h"
#include "codepage.h"
#include "controls.h"

#include <QListWidget>
#include <QPushButton>
#include <QKeyEvent>

namespace ui {

Form2::Form2()
{
    buildWindow(this, form2Spec());
    Log_List = findChild<QListWidget *>(QStringLiteral("Log_List"));
    Command1 = findChild<QPushButton *>(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
}

// Escape does what Close Window does. It reaches the window when the control that has the
// focus leaves it unused, as a dialog's Escape does; unlike a shortcut it needs no active window.
void Form2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Command1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form2::Form_Load()
{
    // A log that cannot be read leaves the rows read so far: at least "Log_List".
    bool opened = false;
    for (const QByteArray &line : session::readAllRecords(&opened))
        Log_List->addItem(text::toUnicode(line));
}

void Form2::Command1_Click() { hide(); }

} // namespace ui
