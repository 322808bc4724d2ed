#include "worksheet/main_window.h"

#include "drawing/page_model.h"
#include "generation/rnd_d_dialog.h"
#include "platform/dialogs.h"
#include "generation/lesson_conditions.h"
#include "platform/hints.h"
#include "platform/ini_file.h"
#include "platform/site_links.h"
#include "worksheet/about_box.h"
#include "worksheet/local_manual.h"
#include "worksheet/mix_dialog.h"
#include "worksheet/preset_menu.h"
#include "worksheet/preview_host.h"
#include "worksheet/promotion_panel.h"
#include "worksheet/style_dialog.h"
#include "worksheet/versions_dialog.h"
#include "worksheet/window_sheets.h"
#include "worksheet/worksheet_composer.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>

namespace zubira {

PreviewHost::~PreviewHost() = default;

namespace {

constexpr int kClientWidth = 579;
constexpr int kClientHeight = 565;

const char* const kTabCaptions[ProblemKindCount] = {"たし算", "ひき算", "かけ算", "わり算",
                                                    "帯分数－＞仮分数", "仮分数－＞帯分数"};

QLabel* label(QWidget* parent, const QString& text, int x, int y, int w = -1, int h = 20) {
  auto* l = new QLabel(text, parent);
  if (w < 0) w = l->sizeHint().width();
  l->setGeometry(x, y, w, h);
  return l;
}

QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w, int h = 22) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QLatin1String(name));
  e->setGeometry(x, y, w, h);
  return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setGeometry(x, y, w, h);
  return b;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& title, int x, int y, int w, int h) {
  auto* g = new QGroupBox(title, parent);
  g->setObjectName(QLatin1String(name));
  g->setGeometry(x, y, w, h);
  return g;
}

QComboBox* signCombo(QWidget* parent, const char* name, int x, int y) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QLatin1String(name));
  c->addItems({QStringLiteral("＋"), QStringLiteral("－"), QStringLiteral("不定")});
  c->setGeometry(x, y, 52, 22);
  return c;
}

}  // namespace

TForm1::TForm1(const QString& settingsPath, RandomSource* random, QWidget* parent)
    : QMainWindow(parent),
      settingsPath_(settingsPath),
      random_(random ? random : &ProcessRandomSource()),
      generator_(random_, this, &selfTest.counters) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("分数の加減乗除"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
  f.setPixelSize(12);
  setFont(f);
  sheets_ = std::make_unique<WindowSheets>(this, [this] {
    SheetSource source;
    source.settings = &settings;
    source.gen = &gen;
    source.dateTime = &DateTime;
    source.problems = ProblemSetFromLists(kind(), Memo1->toPlainText(), Memo2->toPlainText(),
                                          Memo3->toPlainText());
    return source;
  });
  buildControls();
  buildMenus();
  const int height = kClientHeight + menuBar()->sizeHint().height();
  setFixedSize(kClientWidth, height);

  // FormCreate.
  if (!random) SeedProcessRandomFromClock();
  const IniFile ini(settingsPath_);
  DateTime.GetIniSets(ini, QStringLiteral("DateTime"), QString(), 0, QStringLiteral("0"), QStringLiteral("0"));
  Memo1->clear();
  Memo2->clear();
  gen.ExamRowN = 10;
  gen.ExamColN = 1;
  settings.ExNumLeft = QStringLiteral("(");
  settings.ExNumRight = QStringLiteral(")");
  settings.fExNum = true;
  gen.fKakko = true;
  gen.rnd_D = 0;
  settings.AnswerType = 1;
  selfTest.counters.TestLoop = 0;
  Timer1.setInterval(1000);
  connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  sheets_->watchLists({Memo1, Memo2, Memo3});
}

TForm1::~TForm1() = default;

void TForm1::setPreview(PreviewHost* preview) {
  preview_ = preview;
  sheets_->setPreview(preview);
}

Typesetter* TForm1::typesetter() { return sheets_->typesetter(); }

