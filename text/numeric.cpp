#include "numeric.h"

#include "codepage.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace text {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

double radixValue(const std::string &s, std::size_t from, int radix)
{
    double value = 0;
    for (std::size_t i = from; i < s.size() && digitValue(s[i]) < radix; ++i)
        value = value * radix + digitValue(s[i]);
    return value;
}

// Length of the longest prefix of `s` that is a decimal number, 0 when there is none.
std::size_t decimalPrefix(const std::string &s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// An exponent stops growing here: far beyond the range of a double (about 10^-324 to 10^308),
// and far from the ends of a long long.
constexpr long long kExponentLimit = 1000000;

// The exponent's digits after `from` (an optional sign, then digits), held within the limit
// however many digits there are.
long long boundedExponent(const std::string &s, std::size_t from)
{
    bool negative = false;
    if (from < s.size() && (s[from] == '+' || s[from] == '-'))
        negative = s[from++] == '-';
    long long value = 0;
    for (; from < s.size() && isDigit(s[from]); ++from)
        if (value < kExponentLimit)
            value = value * 10 + (s[from] - '0');
    return negative ? -value : value;
}

// For an unsigned number out of the range of a double: whether it is too large (else too
// small), from the place of its first significant digit.
bool overflows(const std::string &number)
{
    const std::size_t e = number.find_first_of("eE");
    const std::string mantissa = number.substr(0, e);
    const long long exponent = e == std::string::npos ? 0 : boundedExponent(number, e + 1);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_not_of("0.");
    if (first == std::string::npos)
        return false; // all zeros: out of range only as too small
    // Digits before the point from the first significant one, or minus the zeros after it.
    const long long place = first < point ? (long long)(point - first)
                                          : -(long long)(first - point - 1);
    return exponent + place > 0; // |exponent| < 10^7 and |place| < the text's length: no overflow
}

} // namespace

double numericValue(const QByteArray &text)
{
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;

    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return std::min(radixValue(s, 2, 16), DBL_MAX); // rather than infinity
        if (s[1] == 'O' || s[1] == 'o')
            return std::min(radixValue(s, 2, 8), DBL_MAX);
        return 0;
    }

    const std::size_t len = decimalPrefix(s);
    if (len == 0)
        return 0;
    const bool negative = s[0] == '-';
    const std::size_t from = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data() + from, s.data() + len, value);
    (void)end;
    if (ec == std::errc::result_out_of_range)
        value = overflows(s.substr(from, len - from)) ? DBL_MAX : 0.0; // rather than infinity
    return negative ? -value : value;
}

QByteArray numberText(double value, const QLocale &locale)
{
    if (std::isnan(value) || value == 0)
        return QByteArray("0");
    if (std::isinf(value))
        value = value < 0 ? -DBL_MAX : DBL_MAX;

    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    // buf holds d.dddddddddddddde±x: 15 significant digits and a decimal exponent.
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    const int intDigits = exponent + 1;
    const QByteArray separator = fromUnicode(locale.decimalPoint());
    QByteArray out;
    if (value < 0)
        out += '-';
    if (intDigits >= int(digits.size())) {
        out += QByteArray::fromStdString(digits);
        out += QByteArray(intDigits - int(digits.size()), '0');
    } else if (intDigits <= 0) {
        out += '0';
        out += separator;
        out += QByteArray(-intDigits, '0');
        out += QByteArray::fromStdString(digits);
    } else {
        out += QByteArray::fromStdString(digits.substr(0, intDigits));
        out += separator;
        out += QByteArray::fromStdString(digits.substr(intDigits));
    }
    return out;
}

} // namespace text
