#pragma once
// Numbers in command lines: how the reader takes a real or an integer item, and the forms in which
// the emitters write them. The decimal point is always "." whatever the locale.

#include <QString>
#include <optional>

namespace zubira {

// A real: optional leading spaces, an optional sign, decimal digits with an optional "." and
// fraction digits (at least one digit in all), an optional exponent ("E" or "e", optional sign,
// digits), and nothing after it. A value too large for a double does not read; one too small to
// tell from zero reads as zero.
std::optional<double> readReal(QStringView text);

// An integer: optional leading spaces, an optional sign, then decimal digits or hexadecimal digits
// after "$", "x" or "0x" (either case), and nothing after them. Only values within the 32-bit
// signed range read, in either notation ("$7FFFFFFF" reads, "$80000000" does not, "-$80000000"
// does).
std::optional<int> readInteger(QStringView text);

// The 23-character form of coordinates, angles and picture corners: a sign character (blank for
// zero and positive values, "-" for negative ones), the mantissa rounded to 15 significant digits
// as d.dddddddddddddd, "E", the exponent's sign and four exponent digits:
// " 1.25000000000000E+0001". A value that is not finite is written as "NAN", "INF" or "-INF",
// which reads as no number.
QString formatCommandReal(double value);
// The same form appended to `out`.
void appendCommandReal(QString& out, double value);

// The shortest general decimal form with at most 15 significant digits and no trailing zeros
// ("0.5", "2", "1E-6"), as the pen width is written.
QString formatGeneralReal(double value);

}  // namespace zubira