void TForm1::buildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  const int bandHeight = 102;
  const int statusHeight = 20;
  const int tabAreaHeight = kClientHeight - bandHeight - statusHeight;

  TabControl1 = new QTabBar(central);
  TabControl1->setObjectName(QStringLiteral("TabControl1"));
  for (const char* caption : kTabCaptions) TabControl1->addTab(QString::fromUtf8(caption));
  TabControl1->setGeometry(4, 2, kClientWidth - 8, 24);
  TabControl1->setExpanding(false);
  connect(TabControl1, &QTabBar::currentChanged, this, [this](int i) { TabControl1Change(i); });
  auto* page = new QWidget(central);
  page->setObjectName(QStringLiteral("TabPage"));
  page->setGeometry(4, 26, kClientWidth - 8, tabAreaHeight - 28);
  page->setAutoFillBackground(true);

  // "問題": the grid, the operand ranges, signs and random flags, Make and Clear.
  GrpProblem = group(page, "GrpProblem", QStringLiteral("問題"), 4, 2, 563, 150);
  label(GrpProblem, QStringLiteral("配置"), 10, 20);
  EdtRow = edit(GrpProblem, "EdtRow", 42, 19, 30);
  label(GrpProblem, QStringLiteral("行"), 76, 20);
  EdtCol = edit(GrpProblem, "EdtCol", 94, 19, 30);
  label(GrpProblem, QStringLiteral("列"), 128, 20);
  label(GrpProblem, QStringLiteral("="), 146, 20);
  EdtTotal = edit(GrpProblem, "EdtTotal", 160, 19, 34);
  EdtTotal->setReadOnly(true);
  EdtTotal->setFocusPolicy(Qt::NoFocus);
  label(GrpProblem, QStringLiteral("問"), 198, 20);
  BtnMake = button(GrpProblem, "BtnMake", QStringLiteral("作成(&M)"), 392, 16, 78, 26);
  BtnClear = button(GrpProblem, "BtnClear", QStringLiteral("消去(&C)"), 476, 16, 78, 26);
  connect(BtnMake, &QPushButton::clicked, this, [this] { BtnMakeClick(); });
  connect(BtnClear, &QPushButton::clicked, this, [this] { BtnClearClick(); });

  // Column headings over the three components.
  label(GrpProblem, QStringLiteral("整数部"), 232, 48);
  label(GrpProblem, QStringLiteral("分子"), 334, 48);
  label(GrpProblem, QStringLiteral("分母"), 440, 48);

  static const char* const names[RangeEditCount] = {
      "EdtMin1i", "EdtMax1i", "EdtMin1c", "EdtMax1c", "EdtMin1m", "EdtMax1m",
      "EdtMin2i", "EdtMax2i", "EdtMin2c", "EdtMax2c", "EdtMin2m", "EdtMax2m"};
  const QString tilde = QStringLiteral("～");
  const QString tildeHint = QStringLiteral("共に０ならば整数部は除かれます");
  auto rangePair = [&](QWidget* parent, int first, int x, int y) {
    const bool integer = first % 6 == 0;
    for (int k = 0; k < 2; ++k) {
      QLineEdit* e = edit(parent, names[first + k], x + k * 54, y, 40);
      e->setAlignment(Qt::AlignRight);
      const QString which = k == 0 ? QStringLiteral("最小") : QStringLiteral("最大");
      setHint(e, which + (integer ? QStringLiteral("(1000以下)") : QStringLiteral("(4桁以下)")));
      rangeEdits[size_t(first + k)] = e;
    }
    QLabel* t = label(parent, tilde, x + 41, y + 1, 12);
    if (integer) setHint(t, tildeHint);
  };

  // First operand: title, the integer-part area with the sign, numerator, denominator, random.
  Label1 = label(GrpProblem, QStringLiteral("たされる数"), 30, 70, 90);
  Label1->setObjectName(QStringLiteral("Label1"));
  PnlInt = new QWidget(GrpProblem);
  PnlInt->setObjectName(QStringLiteral("PnlInt"));
  PnlInt->setGeometry(96, 66, 210, 28);
  Lblsgn = label(PnlInt, QStringLiteral("符号"), 0, 4, 26);
  Lblsgn->setObjectName(QStringLiteral("Lblsgn"));
  Combo1 = signCombo(PnlInt, "Combo1", 26, 3);
  rangePair(PnlInt, EdtMin1i, 100, 3);
  rangePair(GrpProblem, EdtMin1c, 292, 69);
  rangePair(GrpProblem, EdtMin1m, 398, 69);
  CBox1 = new QCheckBox(QStringLiteral("乱数"), GrpProblem);
  CBox1->setObjectName(QStringLiteral("CBox1"));
  CBox1->setGeometry(500, 70, 56, 20);
  CBox1->setChecked(true);

  // Second operand with the operator.
  PnlSec = new QWidget(GrpProblem);
  PnlSec->setObjectName(QStringLiteral("PnlSec"));
  PnlSec->setGeometry(2, 100, 559, 40);
  LblKigou = label(PnlSec, QStringLiteral("＋"), 6, 4, 20, 22);
  LblKigou->setObjectName(QStringLiteral("LblKigou"));
  QFont big = LblKigou->font();
  big.setPixelSize(16);
  LblKigou->setFont(big);
  Label2 = label(PnlSec, QStringLiteral("たす数"), 28, 5, 90);
  Label2->setObjectName(QStringLiteral("Label2"));
  label(PnlSec, QStringLiteral("符号"), 94, 5, 26);
  Combo2 = signCombo(PnlSec, "Combo2", 120, 4);
  rangePair(PnlSec, EdtMin2i, 194, 4);
  rangePair(PnlSec, EdtMin2c, 290, 4);
  rangePair(PnlSec, EdtMin2m, 396, 4);
  CBox2 = new QCheckBox(QStringLiteral("乱数"), PnlSec);
  CBox2->setObjectName(QStringLiteral("CBox2"));
  CBox2->setGeometry(498, 5, 56, 20);
  CBox2->setChecked(true);
  const RangeTexts defaults = defaultRangeTexts();
  for (int k = 0; k < RangeEditCount; ++k) rangeEdits[size_t(k)]->setText(defaults[size_t(k)]);

  // "問題・答えのリスト": the three memos.
  auto* lists = group(page, "GrpLists", QStringLiteral("問題・答えのリスト"), 4, 156, 330, tabAreaHeight - 28 - 160);
  const int memoTop = 36, memoHeight = lists->height() - memoTop - 8;
  Label3 = label(lists, QStringLiteral("たされる数"), 10, 16, 100);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label4 = label(lists, QStringLiteral("たす数"), 116, 16, 100);
  Label4->setObjectName(QStringLiteral("Label4"));
  Label7 = label(lists, QStringLiteral("答え"), 222, 16, 100);
  Label7->setObjectName(QStringLiteral("Label7"));
  Label7->installEventFilter(this);
  auto memo = [&](const char* name, int x) {
    auto* m = new QPlainTextEdit(lists);
    m->setObjectName(QLatin1String(name));
    m->setGeometry(x, memoTop, 100, memoHeight);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    return m;
  };
  Memo1 = memo("Memo1", 10);
  Memo2 = memo("Memo2", 116);
  Memo3 = memo("Memo3", 222);

  // "用紙": the page captions with their "設定" buttons, and the self-test label at the foot.
  auto* paper = group(page, "GrpPaper", QStringLiteral("用紙"), 340, 156, 227, lists->height());
  auto caption = [&](const QString& text, const char* buttonName, const char* editName, int y,
                     QPushButton** b, QLineEdit** e) {
    label(paper, text, 10, y + 2);
    *b = button(paper, buttonName, QStringLiteral("設定"), 160, y, 56, 22);
    *e = edit(paper, editName, 10, y + 24, 206);
  };
  caption(QStringLiteral("タイトル"), "BtnTitle", "EdtPageTitle", 16, &BtnTitle, &EdtPageTitle);
  caption(QStringLiteral("サブタイトル"), "BtnSubTitle", "EdtSubTitle", 68, &BtnSubTitle, &EdtSubTitle);
  caption(QStringLiteral("ヘッダー"), "BtnHeader", "EdtHeader", 120, &BtnHeader, &EdtHeader);
  caption(QStringLiteral("フッター"), "BtnFooter", "EdtFooter", 172, &BtnFooter, &EdtFooter);
  connect(BtnTitle, &QPushButton::clicked, this, [this] { BtnTitleClick(); });
  connect(BtnSubTitle, &QPushButton::clicked, this, [this] { BtnSubTitleClick(); });
  connect(BtnHeader, &QPushButton::clicked, this, [this] { BtnHeaderClick(); });
  connect(BtnFooter, &QPushButton::clicked, this, [this] { BtnFooterClick(); });
  LblInf = label(paper, QString(), 10, paper->height() - 28, 206, 20);
  LblInf->setObjectName(QStringLiteral("LblInf"));
  LblInf->setAutoFillBackground(true);
  QPalette pal = LblInf->palette();
  pal.setColor(QPalette::Window, Qt::white);
  LblInf->setPalette(pal);
  setHint(LblInf, QStringLiteral("最大値に注意|それぞれの最大値が乱数の最大値となる"));
  LblInf->installEventFilter(this);
  LblInf->hide();

  // The bottom band: the preview buttons and the web area.
  Panel1 = new QWidget(central);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, tabAreaHeight, kClientWidth, bandHeight);
  auto* previewGroup = group(Panel1, "GrpPreview", QStringLiteral("プレビュー"), 8, 2, 130, bandHeight - 6);
  Button1 = button(previewGroup, "Button1", QStringLiteral("問題(&Q)"), 15, 17, 100, 24);
  Button2 = button(previewGroup, "Button2", QStringLiteral("答え(&A)"), 15, 43, 100, 24);
  Button3 = button(previewGroup, "Button3", QStringLiteral("解き方(&S)"), 15, 69, 100, 24);
  setHint(Button3, QStringLiteral("解き方|途中式つきの解答を表示します"));
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  promotion_ = new PromotionPanel(Panel1);
  promotion_->setGeometry(146, 6, kClientWidth - 146 - 6, bandHeight - 10);

  // The status bar: "Information" and the hint panel; a click opens the home page.
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("StBarInf"));
  bar->setSizeGripEnabled(false);
  bar->setCursor(Qt::PointingHandCursor);
  setHint(bar, QStringLiteral("ヒント表示部|Zubiraのホームページ"));
  StPanel0 = new QLabel(QStringLiteral("Information"), bar);
  StPanel0->setObjectName(QStringLiteral("StBarInfPanel0"));
  StPanel0->setFixedWidth(72);
  StPanel0->setFrameShape(QFrame::Panel);
  StPanel0->setFrameShadow(QFrame::Sunken);
  StPanel1 = new QLabel(bar);
  StPanel1->setObjectName(QStringLiteral("StBarInfPanel1"));
  StPanel1->setMinimumWidth(50);
  StPanel1->setFrameShape(QFrame::Panel);
  StPanel1->setFrameShadow(QFrame::Sunken);
  bar->addWidget(StPanel0);
  bar->addWidget(StPanel1, 1);
  bar->installEventFilter(this);
  setStatusBar(bar);
  bar->setFixedHeight(statusHeight);

  // Entering and leaving the edit boxes.
  for (QLineEdit* e : rangeEdits)
    focus_.watch(e, [this, e](QWidget*) { EdtMin1iEnter(e); }, [this, e](QWidget*) { return EdtMin1iExit(e); });
  focus_.watch(EdtRow, [this](QWidget*) { EdtRowEnter(); }, [this](QWidget*) { return EdtRowExit(); });
  focus_.watch(EdtCol, [this](QWidget*) { EdtColEnter(); }, [this](QWidget*) { return EdtColExit(); });
  const std::pair<QLineEdit*, QString*> captions[] = {{EdtPageTitle, &settings.sPageTitle},
                                                      {EdtSubTitle, &settings.sSubTitle},
                                                      {EdtHeader, &settings.sHeader},
                                                      {EdtFooter, &settings.sFooter}};
  for (auto [e, field] : captions)
    focus_.watch(e, {}, [e, field = field](QWidget*) {
      *field = e->text();
      return true;
    });
}

