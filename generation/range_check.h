#pragma once
// The check run when the user leaves one of the twelve range edits, as functions of the texts:
// it keeps every lower bound at most its upper bound, no denominator zero, every bound a
// non-negative number below 10000, and no range that can only produce rejected mixed numbers.

#include "generation/generation_settings.h"

#include <QString>
#include <array>
#include <optional>

namespace zubira {

// The range edits, in the order of their range indexes, lower bound before upper bound.
enum RangeEdit : int32_t {
  EdtMin1i, EdtMax1i, EdtMin1c, EdtMax1c, EdtMin1m, EdtMax1m,
  EdtMin2i, EdtMax2i, EdtMin2c, EdtMax2c, EdtMin2m, EdtMax2m,
};
constexpr int RangeEditCount = 12;
using RangeTexts = std::array<QString, RangeEditCount>;

// The class of an edit, as its tag value tells it.
enum class RangeEditClass : int32_t { IntegerPart = 0, Numerator = -1, Denominator = -2 };

RangeEditClass rangeEditClass(RangeEdit edit);
int rangeIndexOf(RangeEdit edit);  // 0..5
bool isLowerBound(RangeEdit edit);
const char* rangeEditName(RangeEdit edit);  // "EdtMin1i"
RangeTexts defaultRangeTexts();             // "0", "0", "1", "10", "1", "10", ...

// The integer syntax of the edits: an optional "-" or "+", then decimal digits or a hexadecimal
// number after "$", "x" or "0x" (letters in either case); no blanks. Nothing when the text is not
// such a number or does not fit the width.
std::optional<int32_t> parseInt32Text(const QString& text);
std::optional<int64_t> parseInt64Text(const QString& text);

// Blanks (space separators) and control characters removed from both ends.
QString trimRangeText(const QString& text);

struct RangeCheckResult {
  bool accepted = false;
  QString text;     // the text the edit shows when accepted (trimmed, "0" for an empty integer part)
  QString message;  // the message shown when rejected
};

// The checks of one edit's own text: trimming, the empty text, the number, its size, the zero
// denominator.
RangeCheckResult CheckRangeEditText(RangeEdit edit, const QString& text);

// The checks over all twelve texts: each a 64-bit number, lower bounds at most upper bounds, all
// bounds in 0..9999, and the mixed-number ranges (with `fInt` the check mark of
// "問題に整数も含む"). Returns the message of the first failure, or an empty string. `MinV` and
// `MaxV`, when given, receive the parsed values of the texts that parsed.
QString CheckRangeSet(const RangeTexts& texts, bool fInt, RangeBounds* MinV = nullptr,
                      RangeBounds* MaxV = nullptr);

// Leaving an edit: the text of `edit` in `texts` is checked alone, then with the other eleven.
// An empty integer-part edit becomes "0" and still goes through the checks over all twelve, so
// clearing an upper bound below its lower bound is refused.
RangeCheckResult CheckRangeEdit(RangeEdit edit, const RangeTexts& texts, bool fInt);

// The twelve texts as 64-bit numbers into settings.MinV/MaxV; false when one is not a number.
bool ParseRangeTexts(const RangeTexts& texts, GenerationSettings* settings);

// The bounds the generator relies on: MinV[k] <= MaxV[k], all in 0..9999, denominators at least 1.
// Returns the message of the first broken rule, or an empty string.
QString CheckRangeInvariants(const RangeBounds& MinV, const RangeBounds& MaxV);

}  // namespace zubira
