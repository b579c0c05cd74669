#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "Options/OptionsForm.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

class OptionsTest : public ProgramTest {
 protected:
  TOptionsForm& Start() {
    StartAndShowRuler0();
    OptionsForm->Show();
    return *OptionsForm;
  }
  headless::HeadlessControl& Native(const TControl& c) { return *Os.Find(*OptionsForm)->Find(c); }
  TRulerForm& Ruler() { return *ActiveRuler(); }
};

TEST_F(OptionsTest, ParseIntegerTakesDecimalIntegersOnly) {
  const std::vector<std::pair<std::string, std::optional<int32_t>>> cases{
      {"640", 640},
      {" 12 ", 12},
      {"-20", -20},
      {"+7", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"", std::nullopt},
      {"  ", std::nullopt},
      {"abc", std::nullopt},
      {"12a", std::nullopt},
      {"1e3", std::nullopt},
      {"0x10", std::nullopt},
      {"2147483648", std::nullopt},
      {"1 2", std::nullopt},
      {"--1", std::nullopt},
      {"+-5", std::nullopt},
      {"-+5", std::nullopt},
      {"++5", std::nullopt},
      {"--5", std::nullopt},
      {"+ 5", std::nullopt},
      {"- 5", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {" +5 ", 5},
      {"-0", 0},
      {std::string(20000, '7'), std::nullopt}};
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(ParseInteger(text), expected) << "\"" << text.substr(0, 20) << "\"";
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST_F(OptionsTest, AFontNameIsCutAt31CharactersNeverInsideOne) {
  const std::string kUdDigital = "UD \u30C7\u30B8\u30BF\u30EB \u6559\u79D1\u66F8\u4F53 NK-R";
  ASSERT_EQ(kUdDigital.size(), 33u);          // 18 characters
  const std::string kKyo = "\u6559";          // 3 bytes
  const std::string kAncient = "\U00020000";  // 4 bytes, two UTF-16 units
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
      {"Verdana", "Verdana"},
      {kUdDigital, kUdDigital},
      {Repeat(kKyo, 11), Repeat(kKyo, 11)},
      {Repeat(kKyo, 40), Repeat(kKyo, 31)},
      {Repeat(kAncient, 32), Repeat(kAncient, 31)},
      {std::string(40, 'x'), std::string(31, 'x')},
      {std::string(30, 'a') + "\u00E9b", std::string(30, 'a') + "\u00E9"},
      // The smallest and largest of each length.
      {"\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
       "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
      {"", std::nullopt},
      {"\xFF", std::nullopt},
      {"Ari\xC3", std::nullopt},               // a character cut short
      {"\xC0\xAF", std::nullopt},              // an overlong "/"
      {"\xED\xA0\x80", std::nullopt},          // a surrogate
      {"\xF4\x90\x80\x80", std::nullopt},      // past U+10FFFF
      {std::string("a\0b", 3), std::nullopt},  // a NUL
      {std::string(40, 'x') + "\xFF", std::nullopt}};
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(FontNameFromText(text), expected) << ::testing::PrintToString(text);
}

TEST_F(OptionsTest, ATypedFontNameReachesTheRulerWholeAndTheReloadShowsIt) {
  TOptionsForm& o = Start();
  const std::string kUdDigital = "UD \u30C7\u30B8\u30BF\u30EB \u6559\u79D1\u66F8\u4F53 NK-R";
  Native(o.FontNameComboBox).UserSetText(kUdDigital);
  EXPECT_EQ(Ruler().Font().Name(), kUdDigital);
  Native(o.FontNameComboBox).UserSetText("Ari\xC3");  // not text: the ruler keeps its font
  EXPECT_EQ(Ruler().Font().Name(), kUdDigital);
  o.Hide();
  o.Show();
  EXPECT_EQ(o.FontNameComboBox.Text(), kUdDigital);
  EXPECT_EQ(Native(o.FontNameComboBox).Text(), kUdDigital);
}

TEST_F(OptionsTest, TheWindowShowsTheActiveRuler) {
  TOptionsForm& o = Start();
  EXPECT_EQ(o.ScaleComboBox.Text(), "640");
  EXPECT_EQ(o.LeftMarginComboBox.Text(), "5");
  EXPECT_EQ(o.BreadthComboBox.Text(), "50");
  EXPECT_EQ(o.OrientationComboBox.ItemIndex(), 0);
  EXPECT_EQ(o.FontNameComboBox.Text(), "Arial");
  EXPECT_EQ(o.FontColorBox.Selected(), 0x000000u);
  EXPECT_TRUE(o.AlphaBlendCheckBox.Checked());
  EXPECT_EQ(o.AlphaBlendValueTrackBar.Position(), 192);
  EXPECT_EQ(o.LuminosityTrackBar.Position(), 0);
  const std::vector<std::string> sizes{"29", "19", "17", "12"};
  const std::vector<bool> numbers{true, true, true, false};
  const std::vector<std::string> fonts{"7", "7", "7", "6"};
  for (int level = 0; level < kTickLevels; ++level) {
    const auto& t = o.Ticks[static_cast<size_t>(level)];
    EXPECT_TRUE(t.ShowTickCheckBox.Checked());
    EXPECT_EQ(t.TickSizeComboBox.Text(), sizes[static_cast<size_t>(level)]);
    EXPECT_EQ(t.ShowNumberCheckBox.Checked(), numbers[static_cast<size_t>(level)]);
    EXPECT_EQ(t.FontSizeComboBox.Text(), fonts[static_cast<size_t>(level)]);
    EXPECT_EQ(t.Box.Visible(), level == Tick100);
    EXPECT_EQ(t.Box.BoundsRect(), (Rect{212, 104, 119, 143}));
  }
  // The native controls show the same.
  EXPECT_EQ(Native(o.ScaleComboBox).Text(), "640");
  EXPECT_EQ(Native(o.AlphaBlendValueTrackBar).Position(), 192);
  EXPECT_EQ(Native(o.AlphaBlendValueTrackBar).Min(), 64);
  EXPECT_EQ(Native(o.LuminosityTrackBar).Min(), -50);
}

TEST_F(OptionsTest, TypingIntoScaleAppliesEachKeystrokeAndKeepsWhatWasTyped) {
  TOptionsForm& o = Start();
  auto& box = Native(o.ScaleComboBox);
  box.UserSetText("");
  std::vector<int32_t> applied;
  for (char c : std::string("1024")) {
    box.UserType(std::string(1, c));
    applied.push_back(Ruler().Scale());
    // The box shows what was typed, not the clamped value.
    EXPECT_EQ(box.Text(), std::string("1024").substr(0, applied.size()));
  }
  EXPECT_EQ(applied, (std::vector<int32_t>{100, 100, 102, 1024}));
  EXPECT_EQ(WindowOf(Ruler()).Bounds().Width, 1034);
  // Typing "1" alone shows the clamped value at the next refresh.
  box.UserSetText("1");
  EXPECT_EQ(box.Text(), "1");
  o.RefreshFromRuler();
  EXPECT_EQ(box.Text(), "100");
}

struct BadNumberCase {
  const char* name;
  std::string text;
};
void PrintTo(const BadNumberCase& c, std::ostream* os) { *os << c.name; }

class BadNumbers : public OptionsTest, public ::testing::WithParamInterface<BadNumberCase> {};

TEST_P(BadNumbers, ChangeNothingAndTheBoxKeepsItsText) {
  TOptionsForm& o = Start();
  const RulerSettings before = Ruler().Settings();
  for (TComboBox* box : {&o.ScaleComboBox, &o.LeftMarginComboBox, &o.RightMarginComboBox,
                         &o.BreadthComboBox, &o.Ticks[Tick50].TickSizeComboBox}) {
    Native(*box).UserSetText(GetParam().text);
    EXPECT_EQ(box->Text(), GetParam().text);
  }
  EXPECT_EQ(Ruler().Settings().Scale, before.Scale);
  EXPECT_EQ(Ruler().Settings().LeftMargin, before.LeftMargin);
  EXPECT_EQ(Ruler().Settings().Breadth, before.Breadth);
  EXPECT_EQ(Ruler().Settings().TickSize, before.TickSize);
  EXPECT_TRUE(Os.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Texts, BadNumbers,
                         ::testing::Values(BadNumberCase{"Empty", ""},
                                           BadNumberCase{"Letters", "abc"},
                                           BadNumberCase{"Exponent", "1e3"},
                                           BadNumberCase{"Beyond32Bits", "4294967296"},
                                           BadNumberCase{"Pasted20000", std::string(20000, '9')}),
                         [](const auto& info) { return std::string(info.param.name); });

// A breadth typed into the box or found in the store: what the ruler takes,
// what the box shows once reloaded, and what the next close stores.
struct BreadthCase {
  const char* name;
  std::optional<std::string> typed;  // typed into the box once the window shows
  std::optional<int32_t> stored;     // in the store before the start
  int32_t breadth;                   // the ruler's, the window's height, the box's, the store's
};
void PrintTo(const BreadthCase& c, std::ostream* os) { *os << c.name; }

class Breadth : public OptionsTest, public ::testing::WithParamInterface<BreadthCase> {};

TEST_P(Breadth, TheBoxShowsWhatTheRulerIsDrawnAtAndTheCloseStoresIt) {
  const BreadthCase& c = GetParam();
  if (c.stored) Os.Registry.PutInteger(Key(0), "Breadth", static_cast<uint32_t>(*c.stored));
  TOptionsForm& o = Start();
  if (c.typed) {
    Native(o.BreadthComboBox).UserSetText(*c.typed);
    EXPECT_EQ(o.BreadthComboBox.Text(), *c.typed);  // what the user typed stays while typing
  }
  EXPECT_EQ(Ruler().Breadth(), c.breadth);
  EXPECT_EQ(WindowOf(Ruler()).Bounds().Height, c.breadth);
  o.Hide();
  o.Show();
  EXPECT_EQ(o.BreadthComboBox.Text(), std::to_string(c.breadth));
  Ruler().Close();
  EXPECT_EQ(static_cast<int32_t>(Os.Registry.Get(Key(0), "Breadth")->Integer), c.breadth);
}

INSTANTIATE_TEST_SUITE_P(
    TypedAndStored, Breadth,
    ::testing::Values(BreadthCase{"Typed600", "600", std::nullopt, 512},
                      BreadthCase{"Stored600", std::nullopt, 600, 512},
                      BreadthCase{"Stored512", std::nullopt, 512, 512},
                      BreadthCase{"Typed0", "0", std::nullopt, 1},
                      // Below 1 in the store is damage: the default, as before.
                      BreadthCase{"Stored0", std::nullopt, 0, 50},
                      BreadthCase{"TypedNegative", "-5", std::nullopt, 1},
                      BreadthCase{"Typed1", "1", std::nullopt, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// The Options window active again gives the keyboard back to the control
// that had it, or to the first when that one can't take it.
class Refocus;
struct RefocusCase {
  const char* name;
  std::function<TControl&(TOptionsForm&)> focused;   // the control the user was in
  std::function<void(Refocus&)> away;                // how the window lost the activation
  std::function<void(Refocus&)> back;                // how it got it back
  std::function<TControl&(TOptionsForm&)> expected;  // the control with the keyboard then
};
void PrintTo(const RefocusCase& c, std::ostream* os) { *os << c.name; }

class Refocus : public OptionsTest, public ::testing::WithParamInterface<RefocusCase> {
 public:
  // What the user and the system do meanwhile.
  void ClickRuler0() { WindowOf(Slot(0)).Focus(); }
  void ClickCaption() { Os.Find(*OptionsForm)->Focus(); }
  void TurnToAnotherProgram() { Os.ActivateOtherProgram(); }
};

TEST_P(Refocus, TheKeyboardGoesBackToTheLastControl) {
  const RefocusCase& c = GetParam();
  TOptionsForm& o = Start();
  Native(c.focused(o)).Focus();
  c.away(*this);
  EXPECT_NE(Os.Focused, Os.Find(o));
  c.back(*this);
  ASSERT_EQ(Os.Focused, Os.Find(o));
  EXPECT_EQ(Os.Find(o)->FocusedControl, &Native(c.expected(o)));
}

using Pick = TControl& (*)(TOptionsForm&);
const Pick kLuminosity = [](TOptionsForm& o) -> TControl& { return o.LuminosityTrackBar; };
const Pick kBreadth = [](TOptionsForm& o) -> TControl& { return o.BreadthComboBox; };
const Pick kScale = [](TOptionsForm& o) -> TControl& { return o.ScaleComboBox; };
const Pick kAlphaBlend = [](TOptionsForm& o) -> TControl& { return o.AlphaBlendCheckBox; };
const Pick kTickSize100 = [](TOptionsForm& o) -> TControl& {
  return o.Ticks[Tick100].TickSizeComboBox;
};
const Pick kFontName = [](TOptionsForm& o) -> TControl& { return o.FontNameComboBox; };

INSTANTIATE_TEST_SUITE_P(
    Activations, Refocus,
    ::testing::Values(RefocusCase{"CaptionClickedAfterARuler", kLuminosity,
                                  [](Refocus& t) { t.ClickRuler0(); },
                                  [](Refocus& t) { t.ClickCaption(); }, kLuminosity},
                      RefocusCase{"BackFromAnotherProgram", kBreadth,
                                  [](Refocus& t) { t.TurnToAnotherProgram(); },
                                  [](Refocus& t) { t.ClickCaption(); }, kBreadth},
                      // The system hands the activation on to the Options window.
                      RefocusCase{"ARulerInFrontCloses", kScale,
                                  [](Refocus& t) { t.SetRulerVisible(3, true); },
                                  [](Refocus& t) {
                                    t.RulerForms[3]->Close();
                                    t.ClickCaption();
                                  },
                                  kScale},
                      RefocusCase{"HiddenAndShownByTheCommand", kAlphaBlend,
                                  [](Refocus& t) { t.DM->OptionsAction.Execute(); },
                                  [](Refocus& t) { t.DM->OptionsAction.Execute(); }, kAlphaBlend},
                      // Its tick box hidden meanwhile, the control can't take the keyboard.
                      RefocusCase{"TheControlHiddenMeanwhile", kTickSize100,
                                  [](Refocus& t) {
                                    t.ClickRuler0();
                                    t.OptionsForm->Ticks[Tick100].Box.Hide();
                                  },
                                  [](Refocus& t) { t.ClickCaption(); }, kFontName}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OptionsTest, EachTickBoxEditsItsOwnLevel) {
  TOptionsForm& o = Start();
  Native(o.TicksComboBox).UserChoose(1);  // "Each 50 Pixels"
  EXPECT_TRUE(Native(o.Ticks[Tick50].TickSizeComboBox).ShownOnScreen());
  Native(o.Ticks[Tick50].TickSizeComboBox).UserSetText("23");
  EXPECT_EQ(Ruler().GetTickSize(Tick50), 23);
  EXPECT_EQ(Ruler().GetTickSize(Tick100), 29);
  EXPECT_EQ(Ruler().GetTickSize(Tick10), 17);
  Native(o.Ticks[Tick50].ShowNumberCheckBox).UserClick();
  EXPECT_FALSE(Ruler().GetShowNumber(Tick50));
  EXPECT_TRUE(Ruler().GetShowNumber(Tick100));
  Native(o.Ticks[Tick50].FontSizeComboBox).UserChoose(5);  // "10"
  EXPECT_EQ(Ruler().GetFontSize(Tick50), 10);
  Native(o.Ticks[Tick50].ShowTickCheckBox).UserClick();
  EXPECT_FALSE(Ruler().GetShowTick(Tick50));
  EXPECT_TRUE(Ruler().GetShowTick(Tick5));
}

TEST_F(OptionsTest, TheChosenTickLevelShowsItsBoxAndKeepsItAcrossShowings) {
  TOptionsForm& o = Start();
  Native(o.TicksComboBox).UserChoose(2);  // "Each 10 Pixels"
  auto visible = [&] {
    std::vector<bool> v;
    for (auto& t : o.Ticks) v.push_back(Native(t.Box).ShownOnScreen());
    return v;
  };
  EXPECT_EQ(visible(), (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(o.Ticks[Tick10].Box.BoundsRect(), o.Ticks[Tick100].Box.BoundsRect());
  o.Hide();
  o.Show();
  EXPECT_EQ(visible(), (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(o.TicksComboBox.ItemIndex(), 2);
}

TEST_F(OptionsTest, OrientationItemsAreTheOrientations) {
  TOptionsForm& o = Start();
  const std::vector<std::pair<int, uint8_t>> cases{
      {3, BottomToTop}, {1, TopToBottom}, {0, LeftToRight}};
  for (const auto& [item, orientation] : cases) {
    Native(o.OrientationComboBox).UserChoose(item);
    EXPECT_EQ(Ruler().Orientation(), orientation);
  }
}

TEST_F(OptionsTest, StoredValuesOutsideTheControlsAreShownWithoutHarm) {
  Os.Registry.PutInteger(Key(0), "FontSize100", 40);
  Os.Registry.PutInteger(Key(0), "Luminosity", 300);
  Os.Registry.PutInteger(Key(0), "Breadth", 0);
  TOptionsForm& o = Start();
  EXPECT_EQ(o.Ticks[Tick100].FontSizeComboBox.ItemIndex(), -1);
  EXPECT_EQ(Native(o.Ticks[Tick100].FontSizeComboBox).ItemIndex(), -1);
  EXPECT_EQ(o.BreadthComboBox.Text(), std::to_string(Ruler().Breadth()));
  // The bar stands at its end and hands that to the ruler.
  EXPECT_EQ(o.LuminosityTrackBar.Position(), 50);
  EXPECT_EQ(Ruler().Luminosity(), 50);
  EXPECT_EQ(Ruler().GetFontSize(Tick100), 40);
}

TEST_F(OptionsTest, ATrackBarHandsItsEndToTheRulerOnlyWhenItHadToMove) {
  TOptionsForm& o = Start();
  // The bar stands at 192: loading 30 moves it to 64, which the ruler gets.
  Ruler().SetAlphaBlendValue(30);
  o.RefreshFromRuler();
  EXPECT_EQ(o.AlphaBlendValueTrackBar.Position(), 64);
  EXPECT_EQ(Ruler().AlphaBlendValue(), 64);
  // Now the bar already stands at 64: the ruler keeps 30.
  Ruler().SetAlphaBlendValue(30);
  o.RefreshFromRuler();
  EXPECT_EQ(o.AlphaBlendValueTrackBar.Position(), 64);
  EXPECT_EQ(Ruler().AlphaBlendValue(), 30);
}

TEST_F(OptionsTest, AlphaBlendAndTheFontChangeTheRulerDirectly) {
  TOptionsForm& o = Start();
  headless::HeadlessWindow& w = WindowOf(Ruler());
  Native(o.AlphaBlendValueTrackBar).UserSetPosition(200);
  EXPECT_EQ(w.Alpha(), 200);
  Native(o.AlphaBlendCheckBox).UserClick();
  EXPECT_FALSE(w.OpacityEnabled());
  EXPECT_EQ(Ruler().AlphaBlendValue(), 200);
  Native(o.AlphaBlendCheckBox).UserClick();
  EXPECT_TRUE(w.OpacityEnabled());
  EXPECT_EQ(w.Alpha(), 200);

  const uint64_t renders = Ruler().RenderCount();
  Native(o.FontNameComboBox).UserSetText("Verdana");
  EXPECT_EQ(Ruler().Font().Name(), "Verdana");
  EXPECT_GT(Ruler().RenderCount(), renders);
  Native(o.FontNameComboBox).UserSetText(std::string(40, 'x'));
  EXPECT_EQ(Ruler().Font().Name(), std::string(31, 'x'));
  Native(o.FontNameComboBox).UserSetText("");
  EXPECT_EQ(Ruler().Font().Name(), std::string(31, 'x'));
  Native(o.LuminosityTrackBar).UserSetPosition(-20);
  EXPECT_EQ(Ruler().Luminosity(), -20);
}

TEST_F(OptionsTest, TheColourListOffersCustomFirstAndTheChooserDecides) {
  TOptionsForm& o = Start();
  auto& box = Native(o.FontColorBox);
  ASSERT_EQ(box.Items().size(), 21u);
  EXPECT_EQ(box.Items()[0], "Custom...");
  EXPECT_EQ(box.Items()[10], "Red");
  EXPECT_EQ(box.Items()[20], "Medium Gray");
  EXPECT_EQ(box.ItemColors()[10], 0x0000FFu);
  box.UserChoose(10);
  EXPECT_EQ(Ruler().Font().Color(), 0x0000FFu);
  // Cancelled: nothing changes, the list shows what it showed.
  Os.ColorChooserAnswer = std::nullopt;
  box.UserChoose(0);
  EXPECT_EQ(Ruler().Font().Color(), 0x0000FFu);
  EXPECT_EQ(box.ItemIndex(), 10);
  // Accepted: the colour is kept in "Custom..." and chosen.
  Os.ColorChooserAnswer = 0x123456;
  box.UserChoose(0);
  EXPECT_EQ(Ruler().Font().Color(), 0x123456u);
  EXPECT_EQ(box.ItemColors()[0], 0x123456u);
  // A loaded colour not in the list lands in "Custom..." too.
  Ruler().Font().SetColor(0x010203);
  o.RefreshFromRuler();
  EXPECT_EQ(box.ItemIndex(), 0);
  EXPECT_EQ(box.ItemColors()[0], 0x010203u);
  Os.ColorChooserAnswer = std::nullopt;
  box.UserChoose(0);
  EXPECT_EQ(Os.ColorChooserPresets.back(), 0x010203u);
}

TEST_F(OptionsTest, AnotherActiveRulerReloadsEveryControlAndPressesItsButton) {
  TOptionsForm& o = Start();
  SetRulerVisible(4, true);  // 800 long, top to bottom, orange
  EXPECT_EQ(o.ScaleComboBox.Text(), "800");
  EXPECT_EQ(o.OrientationComboBox.ItemIndex(), 1);
  const auto& bar = Native(o.RulersToolBar);
  ASSERT_EQ(bar.Buttons().size(), 10u);
  EXPECT_EQ(bar.ButtonsDown(), (std::vector<bool>{false, false, false, false, true, false, false,
                                                  false, false, false}));
  EXPECT_TRUE(bar.Buttons()[8].Check);
  EXPECT_FALSE(bar.Buttons()[9].Check);
  // The Options window itself active: it keeps editing ruler 4.
  o.SetFocus();
  EXPECT_EQ(ActiveRulerIndex(), 4);
  Native(o.BreadthComboBox).UserSetText("64");
  EXPECT_EQ(Slot(4).Breadth(), 64);
  EXPECT_EQ(Slot(0).Breadth(), 50);
  // A tool button runs its ruler's command.
  Native(o.RulersToolBar).UserClickButton(4);
  EXPECT_FALSE(GetRulerVisible(4));
}

TEST_F(OptionsTest, TheFontListHasDefaultAndEachFamilyOnceSortedWithoutRegardToCase) {
  EXPECT_EQ(FontNameList({"tahoma", "Arial", "Zapf", "Arial", "courier", ""}),
            (std::vector<std::string>{"Arial", "courier", "Default", "tahoma", "Zapf"}));
  Os.FontFamilies = {"Verdana", "Arial", "Verdana"};
  TOptionsForm& o = Start();
  EXPECT_EQ(o.FontNameComboBox.Items(), (std::vector<std::string>{"Arial", "Default", "Verdana"}));
}

TEST_F(OptionsTest, TheLayoutFollowsTheMonitorsDensity) {
  TOptionsForm& o = Start();
  headless::HeadlessWindow& w = *Os.Find(o);
  EXPECT_EQ(Native(o.ScaleComboBox).Params().Bounds, (Rect{76, 16, 89, 21}));
  EXPECT_EQ(Native(o.LuminosityTrackBar).Params().ThumbLength, 16);
  EXPECT_EQ(w.SmallIcon().Width(), 16);
  w.MoveToDpi(144);
  // The thumbs and the icon too, and back.
  for (const TTrackBar* bar : {&o.AlphaBlendValueTrackBar, &o.LuminosityTrackBar})
    EXPECT_EQ(Native(*bar).Params().ThumbLength, 24);
  EXPECT_EQ(w.SmallIcon().Width(), 24);
  EXPECT_EQ(w.LargeIcon().Width(), 48);
  EXPECT_EQ(w.ClientSize(), (Point{510, 599}));
  EXPECT_EQ(Native(o.ScaleComboBox).Params().Bounds, (Rect{114, 24, 134, 32}));
  EXPECT_EQ(Native(o.ScaleLabel).Params().Font.Height, 17);
  EXPECT_EQ(Native(o.RulersToolBar).Buttons()[0].Picture.Width(), 24);
  // Rulers never scale, told of the new density as well.
  const Rect ruler = WindowOf(Slot(0)).Bounds();
  const uint64_t renders = Slot(0).RenderCount();
  WindowOf(Slot(0)).MoveToDpi(144);
  EXPECT_EQ(WindowOf(Slot(0)).Bounds(), ruler);
  EXPECT_EQ(WindowOf(Slot(0)).Bounds().Width, 650);
  EXPECT_EQ(Slot(0).RenderCount(), renders);
  w.MoveToDpi(96);
  EXPECT_EQ(Native(o.LuminosityTrackBar).Params().ThumbLength, 16);
  EXPECT_EQ(w.LargeIcon().Width(), 32);
}

TEST_F(OptionsTest, WithNoActiveRulerTheHandlersDoNothing) {
  // The window over slots with no ruler yet, as before ruler 0 is made.
  TApplication app(Os);
  TRulerSlots rulers(app);
  TDM dm(app, rulers);
  TProgramOptions options(app);
  TOptionsForm o(app, rulers, dm, options);
  o.Show();
  auto native = [&](const TControl& c) -> headless::HeadlessControl& {
    return *Os.Find(o)->Find(c);
  };
  native(o.ScaleComboBox).UserSetText("800");
  native(o.AlphaBlendCheckBox).UserClick();
  native(o.LuminosityTrackBar).UserSetPosition(10);
  EXPECT_EQ(o.ScaleComboBox.Text(), "800");
  EXPECT_TRUE(Os.Errors.empty());
}

TEST_F(OptionsTest, MadeAtStartUpTheWindowCostsOneHiddenWindowUntilItIsFirstShown) {
  StartAndShowRuler0();
  TOptionsForm& o = *OptionsForm;
  headless::HeadlessWindow& w = *Os.Find(o);
  SetRulerVisible(4, true);  // a refresh while hidden
  EXPECT_TRUE(w.Controls().empty());
  EXPECT_EQ(Os.FontFamilyQueries, 0);
  EXPECT_EQ(o.ScaleComboBox.Text(), "800");
  o.Show();
  EXPECT_EQ(w.Controls().size(), 62u);
  EXPECT_EQ(Os.FontFamilyQueries, 1);
  EXPECT_EQ(Native(o.FontNameComboBox).Items(), FontNameList(Os.FontFamilies));
  EXPECT_EQ(Native(o.ScaleComboBox).Text(), "800");
  o.Hide();
  o.Show();
  EXPECT_EQ(Os.FontFamilyQueries, 1);
}

// What every native control of the window shows, one line each.
std::vector<std::string> Snapshot(const headless::HeadlessWindow& w) {
  std::vector<std::string> lines;
  for (const headless::HeadlessControl* c : w.Controls()) {
    const headless::ControlRecord& p = c->Params();
    std::ostringstream line;
    line << static_cast<int>(p.Kind) << " " << p.Text << " [" << c->Text() << "] " << p.Bounds.Left
         << "," << p.Bounds.Top << "," << p.Bounds.Width << "x" << p.Bounds.Height
         << (p.Visible ? " shown" : " hidden") << (c->Checked() ? " checked" : "") << " item "
         << c->ItemIndex() << " position " << c->Position() << " range " << c->Min() << ".."
         << c->Max() << " font " << p.Font.Face << p.Font.Height << " picture "
         << c->Picture().Width() << " items";
    for (const std::string& item : c->Items()) line << " " << item;
    for (TColor color : c->ItemColors()) line << " " << color;
    for (size_t i = 0; i < c->Buttons().size(); ++i)
      line << (c->ButtonsDown()[i] ? " down" : c->Buttons()[i].Check ? " up" : " button");
    lines.push_back(line.str());
  }
  return lines;
}

TEST_F(OptionsTest, AtItsFirstShowingTheWindowShowsWhatItWouldHadItsControlsBeenThereAllAlong) {
  // The same run twice: once with the window first shown at the end, once
  // with it shown and hidden again before the changes.
  std::vector<std::string> seen[2];
  for (int run = 0; run < 2; ++run) {
    TearDown();
    SetUp();
    StartAndShowRuler0();
    TOptionsForm& o = *OptionsForm;
    if (run == 1) {
      o.Show();
      o.Hide();
    }
    // While hidden: another ruler, a colour not in the list, a luminosity
    // beyond the bar's end, and a font size that is no item.
    Slot(0).Font().SetColor(0x010203);
    Slot(0).SetLuminosity(80);
    Slot(0).SetFontSize(Tick10, 12);
    SetRulerVisible(4, true);
    BringRulerToFront(0);
    o.Show();
    seen[run] = Snapshot(*Os.Find(o));
    EXPECT_EQ(Slot(0).Luminosity(), 50) << "the bar handed its end to the ruler";
  }
  ASSERT_EQ(seen[0].size(), seen[1].size());
  for (size_t i = 0; i < seen[0].size(); ++i) EXPECT_EQ(seen[0][i], seen[1][i]) << "control " << i;
}

}  // namespace
}  // namespace vr::test