void TForm1::buildMenus() {
  auto action = [this](QMenu* menu, const char* name, const QString& text, bool checkable = false) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    a->setCheckable(checkable);
    return a;
  };
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  file->setObjectName(QStringLiteral("File1"));
  Style1 = action(file, "Style1", QStringLiteral("スタイル(&S)"));
  S1 = action(file, "S1", QStringLiteral("プリンタ設定(&S)"));
  Print1 = action(file, "Print1", QStringLiteral("印刷(&P)"));
  SavePdf1 = action(file, "SavePdf1", QStringLiteral("PDFに保存(&D)..."));
  SaveVersions = action(file, "SaveVersions", QStringLiteral("クラス用の複数セット(&V)..."));
  MixSheet = action(file, "MixSheet", QStringLiteral("まとめプリント(&U)..."));
  file->addSeparator();
  Exit1 = action(file, "Exit1", QStringLiteral("終了(&X)"));

  QMenu* option = menuBar()->addMenu(QStringLiteral("オプション(&O)"));
  option->setObjectName(QStringLiteral("Option1"));
  D1 = action(option, "D1", QStringLiteral("日時(&D)"));
  N5 = action(option, "N5", QStringLiteral("名前(&N)"));
  option->addSeparator();
  RA1 = action(option, "RA1", QStringLiteral("演算結果は正の分数(&A)"), true);
  RB1 = action(option, "RB1", QStringLiteral("演算結果は零・正の分数(&B)"), true);
  RC1 = action(option, "RC1", QStringLiteral("演算結果は分数全て(&C)"), true);
  rangeGroup_ = new QActionGroup(this);
  rangeGroup_->setExclusive(true);
  for (QAction* a : {RA1, RB1, RC1}) rangeGroup_->addAction(a);
  RA1->setChecked(true);
  option->addSeparator();
  E1 = action(option, "E1", QStringLiteral("単純な答え(&E)"), true);
  Z1 = action(option, "Z1", QStringLiteral("０以外の答え(&Z)"), true);
  O2 = action(option, "O2", QStringLiteral("１以外の答え(&O)"), true);
  T1 = action(option, "T1", QStringLiteral("帯分数の答え(&T)"), true);
  K1 = action(option, "K1", QStringLiteral("負の第１項は括弧で囲う(&K)"), true);
  I1 = action(option, "I1", QStringLiteral("問題に整数も含む(&I)"), true);
  option->addSeparator();
  R1 = action(option, "R1", QStringLiteral("乱数の振り方(&R)"));
  buildLessonMenu(option->addMenu(QStringLiteral("問題の条件(&J)")));

  presetMenu_ = new PresetMenu(this, settingsPath_, BuiltInPresetFolder());
  menuBar()->addMenu(presetMenu_->menu());

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  help->setObjectName(QStringLiteral("Help1"));
  HelpLocal = action(help, "HelpLocal", QStringLiteral("使い方(&U)"));
  HelpLocal->setShortcut(QKeySequence(Qt::Key_F1));
  Help2 = action(help, "Help2", QStringLiteral("Zubiraヘルプ(&D)"));
  help->addSeparator();
  A1 = action(help, "A1", QStringLiteral("バージョン情報(&A)"));

  // Keys. 印刷's key counts only while the focus is in this window: the preview, a tool window
  // of this one, has its own, which would otherwise be ambiguous with it.
  Print1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  Print1->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addAction(Print1);
  Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  Make1 = new QAction(QStringLiteral("作成"), this);
  Make1->setObjectName(QStringLiteral("Make1"));
  Make1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  addAction(Make1);

  connect(Style1, &QAction::triggered, this, [this] { Style1Click(); });
  connect(S1, &QAction::triggered, this, [this] { S1Click(); });
  connect(Print1, &QAction::triggered, this, [this] { Print1Click(); });
  connect(SavePdf1, &QAction::triggered, this, [this] { SavePdf1Click(); });
  connect(Make1, &QAction::triggered, this, [this] { BtnMakeClick(); });
  connect(SaveVersions, &QAction::triggered, this, [this] { SaveVersionsClick(); });
  connect(MixSheet, &QAction::triggered, this, [this] { MixSheetClick(); });
  connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });
  connect(D1, &QAction::triggered, this, [this] { D1Click(); });
  connect(N5, &QAction::triggered, this, [this] { N5Click(); });
  connect(RA1, &QAction::triggered, this, [this] { RA1Click(); });
  connect(RB1, &QAction::triggered, this, [this] { RB1Click(); });
  connect(RC1, &QAction::triggered, this, [this] { RC1Click(); });
  // A triggered checkable item has already inverted its check mark: the flag copies it.
  connect(E1, &QAction::triggered, this, [this] { E1Click(); });
  connect(Z1, &QAction::triggered, this, [this](bool on) { gen.fZero = on; });
  connect(O2, &QAction::triggered, this, [this](bool on) { gen.fOne = on; });
  connect(T1, &QAction::triggered, this, [this](bool on) { gen.fTaiBun = on; });
  connect(K1, &QAction::triggered, this, [this](bool on) { gen.fKakko = on; });
  connect(I1, &QAction::triggered, this, [this](bool on) { gen.fInt = on; });
  connect(R1, &QAction::triggered, this, [this] { R1Click(); });
  connect(HelpLocal, &QAction::triggered, this, [this] { HelpLocalClick(); });
  connect(Help2, &QAction::triggered, this, [this] { Help2Click(); });
  connect(A1, &QAction::triggered, this, [this] { A1Click(); });
}

