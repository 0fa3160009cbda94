#pragma once
// Text in files is Windows-1252 bytes; it becomes Unicode only where it meets a control or a
// file-system name, through this one pair of functions.
#include <QByteArray>
#include <QString>

namespace text {

QString toUnicode(const QByteArray &bytes);
// A character that Windows-1252 cannot hold becomes "?".
QByteArray fromUnicode(const QString &unicode);

} // namespace text
