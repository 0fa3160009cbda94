#pragma once
// The numeric value of a text and the number text of a double, the same in every locale except
// for the decimal separator that a fractional number text uses.
#include <QByteArray>
#include <QLocale>

namespace text {

// Blanks, tabs and line feeds are ignored anywhere. Reads an optionally signed decimal number
// with a point and an optional exponent, or &H hexadecimal / &O octal digits, and stops at the
// first character that cannot continue it; a text that does not begin with a number gives 0.
double numericValue(const QByteArray &text);

// At most 15 significant digits, no grouping, no exponent; whole numbers as their digits alone,
// fractions with the locale's decimal separator.
QByteArray numberText(double value, const QLocale &locale = QLocale());

} // namespace text