// The lesson conditions: five groups of exclusive items, each item setting its condition.
void TForm1::buildLessonMenu(QMenu* menu) {
  menu->setObjectName(QStringLiteral("Lesson1"));
  struct Group {
    const char* name;
    QAction** items;
    size_t count;
    int32_t LessonConditions::*field;
    const char* hints[3];
  };
  const Group groups[] = {
      {"LessonDenom", LessonDenom.data(), LessonDenom.size(), &LessonConditions::Denominator,
       {"分母は問わない|たし算・ひき算の二つの分母は同じでもちがってもかまいません",
        "同じ分母|たし算・ひき算を分母が同じ分数どうしの問題にします",
        "ちがう分母（通分あり）|たし算・ひき算を分母がちがい通分が必要な問題にします"}},
      {"LessonReduce", LessonReduce.data(), LessonReduce.size(), &LessonConditions::Reduce,
       {"約分は問わない|たし算・ひき算の答えを約分する問題もしない問題も作ります",
        "約分する答え|たし算・ひき算を計算した答えを約分しなければならない問題にします",
        "約分しない答え|たし算・ひき算を計算した答えを約分しなくてよい問題にします"}},
      {"LessonRegroup", LessonRegroup.data(), LessonRegroup.size(), &LessonConditions::Regroup,
       {"繰り上がり・繰り下がりは問わない|繰り上がりや繰り下がりがあってもなくてもかまいません",
        "繰り上がり・繰り下がりあり|真分数・帯分数どうしで、たし算は分数部分の和が１以上に、ひき算は整数部から１を借りる問題にします",
        "繰り上がり・繰り下がりなし|分数部分どうしで計算できるたし算・ひき算にします"}},
      {"LessonCancel", LessonCancel.data(), LessonCancel.size(), &LessonConditions::Cancel,
       {"途中の約分は問わない|かけ算・わり算でかける前に約分できてもできなくてもかまいません",
        "途中で約分できる|かけ算・わり算をかける前に約分できる問題にします",
        "途中で約分できない|かけ算・わり算をかける前に約分できない問題にします"}},
      {"LessonForm", LessonForm.data(), LessonForm.size(), &LessonConditions::Form,
       {"仮分数も出す|問題の分数に、分子が分母以上の仮分数も出します",
        "真分数・帯分数だけ|問題の分数を、分子が分母より小さい真分数と帯分数だけにします", nullptr}},
  };
  for (const Group& g : groups) {
    if (g.items != LessonDenom.data()) menu->addSeparator();
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (size_t i = 0; i < g.count; ++i) {
      const QString hint = QString::fromUtf8(g.hints[i]);
      QAction* a = menu->addAction(shortHint(hint));
      a->setObjectName(QLatin1String(g.name) + QString::number(i));
      a->setCheckable(true);
      a->setStatusTip(hint);
      group->addAction(a);
      g.items[i] = a;
      connect(a, &QAction::triggered, this, [this, field = g.field, i] { gen.Lesson.*field = int32_t(i); });
    }
    g.items[0]->setChecked(true);
  }
  updateLessonMenu();
}

