#include "worksheet/main_settings.h"

#include "platform/ini_file.h"

#include <cmath>

namespace zubira {

void ReadSettings(const IniFile& ini, MainSettings* m, GenerationSettings* g) {
  m->sHeader = ini.readString("Page", "Header", m->sHeader);
  m->sFooter = ini.readString("Page", "Footer", m->sFooter);
  m->sPageTitle = ini.readString("Page", "Pagetitle", m->sPageTitle);
  m->sSubTitle = ini.readString("Page", "SubTitle", m->sSubTitle);
  m->sDateTime = ini.readString("Page", "DateTime", m->sDateTime);
  m->sName = ini.readString("Page", "Name", m->sName);
  m->AnswerType = ini.readInteger("Answer", "Type", m->AnswerType);
  m->WindowTop = ini.readReal("Window", "Top", m->WindowTop);
  m->WindowLeft = ini.readReal("Window", "Left", m->WindowLeft);
  m->WindowRight = ini.readReal("Window", "Right", m->WindowRight);
  m->WindowBottom = ini.readReal("Window", "Bottom", m->WindowBottom);
  m->WindowFrame = ini.readBool("Window", "Frame", m->WindowFrame);
  g->ExamRowN = ini.readInteger("Exam", "Row", g->ExamRowN);
  g->ExamColN = ini.readInteger("Exam", "Col", g->ExamColN);
  m->ExamSeparate = ini.readReal("Exam", "Separate", m->ExamSeparate);
  m->fExNum = ini.readBool("Exam", "Number", m->fExNum);
  g->rnd_D = ini.readInteger("Exam", "Rand", g->rnd_D);
  g->nRange = ini.readInteger("Exam", "Range", g->nRange);
  g->fJust = ini.readBool("Exam", "Just", g->fJust);
  g->nJust = ini.readInteger("Exam", "JustMax", g->nJust);
  g->fZero = ini.readBool("Exam", "Zero", g->fZero);
  g->fOne = ini.readBool("Exam", "One", g->fOne);
  m->ExNumLeft = ini.readString("Exam", "Left", m->ExNumLeft);
  m->ExNumRight = ini.readString("Exam", "Right", m->ExNumRight);
  g->fKakko = ini.readBool("Exam", "Kakko", g->fKakko);
  g->fTaiBun = ini.readBool("Exam", "TaiBunSu", g->fTaiBun);
  g->fInt = ini.readBool("Exam", "Integer", g->fInt);
  ExamFont& f = m->FntExam;
  f.name = ini.readString("ExamFont", "Name", f.name);
  f.size = ini.readInteger("ExamFont", "Size", f.size);
  f.color = ini.readColor("ExamFont", "Color", f.color);
  f.bold = ini.readBool("ExamFont", "Bold", f.bold);
  f.italic = ini.readBool("ExamFont", "Italic", f.italic);
  // The lesson conditions: 0, 1 or 2 (the form 0 or 1); any other value asks for nothing.
  LessonConditions& l = g->Lesson;
  struct LessonKey {
    const char* key;
    int32_t* field;
    int most;
  };
  for (const LessonKey k : {LessonKey{"Denominator", &l.Denominator, 2}, LessonKey{"Reduce", &l.Reduce, 2},
                            LessonKey{"Regroup", &l.Regroup, 2}, LessonKey{"Cancel", &l.Cancel, 2},
                            LessonKey{"Form", &l.Form, 1}}) {
    if (!ini.hasKey(QStringLiteral("Lesson"), QLatin1String(k.key))) continue;
    const int v = ini.readInteger("Lesson", k.key, 0);
    *k.field = v >= 0 && v <= k.most ? v : 0;
  }
}

void WriteSettings(IniFile& ini, const MainSettings& m, const GenerationSettings& g) {
  ini.writeString("Page", "Header", m.sHeader);
  ini.writeString("Page", "Footer", m.sFooter);
  ini.writeString("Page", "PageTitle", m.sPageTitle);
  ini.writeString("Page", "SubTitle", m.sSubTitle);
  ini.writeString("Page", "DateTime", m.sDateTime);
  ini.writeString("Page", "Name", m.sName);
  ini.writeInteger("Answer", "Type", m.AnswerType);
  ini.writeReal("Window", "Top", m.WindowTop);
  ini.writeReal("Window", "Left", m.WindowLeft);
  ini.writeReal("Window", "Right", m.WindowRight);
  ini.writeReal("Window", "Bottom", m.WindowBottom);
  ini.writeBool("Window", "Frame", m.WindowFrame);
  ini.writeInteger("Exam", "Row", g.ExamRowN);
  ini.writeInteger("Exam", "Col", g.ExamColN);
  ini.writeReal("Exam", "Separate", m.ExamSeparate);
  ini.writeBool("Exam", "Number", m.fExNum);
  ini.writeInteger("Exam", "Rand", g.rnd_D);
  ini.writeInteger("Exam", "Range", g.nRange);
  ini.writeBool("Exam", "Just", g.fJust);
  ini.writeInteger("Exam", "JustMax", g.nJust);
  ini.writeBool("Exam", "Zero", g.fZero);
  ini.writeBool("Exam", "One", g.fOne);
  ini.writeString("Exam", "Left", m.ExNumLeft);
  ini.writeString("Exam", "Right", m.ExNumRight);
  ini.writeBool("Exam", "Kakko", g.fKakko);
  ini.writeBool("Exam", "TaiBunSu", g.fTaiBun);
  ini.writeBool("Exam", "Integer", g.fInt);
  ini.writeString("ExamFont", "Name", m.FntExam.name);
  ini.writeInteger("ExamFont", "Size", m.FntExam.size);
  ini.writeColor("ExamFont", "Color", m.FntExam.color);
  ini.writeBool("ExamFont", "Bold", m.FntExam.bold);
  ini.writeBool("ExamFont", "Italic", m.FntExam.italic);
  ini.writeInteger("Lesson", "Denominator", g.Lesson.Denominator);
  ini.writeInteger("Lesson", "Reduce", g.Lesson.Reduce);
  ini.writeInteger("Lesson", "Regroup", g.Lesson.Regroup);
  ini.writeInteger("Lesson", "Cancel", g.Lesson.Cancel);
  ini.writeInteger("Lesson", "Form", g.Lesson.Form);
}

void GiveDefaultPlaces(TPageStr* PageTitle, TPageStr* SubTitle, TPageStr* DateTime) {
  struct Place {
    TPageStr* ps;
    int size;
    const char* x;
    const char* y;
  };
  const Place places[] = {{PageTitle, 24, "10", "10"}, {SubTitle, 12, "10", "36"}, {DateTime, 11, "80", "10"}};
  for (const Place& p : places) {
    if (!p.ps || p.ps->psPos != 0 || p.ps->psX != QLatin1String("0") || p.ps->psY != QLatin1String("0")) continue;
    p.ps->psSize = p.size;
    p.ps->psPos = 4;
    p.ps->psX = QLatin1String(p.x);
    p.ps->psY = QLatin1String(p.y);
  }
}

QString marginTooLargeMessage() {
  return QStringLiteral("余白は") + QString::number(MaxMargin) + QStringLiteral("以下でなければいけません");
}

QString ExamFontSizeMessage() {
  return QStringLiteral("問題の文字の大きさは%1ポイントから%2ポイントまでです").arg(MinExamFontSize).arg(MaxExamFontSize);
}

QStringList CheckLayoutSettings(MainSettings* main, GenerationSettings* gen) {
  QStringList messages;
  const auto refuse = [&](const QString& message) {
    if (!message.isEmpty() && !messages.contains(message)) messages << message;
  };
  const MainSettings mainDefaults;
  const GenerationSettings genDefaults;
  const GridCheck rows = CheckGridRows(QString::number(gen->ExamRowN), QString::number(gen->ExamColN));
  if (!rows.accepted) {
    refuse(rows.message);
    gen->ExamRowN = genDefaults.ExamRowN;
  }
  const GridCheck cols = CheckGridCols(QString::number(gen->ExamColN), QString::number(gen->ExamRowN));
  if (!cols.accepted) {
    refuse(cols.message);
    gen->ExamColN = genDefaults.ExamColN;
  }
  if (main->FntExam.size < MinExamFontSize || main->FntExam.size > MaxExamFontSize) {
    refuse(ExamFontSizeMessage());
    main->FntExam.size = mainDefaults.FntExam.size;
  }
  // A negative margin or spacing is put back without a word, as the style dialog does; one over
  // the largest margin with its message.
  for (const auto& [field, def] : {std::pair{&main->WindowTop, mainDefaults.WindowTop},
                                   std::pair{&main->WindowLeft, mainDefaults.WindowLeft},
                                   std::pair{&main->WindowRight, mainDefaults.WindowRight},
                                   std::pair{&main->WindowBottom, mainDefaults.WindowBottom}}) {
    if (*field > MaxMargin) refuse(marginTooLargeMessage());
    if (!(*field >= 0 && *field <= MaxMargin)) *field = def;
  }
  if (!(main->ExamSeparate >= 0 && std::isfinite(main->ExamSeparate)))
    main->ExamSeparate = mainDefaults.ExamSeparate;
  return messages;
}

}  // namespace zubira
