// Preset files as a colleague might mail them: the input is the file's bytes. Reading one gives a
// preset or a refusal that names the file, never a crash; a preset read is one the checks accept,
// and written and read again it is the same recipe.

#include "fuzz/fuzz_support.h"
#include "generation/preset.h"

using namespace zubira;
using zubira::fuzz::check;

namespace {

bool sameRecipe(const Preset& a, const Preset& b) {
  const GenerationSettings& x = a.settings;
  const GenerationSettings& y = b.settings;
  return a.name == b.name && a.grade == b.grade && a.kind == b.kind && a.ranges == b.ranges &&
         a.choices.sign1 == b.choices.sign1 && a.choices.sign2 == b.choices.sign2 &&
         a.choices.random1 == b.choices.random1 && a.choices.random2 == b.choices.random2 &&
         std::tie(x.nRange, x.fJust, x.nJust, x.fZero, x.fOne, x.fTaiBun, x.fKakko, x.fInt, x.rnd_D, x.ExamRowN,
                  x.ExamColN, x.MinV, x.MaxV) ==
             std::tie(y.nRange, y.fJust, y.nJust, y.fZero, y.fOne, y.fTaiBun, y.fKakko, y.fInt, y.rnd_D, y.ExamRowN,
                      y.ExamColN, y.MinV, y.MaxV) &&
         std::tie(x.Lesson.Denominator, x.Lesson.Reduce, x.Lesson.Regroup, x.Lesson.Cancel, x.Lesson.Form) ==
             std::tie(y.Lesson.Denominator, y.Lesson.Reduce, y.Lesson.Regroup, y.Lesson.Cancel, y.Lesson.Form);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::scratchDir();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::InScratchDir inScratch;
  fuzz::writeScratchFile(QStringLiteral("mailed.ini"), QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
  const PresetLoad load = LoadPreset(QStringLiteral("mailed.ini"));
  if (!load.preset) {
    check(load.message.startsWith(QStringLiteral("プリセット「mailed.ini」は読み込めません。\n")) &&
              load.message.size() > 30,
          "a refusal that does not name the file and why", load.message);
    return 0;
  }
  const Preset& p = *load.preset;
  check(load.message.isEmpty(), "a preset read with a message", load.message);
  check(!p.name.trimmed().isEmpty(), "a preset without a name");
  check(p.kind >= pkAdd && p.kind <= pkImproperToMixed, "a kind out of range");
  check(p.settings.ExamRowN >= 1 && p.settings.ExamColN >= 1 && p.settings.ExamRowN * p.settings.ExamColN <= 20,
        "a grid the window refuses");
  for (int k = 0; k < RangeCount; ++k)
    check(p.settings.MinV[size_t(k)] <= p.settings.MaxV[size_t(k)] && p.settings.MinV[size_t(k)] >= 0 &&
              p.settings.MaxV[size_t(k)] < 10000,
          "ranges the generator cannot draw from");
  check(CheckPreset(p).isEmpty(), "a preset read that its own checks refuse", CheckPreset(p));
  check(SavePreset(p, QStringLiteral("again.ini")).isEmpty(), "the preset could not be saved");
  const PresetLoad again = LoadPreset(QStringLiteral("again.ini"));
  check(again.preset.has_value(), "a saved preset was refused", again.message);
  check(sameRecipe(p, *again.preset), "a saved preset read back as another recipe");
  return 0;
}