// The check marks follow the settings; the items of conditions the selected kind does not have
// are disabled, their marks kept.
void TForm1::updateLessonMenu() {
  const ProblemKind k = kind();
  const struct {
    QAction** items;
    size_t count;
    int32_t setting;
    bool applies;
  } groups[] = {
      {LessonDenom.data(), LessonDenom.size(), gen.Lesson.Denominator, DenominatorConditionApplies(k)},
      {LessonReduce.data(), LessonReduce.size(), gen.Lesson.Reduce, ReduceConditionApplies(k)},
      {LessonRegroup.data(), LessonRegroup.size(), gen.Lesson.Regroup, RegroupConditionApplies(k)},
      {LessonCancel.data(), LessonCancel.size(), gen.Lesson.Cancel, CancelConditionApplies(k)},
      {LessonForm.data(), LessonForm.size(), gen.Lesson.Form, FormConditionApplies(k)},
  };
  for (const auto& g : groups) {
    const bool known = g.setting >= 0 && size_t(g.setting) < g.count;
    g.items[known ? size_t(g.setting) : 0]->setChecked(true);
    for (size_t i = 0; i < g.count; ++i) g.items[i]->setEnabled(g.applies);
  }
}

// ---- Life cycle --------------------------------------------------------------------------------

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TForm1::FormShow() {
  if (preview_) preview_->SetCopyright(QString());
  {
    const IniFile ini(settingsPath_);
    ReadSettings(ini, &settings, &gen);
  }
  // A hand-edited file gets the limits the fields and the style dialog keep.
  for (const QString& refused : CheckLayoutSettings(&settings, &gen)) message(refused);
  if (settings.AnswerType == 0) settings.AnswerType = 1;
  if (preview_) preview_->repaintPreview();
  showGrid();
  EdtPageTitle->setText(settings.sPageTitle);
  EdtSubTitle->setText(settings.sSubTitle);
  EdtHeader->setText(settings.sHeader);
  EdtFooter->setText(settings.sFooter);
  if (preview_) preview_->hideEditingMenus();
  // Places for the page strings never set.
  GiveDefaultPlaces(preview_ ? &preview_->model().PageTitle : nullptr,
                    preview_ ? &preview_->model().SubTitle : nullptr, &DateTime);
  (gen.nRange == 1 ? RB1 : gen.nRange == 2 ? RC1 : RA1)->setChecked(true);
  E1->setChecked(gen.fJust);
  Z1->setChecked(gen.fZero);
  O2->setChecked(gen.fOne);
  K1->setChecked(gen.fKakko);
  T1->setChecked(gen.fTaiBun);
  I1->setChecked(gen.fInt);
  updateLessonMenu();
  readProblem();
  if (aboutBox_) aboutBox_->ProductName->setText(QStringLiteral("Zubira　分数の加減乗除篇"));
  promotion_->probeAndShow(siteLinks());
}

