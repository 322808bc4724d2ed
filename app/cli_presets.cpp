#include "app/cli_presets.h"

#include "app/cli_support.h"
#include "generation/grid_check.h"
#include "platform/ini_file.h"

#include <QFileInfo>

namespace zubira {

PresetLibrary commandPresetLibrary(const QString& settingsPath) {
  return LoadPresetLibrary(BuiltInPresetFolder(),
                           UserPresetFolder(settingsPath.isEmpty() ? defaultSettingsPath() : settingsPath));
}

void addPresetOptions(CommandLine& line) {
  line.add({QStringLiteral("preset")},
           QStringLiteral("Start from a preset: the id of a built-in preset or of yours (zubira presets lists "
                          "them) or a preset file. Its kind, ranges, signs, stepping, options, conditions and "
                          "grid are taken; the other options given override them."),
           QStringLiteral("ID|FILE"));
  line.add({QStringLiteral("mix")},
           QStringLiteral("Make a mixed set: COUNT problems of each preset in turn, each made with its own "
                          "preset (ID or file), on the grid of the settings and --rows/--cols (at most its "
                          "cells in all). `make` then prints each line after the kind's name (add, sub, mul, "
                          "div, m2i, i2m) and a tab."),
           QStringLiteral("ID:COUNT,..."));
  line.add({QStringLiteral("shuffle")}, QStringLiteral("With --mix: shuffle the problems of the set."));
}

namespace {

// The value of a preset named on the command line; the message when there is none.
std::optional<Preset> resolve(const PresetLibrary& lib, const QString& idOrFile) {
  PresetLoad load = ResolvePreset(lib, idOrFile);
  if (!load.preset) {
    QString message = load.message;
    if (!lib.find(idOrFile) && !QFileInfo::exists(idOrFile))
      message += QStringLiteral("（zubira presets で一覧が見られます）");
    printTo(stderr, message + u'\n');
  }
  return load.preset;
}

}  // namespace

int readPresetOptions(const CommandLine& line, ProblemOptions* o) {
  const bool mix = line.isSet(QStringLiteral("mix"));
  const bool preset = line.isSet(QStringLiteral("preset"));
  if (line.isSet(QStringLiteral("shuffle")) && !mix) return line.fail(QStringLiteral("--shuffle needs --mix"));
  if (!mix && !preset) return ExitOk;
  if (mix && preset)
    return line.fail(QStringLiteral("--preset does not go with --mix: each preset of the mix makes its own problems"));
  const PresetLibrary lib = commandPresetLibrary(line.value(QStringLiteral("settings")));
  if (preset) {
    const std::optional<Preset> p = resolve(lib, line.value(QStringLiteral("preset")));
    if (!p) return ExitUsage;
    o->preset = p;
    o->kind = p->kind;
    o->ranges = p->ranges;
    o->hooks.choices = p->choices;
    return ExitOk;
  }
  for (const char* name : {"kind", "ranges", "sign1", "sign2", "step1", "step2", "denominators", "reduce", "regroup", "cancel", "fractions"})
    if (line.isSet(QLatin1String(name)))
      return line.fail(QStringLiteral("--%1 does not go with --mix: each preset of the mix sets its own").arg(QLatin1String(name)));
  MixedSet set;
  set.shuffle = line.isSet(QStringLiteral("shuffle"));
  for (const QString& item : line.value(QStringLiteral("mix")).split(u',')) {
    const qsizetype colon = item.lastIndexOf(u':');
    const QString id = item.left(colon).trimmed();
    if (colon < 0 || id.isEmpty()) return line.fail(QStringLiteral("--mix: \"%1\" is not ID:COUNT").arg(item));
    const std::optional<int32_t> count = parseInt32Text(item.mid(colon + 1).trimmed());
    if (!count || *count < 1 || *count > MaxGridProblems)
      return line.fail(QStringLiteral("--mix: \"%1\": the count must be a number from 1 to %2").arg(item).arg(MaxGridProblems));
    const std::optional<Preset> p = resolve(lib, id);
    if (!p) return ExitUsage;
    set.sections.push_back({*p, *count});
  }
  o->mix = std::move(set);
  return ExitOk;
}

void applyPresetSettings(const ProblemOptions& o, MainSettings* sheet, GenerationSettings* gen) {
  if (!o.preset) return;
  const GenerationSettings& p = o.preset->settings;
  gen->nRange = p.nRange;
  gen->fJust = p.fJust;
  gen->nJust = p.nJust;
  gen->fZero = p.fZero;
  gen->fOne = p.fOne;
  gen->fTaiBun = p.fTaiBun;
  gen->fKakko = p.fKakko;
  gen->fInt = p.fInt;
  gen->rnd_D = p.rnd_D;
  gen->ExamRowN = p.ExamRowN;
  gen->ExamColN = p.ExamColN;
  gen->Lesson = p.Lesson;
  // --set names keys of the settings file: they are read again over the preset.
  IniFile overrides{QString()};
  for (const QString& v : o.overrides) {
    const qsizetype slash = v.indexOf(u'/');
    const qsizetype eq = v.indexOf(u'=');
    overrides.writeString(v.left(slash), v.mid(slash + 1, eq - slash - 1), v.mid(eq + 1));
  }
  ReadSettings(overrides, sheet, gen);
}

int checkMix(const ProblemOptions& o, const GenerationSettings& gen) {
  if (!o.mix) return ExitOk;
  const QString message = CheckMixedSet(*o.mix, gen.ExamRowN * gen.ExamColN);
  if (message.isEmpty()) return ExitOk;
  printTo(stderr, message + u'\n');
  return ExitUsage;
}

int makeMixedProblems(const ProblemOptions& o, RandomSource& random, ProblemSet* set, bool* kept) {
  CommandHooks hooks = o.hooks;
  const MixedSetResult r = MakeMixedSet(*o.mix, random, &hooks);
  if (r.status == MakeStatus::InvalidRanges) {
    printTo(stderr, r.message + u'\n');
    return ExitUsage;
  }
  if (r.status != MakeStatus::Done) return ExitExhausted;
  *kept = *kept || r.problemsKept > 0;
  *set = r.problems;
  return ExitOk;
}

namespace {

std::unique_ptr<CommandLine> presetsCommandLine() {
  const QString settings = defaultSettingsPath();
  auto made = std::make_unique<CommandLine>(
      QStringLiteral("zubira presets"), QStringLiteral("zubira presets [options]"),
      QStringLiteral("Lists every preset, one a line: its id, its grade and its name, separated by tabs; the\n"
                     "built-in presets first, then yours. The id is what --preset and --mix take."),
      QStringLiteral("Built-in presets: %1\n"
                     "Your presets: the folder \"presets\" beside the settings file (%2),\n"
                     "where the window's プリセット → 現在の設定を保存 puts them.\n"
                     "A file there that is not a preset is named on stderr.\n")
          .arg(BuiltInPresetFolder(), UserPresetFolder(settings)));
  made->add({QStringLiteral("settings")},
            QStringLiteral("Your presets beside this settings file instead of the program's own."),
            QStringLiteral("FILE"));
  return made;
}

}  // namespace

QString presetsUsage() { return presetsCommandLine()->help(); }

int runPresetsCommand(const QStringList& args) {
  const std::unique_ptr<CommandLine> made = presetsCommandLine();
  CommandLine& line = *made;
  if (const std::optional<int> done = line.parse(args)) return *done;
  const PresetLibrary lib = commandPresetLibrary(line.value(QStringLiteral("settings")));
  QString out;
  for (const std::vector<Preset>* list : {&lib.builtIn, &lib.user})
    for (const Preset& p : *list) out += p.id + u'\t' + p.grade + u'\t' + p.name + u'\n';
  printTo(stdout, out);
  for (const QString& refused : lib.refused) printTo(stderr, refused + u'\n');
  return ExitOk;
}

}  // namespace zubira
