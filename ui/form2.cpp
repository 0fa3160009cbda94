#include "form2.h"

#include "activitylog.h"
#include "codepage.h"
#include "controls.h"

#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

namespace ui {

Form2::Form2()
{
    buildWindow(this, form2Spec());
    Log_List = findChild<QListWidget *>(QStringLiteral("Log_List"));
    auto *command1 = findChild<QPushButton *>(QStringLiteral("Command1"));
    connect(command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    // Escape does what Close Window does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, command1,
            &QPushButton::click);
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