QString TForm1::FormHide() {
  IniFile ini(settingsPath_);
  // The page texts as the edit boxes hold them.
  settings.sHeader = EdtHeader->text();
  settings.sFooter = EdtFooter->text();
  settings.sPageTitle = EdtPageTitle->text();
  settings.sSubTitle = EdtSubTitle->text();
  WriteSettings(ini, settings, gen);
  WriteProblemSettings(ini, problem());
  return ini.save() ? QString() : ini.errorString();
}

// The kind, ranges, signs and stepping the window was left with; a file without them leaves the
// window as it starts.
void TForm1::readProblem() {
  const IniFile ini(settingsPath_);
  const ProblemSettings p = ReadProblemSettings(ini, gen.fInt);
  readingProblem_ = true;
  TabControl1->setCurrentIndex(p.kind);
  readingProblem_ = false;
  for (int k = 0; k < RangeEditCount; ++k) rangeEdits[size_t(k)]->setText(p.ranges[size_t(k)]);
  Combo1->setCurrentIndex(p.sign1);
  Combo2->setCurrentIndex(p.sign2);
  CBox1->setChecked(!p.step1);
  CBox2->setChecked(!p.step2);
}

ProblemSettings TForm1::problem() const {
  ProblemSettings p;
  p.kind = kind();
  p.ranges = rangeTexts();
  p.sign1 = SignMode(std::clamp(Combo1->currentIndex(), 0, 2));
  p.sign2 = SignMode(std::clamp(Combo2->currentIndex(), 0, 2));
  p.step1 = !CBox1->isChecked();
  p.step2 = !CBox2->isChecked();
  return p;
}

QString TForm1::FormDestroy() {
  IniFile ini(settingsPath_);
  DateTime.SetIniSets(ini, QStringLiteral("DateTime"));
  return ini.save() ? QString() : ini.errorString();
}

void TForm1::closeEvent(QCloseEvent* event) {
  Timer1.stop();
  QMainWindow::closeEvent(event);
}

// ---- Hints and clicks on labels ----------------------------------------------------------------

bool TForm1::event(QEvent* e) {
  if (e->type() == QEvent::StatusTip) {
    DisplayHint(static_cast<QStatusTipEvent*>(e)->tip());
    return true;
  }
  return QMainWindow::event(e);
}

void TForm1::DisplayHint(const QString& hint) { StPanel1->setText(longHint(hint)); }

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
    if (watched == Label7) Label7Click();
    else if (watched == LblInf) LblInfClick();
    else if (watched == statusBar()) StBarInfClick();
  }
  return QMainWindow::eventFilter(watched, e);
}

void TForm1::message(const QString& text) { dialogs().message(this, messageCaption(), text); }

// ---- Problem kinds and making problems ---------------------------------------------------------

ProblemKind TForm1::kind() const { return ProblemKind(std::clamp(TabControl1->currentIndex(), 0, 5)); }

RangeTexts TForm1::rangeTexts() const {
  RangeTexts t;
  for (int k = 0; k < RangeEditCount; ++k) t[size_t(k)] = rangeEdits[size_t(k)]->text();
  return t;
}

void TForm1::TabControl1Change(int index) {
  const WindowSheets::ListsChange change(*sheets_);
  Memo1->clear();
  Memo2->clear();
  Memo3->clear();
  struct Captions {
    const char* first;
    const char* second;
    const char* kigou;
  };
  static const Captions arithmetic[4] = {{"たされる数", "たす数", "＋"},
                                         {"引かれる数", "引く数", "－"},
                                         {"かけられる数", "かける数", "×"},
                                         {"割られる数", "割る数", "÷"}};
  if (index >= 0 && index < 4) {
    const Captions& c = arithmetic[index];
    Label1->setText(QString::fromUtf8(c.first));
    Label3->setText(QString::fromUtf8(c.first));
    Label2->setText(QString::fromUtf8(c.second));
    Label4->setText(QString::fromUtf8(c.second));
    LblKigou->setText(QString::fromUtf8(c.kigou));
    PnlInt->show();
    PnlSec->show();
    Combo1->show();
    Lblsgn->show();
  } else {
    const QString title = index == 4 ? QStringLiteral("帯分数") : QStringLiteral("仮分数");
    Label1->setText(title);
    Label3->setText(title);
    Label4->clear();
    PnlInt->setVisible(index == 4);
    PnlSec->hide();
    Combo1->hide();
    Lblsgn->hide();
  }
  if (LessonDenom[0]) updateLessonMenu();
  // A subtitle that is still the default of the kind left becomes the new kind's.
  const ProblemKind now = kind();
  if (!readingProblem_) {
    const QString subTitle = followSubTitle(EdtSubTitle->text(), shownKind_, now);
    if (subTitle != EdtSubTitle->text()) {
      EdtSubTitle->setText(subTitle);
      settings.sSubTitle = subTitle;
    }
  }
  shownKind_ = now;
}

// A Make or a composition reached while an edit box still holds text that was never checked
// (through a keyboard accelerator) checks it first, as leaving it would.
bool TForm1::commitEditing() { return focus_.leaveEntered(); }

void TForm1::BtnMakeClick() {
  if (!commitEditing()) return;
  MakeProblems();
}

