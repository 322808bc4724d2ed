#pragma once
// Reals as the settings file and the dialogs show them: the general format "%g" with at most 15
// significant digits and "." as decimal point, whatever the locale.

#include <QString>
#include <optional>

namespace zubira {

// Fixed notation unless the value is non-zero and below 0.00001 in magnitude or has more than 15
// integer digits; trailing zeros and an unneeded decimal point are dropped ("10", "2.5", "1E-6").
QString formatReal(double value);

// A decimal number: optional sign, digits with an optional "." part, optional exponent; blanks
// around it are allowed. Anything else, and values that are not finite, give nothing.
std::optional<double> parseReal(const QString& text);

}  // namespace zubira
