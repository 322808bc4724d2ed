#pragma once
// What each built-in preset promises by its name, and a check of problems against it that reads
// the written lines back with exact arithmetic of its own (nothing of the generator, the lesson
// conditions or the preset files is used).

#include "line_oracle.h"

#include <QString>
#include <QStringList>

#include <numeric>
#include <string>
#include <vector>

namespace zubira::testing {

enum class Shape {
  Proper,         // c/m with 0 < c < m
  Mixed,          // I+c/m with I >= 1 and 0 < c < m
  ProperOrMixed,  // either of the two
  Whole,          // a whole number from 2 to 9
  Improper,       // c/m with c > m
  Fraction,       // c/m, proper or improper, never whole
};
enum class Need { Any, Yes, No };
enum class Denominators { Any, Same, Different };
enum class AnswerForm { Improper, Mixed };  // unreduced-looking forms are never allowed

struct Promise {
  const char* id;
  char op;  // '+', '-', '*', '/', 'i' (mixed to improper), 'm' (improper to mixed)
  Shape first, second;
  Denominators denominators = Denominators::Any;
  Need regroup = Need::Any;
  Need reduce = Need::Any;
  Need cancel = Need::Any;
  bool signedOperands = false;  // 中1: either sign; otherwise every value is positive
  AnswerForm answer = AnswerForm::Improper;
  int count = 20;  // problems on one sheet
};

inline const std::vector<Promise>& builtInPromises() {
  using S = Shape;
  static const std::vector<Promise> promises = {
      {"g4-same-add", '+', S::Proper, S::Proper, Denominators::Same, Need::Any, Need::No},
      {"g4-same-sub", '-', S::Proper, S::Proper, Denominators::Same, Need::Any, Need::No},
      {"g4-mixed-add", '+', S::Mixed, S::Mixed, Denominators::Same, Need::Yes, Need::No, Need::Any, false, AnswerForm::Mixed},
      {"g4-mixed-sub", '-', S::Mixed, S::Mixed, Denominators::Same, Need::Yes, Need::No, Need::Any, false, AnswerForm::Mixed},
      {"g4-m2i", 'i', S::Mixed, S::Mixed},
      {"g4-i2m", 'm', S::Improper, S::Improper, Denominators::Any, Need::Any, Need::Any, Need::Any, false, AnswerForm::Mixed},
      {"g5-diff-add", '+', S::Proper, S::Proper, Denominators::Different},
      {"g5-diff-sub", '-', S::Proper, S::Proper, Denominators::Different},
      {"g5-reduce-add", '+', S::Proper, S::Proper, Denominators::Any, Need::Any, Need::Yes},
      {"g5-reduce-sub", '-', S::Proper, S::Proper, Denominators::Any, Need::Any, Need::Yes},
      {"g5-mixed-add", '+', S::Mixed, S::Mixed, Denominators::Different, Need::Any, Need::Any, Need::Any, false, AnswerForm::Mixed},
      {"g5-mixed-sub", '-', S::Mixed, S::Mixed, Denominators::Different, Need::Any, Need::Any, Need::Any, false, AnswerForm::Mixed},
      {"g6-mul-int", '*', S::Proper, S::Whole},
      {"g6-div-int", '/', S::Proper, S::Whole},
      {"g6-mul", '*', S::Proper, S::Proper, Denominators::Any, Need::Any, Need::Any, Need::No},
      {"g6-mul-cancel", '*', S::Proper, S::Proper, Denominators::Any, Need::Any, Need::Any, Need::Yes},
      {"g6-div", '/', S::Proper, S::Proper},
      {"g6-mixed-mul", '*', S::Mixed, S::ProperOrMixed, Denominators::Any, Need::Any, Need::Any, Need::Any, false, AnswerForm::Mixed},
      {"g6-mixed-div", '/', S::Mixed, S::ProperOrMixed, Denominators::Any, Need::Any, Need::Any, Need::Any, false, AnswerForm::Mixed},
      {"j1-add", '+', S::Fraction, S::Fraction, Denominators::Any, Need::Any, Need::Any, Need::Any, true},
      {"j1-sub", '-', S::Fraction, S::Fraction, Denominators::Any, Need::Any, Need::Any, Need::Any, true},
      {"j1-mul", '*', S::Fraction, S::Fraction, Denominators::Any, Need::Any, Need::Any, Need::Any, true},
      {"j1-div", '/', S::Fraction, S::Fraction, Denominators::Any, Need::Any, Need::Any, Need::Any, true},
  };
  return promises;
}

inline const Promise* promiseFor(const QString& id) {
  for (const Promise& p : builtInPromises())
    if (id == QLatin1String(p.id)) return &p;
  return nullptr;
}

namespace oracle_detail {

using I = __int128;

inline I gcd(I a, I b) {
  if (a < 0) a = -a;
  if (b < 0) b = -b;
  while (b != 0) {
    const I r = a % b;
    a = b;
    b = r;
  }
  return a;
}

inline bool shapeHolds(Shape s, const ParsedLine& v) {
  const bool proper = !v.whole_number && !v.mixed && v.num > 0 && v.num < v.den;
  const bool mixed = v.mixed && v.whole >= 1 && v.num > 0 && v.num < v.den;
  switch (s) {
    case Shape::Proper: return proper;
    case Shape::Mixed: return mixed;
    case Shape::ProperOrMixed: return proper || mixed;
    case Shape::Whole: return v.whole_number && v.num >= 2 && v.num <= 9;
    case Shape::Improper: return !v.whole_number && !v.mixed && v.num > v.den;
    case Shape::Fraction: return !v.whole_number && !v.mixed && v.num > 0;
  }
  return false;
}

inline bool holds(Need n, bool property) { return n == Need::Any || (n == Need::Yes) == property; }

}  // namespace oracle_detail

// The problems `lines` ("first\tsecond\tanswer") checked against `p`; one text for each broken
// promise, none when every promise holds.
inline std::vector<std::string> checkPromise(const Promise& p, const QStringList& lines) {
  using namespace oracle_detail;
  std::vector<std::string> broken;
  const auto fail = [&](const QString& line, const char* why) {
    broken.push_back(std::string(p.id) + ": " + why + ": " + line.toStdString());
  };
  if (lines.size() != p.count)
    broken.push_back(std::string(p.id) + ": " + std::to_string(lines.size()) + " problems");
  bool anyNegative = false;
  for (const QString& line : lines) {
    const QStringList parts = line.split(u'\t');
    if (parts.size() < 3) {
      fail(line, "not three columns");
      continue;
    }
    const bool conversion = p.op == 'i' || p.op == 'm';
    const std::optional<ParsedLine> a = parseLine(parts[0]);
    const std::optional<ParsedLine> b = conversion ? std::nullopt : parseLine(parts[1]);
    const std::optional<ParsedLine> c = parseLine(parts[2]);
    if (!a || !c || (!conversion && !b) || (conversion && parts[1] != QLatin1String("="))) {
      fail(line, "unreadable line");
      continue;
    }
    if (!shapeHolds(p.first, *a)) fail(line, "first operand of the wrong shape");
    if (!conversion && !shapeHolds(p.second, *b)) fail(line, "second operand of the wrong shape");
    if (!isReduced(*a) || (b && !isReduced(*b)) || !isReduced(*c)) fail(line, "a fraction not reduced");
    const bool negative = a->sign < 0 || (b && b->sign < 0);
    anyNegative = anyNegative || negative;
    if (!p.signedOperands && (negative || c->sign < 0)) fail(line, "a negative value");

    // The exact answer from the written operands.
    const I n1 = a->n, d1 = a->d;
    const I n2 = b ? b->n : 0, d2 = b ? b->d : 1;
    I n = n1, d = d1;
    switch (p.op) {
      case '+': n = n1 * d2 + n2 * d1; d = d1 * d2; break;
      case '-': n = n1 * d2 - n2 * d1; d = d1 * d2; break;
      case '*': n = n1 * n2; d = d1 * d2; break;
      case '/': n = n1 * d2; d = d1 * n2; break;
      default: break;
    }
    if (d < 0) {
      n = -n;
      d = -d;
    }
    const I g = gcd(n, d);
    if (g == 0 || n / g != c->n || d / g != c->d) fail(line, "wrong answer");
    // The answer's form: a mixed number (or proper or whole) when answers are mixed, else no
    // integer part; a conversion's answer is the other form.
    if (p.answer == AnswerForm::Mixed && !c->whole_number && !c->mixed && c->num > c->den) fail(line, "answer not a mixed number");
    if (p.answer == AnswerForm::Improper && c->mixed) fail(line, "answer written as a mixed number");
    if (p.op == 'i' && !(c->num > c->den && !c->mixed)) fail(line, "answer not an improper fraction");
    if (p.op == 'm' && !c->mixed) fail(line, "answer not a mixed number");

    // The lesson's skill, on the fraction parts as written.
    const bool sameDen = !a->whole_number && b && !b->whole_number && a->den == b->den;
    if (p.denominators == Denominators::Same && !sameDen) fail(line, "denominators differ");
    if (p.denominators == Denominators::Different && (sameDen || a->whole_number || !b || b->whole_number))
      fail(line, "denominators not different");
    if (p.op == '+' || p.op == '-') {
      const I r1 = I(a->num) * b->den, r2 = I(b->num) * a->den, one = I(a->den) * b->den;
      const bool regroups = p.op == '+' ? r1 + r2 >= one : r1 < r2;
      if (!holds(p.regroup, regroups)) fail(line, p.op == '+' ? "carrying not as promised" : "borrowing not as promised");
      // Over the least common denominator, before reducing.
      const I lcd = d1 / gcd(d1, d2) * d2;
      const I N = n1 * (lcd / d1) + (p.op == '+' ? 1 : -1) * n2 * (lcd / d2);
      if (!holds(p.reduce, gcd(N, lcd) > 1)) fail(line, "reducing not as promised");
    }
    if (p.op == '*' || p.op == '/') {
      const bool cancels = p.op == '*' ? gcd(n1, d2) > 1 || gcd(n2, d1) > 1 : gcd(n1, n2) > 1 || gcd(d1, d2) > 1;
      if (!holds(p.cancel, cancels)) fail(line, "cancelling not as promised");
    }
  }
  if (p.signedOperands && !anyNegative) broken.push_back(std::string(p.id) + ": no negative operand on the sheet");
  return broken;
}

}  // namespace zubira::testing