void TForm1::BtnClearClick() {
  const WindowSheets::ListsChange change(*sheets_);
  Memo1->clear();
  Memo2->clear();
  Memo3->clear();
}

void TForm1::MakeProblems() {
  GenerationSettings run = gen;
  if (!ParseRangeTexts(rangeTexts(), &run)) {
    message(QStringLiteral("数を入力して下さい"));
    return;
  }
  gen.MinV = run.MinV;
  gen.MaxV = run.MaxV;
  const MakeResult r = generator_.MakeProblems(kind(), gen);
  if (r.status == MakeStatus::InvalidRanges) message(r.message);
  if (r.status == MakeStatus::Done) setMemos(r.lists);
}

void TForm1::setMemos(const ProblemLists& lists) {
  // The memos show the lines; the line breaks of the lists are CR LF.
  auto shown = [](QString s) { return s.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); };
  const WindowSheets::ListsChange change(*sheets_);
  Memo1->setPlainText(shown(lists.first));
  Memo2->setPlainText(shown(lists.second));
  Memo3->setPlainText(shown(lists.answers));
}

OperandChoices TForm1::ReadOperandChoices() {
  OperandChoices c;
  c.sign1 = SignMode(std::clamp(Combo1->currentIndex(), 0, 2));
  c.sign2 = SignMode(std::clamp(Combo2->currentIndex(), 0, 2));
  c.random1 = CBox1->isChecked();
  c.random2 = CBox2->isChecked();
  return c;
}

void TForm1::SetStatusText(const QString& text) { StPanel1->setText(text); }
void TForm1::ProcessEvents() { QCoreApplication::processEvents(); }
bool TForm1::SelfTestLabelVisible() { return !LblInf->isHidden(); }
bool TForm1::SelfTestTimerRunning() { return Timer1.isActive(); }
void TForm1::SetSelfTestCaption(const QString& text) { LblInf->setText(text); }
bool TForm1::AskYesNo(const QString& question) { return dialogs().askYesNo(this, messageCaption(), question); }

// ---- Range edits and grid fields ---------------------------------------------------------------

void TForm1::EdtMin1iEnter(QLineEdit* e) { EdtTmp = e->text(); }

bool TForm1::EdtMin1iExit(QLineEdit* e) {
  const auto it = std::find(rangeEdits.begin(), rangeEdits.end(), e);
  if (it == rangeEdits.end()) return true;
  const RangeEdit which = RangeEdit(it - rangeEdits.begin());
  const RangeCheckResult r = CheckRangeEdit(which, rangeTexts(), I1->isChecked());
  if (r.accepted) {
    e->setText(r.text);
    return true;
  }
  e->setText(trimRangeText(e->text()));
  message(r.message);
  e->setText(EdtTmp);
  return false;
}

void TForm1::EdtRowEnter() { EdtTmp = EdtRow->text(); }
void TForm1::EdtColEnter() { EdtTmp = EdtCol->text(); }

bool TForm1::EdtRowExit() {
  const GridCheck g = CheckGridRows(EdtRow->text(), EdtCol->text());
  if (!g.accepted) {
    message(g.message);
    EdtRow->setText(EdtTmp);
    return false;
  }
  EdtRow->setText(QString::number(g.value));
  EdtTotal->setText(QString::number(g.total));
  gen.ExamRowN = g.value;
  return true;
}

bool TForm1::EdtColExit() {
  const GridCheck g = CheckGridCols(EdtCol->text(), EdtRow->text());
  if (!g.accepted) {
    message(g.message);
    EdtCol->setText(EdtTmp);
    return false;
  }
  EdtCol->setText(QString::number(g.value));
  EdtTotal->setText(QString::number(g.total));
  gen.ExamColN = g.value;
  return true;
}

void TForm1::showGrid() {
  EdtRow->setText(QString::number(gen.ExamRowN));
  EdtCol->setText(QString::number(gen.ExamColN));
  EdtTotal->setText(QString::number(int64_t(gen.ExamRowN) * gen.ExamColN));
}

// ---- Option menu -------------------------------------------------------------------------------

void TForm1::RA1Click() {
  gen.nRange = 0;
  RA1->setChecked(true);
}
void TForm1::RB1Click() {
  gen.nRange = 1;
  RB1->setChecked(true);
}
void TForm1::RC1Click() {
  gen.nRange = 2;
  RC1->setChecked(true);
}

void TForm1::E1Click() {
  gen.fJust = E1->isChecked();
  if (!gen.fJust) return;
  const QString old = QString::number(gen.nJust);
  const QString text = dialogs()
                           .inputText(this, QStringLiteral("単純な数の範囲"),
                                      QStringLiteral("上限の値を入力して下さい"), old)
                           .value_or(old);
  const QString keep = QStringLiteral("\n元の値\"") + old + QStringLiteral("\"を使います");
  const std::optional<int32_t> v = parseInt32Text(text);
  if (!v) message(QStringLiteral("入力した文字列は数字ではありません") + keep);
  else if (*v > 1) gen.nJust = *v;
  else message(QStringLiteral("１を越える値で指定し直して下さい") + keep);
}

void TForm1::R1Click() {
  if (rndDialog_) gen.rnd_D = zubira::R1Click(*rndDialog_, gen.rnd_D);
}

// ---- Page captions, date line, name ------------------------------------------------------------

void TForm1::pageStringButton(PageStringId which, QLineEdit* e, QString* field) {
  if (!preview_) return;
  PageModel& m = preview_->model();
  TPageStr& ps = which == PageStringId::Header      ? m.Header
                 : which == PageStringId::Footer    ? m.Footer
                 : which == PageStringId::PageTitle ? m.PageTitle
                                                    : m.SubTitle;
  ps.psStr = e->text();
  preview_->Set_SetOf(which);
  e->setText(ps.psStr);
  *field = e->text();
  ps.psStr.clear();
}

void TForm1::BtnTitleClick() { pageStringButton(PageStringId::PageTitle, EdtPageTitle, &settings.sPageTitle); }
void TForm1::BtnSubTitleClick() { pageStringButton(PageStringId::SubTitle, EdtSubTitle, &settings.sSubTitle); }
void TForm1::BtnHeaderClick() { pageStringButton(PageStringId::Header, EdtHeader, &settings.sHeader); }
void TForm1::BtnFooterClick() { pageStringButton(PageStringId::Footer, EdtFooter, &settings.sFooter); }

void TForm1::D1Click() {
  DateTime.psStr = settings.sDateTime;
  if (preview_) preview_->editPageString(DateTime, QStringLiteral("日付の設定"));
  settings.sDateTime = DateTime.psStr;
  DateTime.psStr.clear();
}

void TForm1::N5Click() {
  const std::optional<QString> name = dialogs().inputText(
      this, QStringLiteral("名前の見出し"), QStringLiteral("見出しの文字列を入力して下さい"), settings.sName);
  if (name) settings.sName = *name;
}

// ---- Preview, printing, files, help ------------------------------------------------------------

void TForm1::Button1Click() { ComposeWorksheet(WorksheetComposer::ProblemSheet); }
void TForm1::Button2Click() { ComposeWorksheet(WorksheetComposer::AnswerSheet); }
void TForm1::Button3Click() { ComposeWorksheet(WorksheetComposer::SolutionSheet); }

void TForm1::ComposeWorksheet(int sheetKind) {
  if (!commitEditing() || !preview_) return;
  sheets_->show(sheetKind);
}

void TForm1::Style1Click() {
  if (styleDialog_) {
    styleDialog_->setSettings(&settings, &gen);
    styleDialog_->exec();
  }
  showGrid();
}

void TForm1::S1Click() {
  if (preview_) preview_->SetPrinter();
}

void TForm1::Print1Click() {
  if (!commitEditing()) return;
  const QString status = sheets_->print();
  if (!status.isEmpty()) StPanel1->setText(status);
}

void TForm1::SavePdf1Click() {
  if (!commitEditing()) return;
  const QString status = sheets_->savePdf();
  if (!status.isEmpty()) StPanel1->setText(status);
}

void TForm1::SaveVersionsClick() {
  if (!commitEditing()) return;
  GenerationSettings run = gen;
  if (!ParseRangeTexts(rangeTexts(), &run)) {
    message(QStringLiteral("数を入力して下さい"));
    return;
  }
  if (!versionsDialog_) versionsDialog_ = new FrmVersions(this);
  PageModel* page = preview_ ? &preview_->model() : nullptr;
  versionsDialog_->setSource({settings, run, DateTime, kind(), ReadOperandChoices(), random_, page,
                              page ? page->printerAccess().printer() : nullptr});
  versionsDialog_->exec();
}

void TForm1::MixSheetClick() {
  if (!mixDialog_) mixDialog_ = new TFrmMix(this, preview_, settings, gen, DateTime, presetMenu_, random_);
  mixDialog_->show();
  mixDialog_->raise();
  mixDialog_->activateWindow();
}

void TForm1::Exit1Click() { close(); }

void TForm1::A1Click() {
  if (aboutBox_) aboutBox_->exec();
}

void TForm1::HelpLocalClick() { openLocalManual(this, QCoreApplication::applicationDirPath()); }
void TForm1::Help2Click() { openHelpLink(this, siteLinks().help); }
void TForm1::StBarInfClick() { openHelpLink(this, siteLinks().home); }

// ---- Self-test ---------------------------------------------------------------------------------

void TForm1::Label7Click() {
  if (!LblInf->isHidden()) {
    LblInf->hide();
    return;
  }
  if (dialogs().askYesNo(this, QStringLiteral("テスト機能"), QStringLiteral("この機能は保証外です。続けますか")))
    LblInf->show();
}

void TForm1::LblInfClick() {
  if (LblInf->isHidden()) return;
  const SelfTestClick c = selfTest.Click(rangeTexts(), Timer1.isActive());
  switch (c.outcome) {
    case SelfTestClickOutcome::Refused:
      message(c.message);
      break;
    case SelfTestClickOutcome::Started:
      Timer1.start();
      break;
    case SelfTestClickOutcome::Stopped:
      Timer1.stop();
      for (int k = 0; k < RangeEditCount; ++k) rangeEdits[size_t(k)]->setText(c.texts[size_t(k)]);
      break;
  }
}

void TForm1::Timer1Timer() {
  // A tick that arrives while a run processes events (or asks its question) waits for the next.
  if (generator_.running()) return;
  if (selfTest.DrawsThisTick()) {
    const SelfTestDraw d = DrawSelfTestRanges(selfTest.TestV, *random_, gen.fInt);
    for (int k = 0; k < RangeEditCount; ++k) rangeEdits[size_t(k)]->setText(d.texts[size_t(k)]);
    if (!d.status.isEmpty()) StPanel1->setText(d.status);
    if (!d.feasible) return;
  }
  QCoreApplication::processEvents();
  MakeProblems();
  selfTest.TickDone();
}

}  // namespace zubira
