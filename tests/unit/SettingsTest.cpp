#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "TestSupport.h"

namespace vr::test {
namespace {

const std::vector<std::string> kValueOrder{
    "CenterPoint",   "Scale",       "LeftMargin",      "RightMargin",  "Breadth",
    "Orientation",   "Luminosity",  "AlphaBlendValue", "ShowTick100",  "TickSize100",
    "ShowNumber100", "FontSize100", "ShowTick50",      "TickSize50",   "ShowNumber50",
    "FontSize50",    "ShowTick10",  "TickSize10",      "ShowNumber10", "FontSize10",
    "ShowTick5",     "TickSize5",   "ShowNumber5",     "FontSize5"};

TEST(SettingsKeyPathTest, NamesTheSlotWithATrailingSeparator) {
  EXPECT_EQ(SettingsKeyPath(0), "SOFTWARE\\Vantori\\Rulers\\0\\");
  EXPECT_EQ(SettingsKeyPath(9), "SOFTWARE\\Vantori\\Rulers\\9\\");
}

struct ParseCase {
  std::string text;
  bool ok;
  Point expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << (c.text.size() > 20 ? c.text.substr(0, 20) + "..." : c.text);
}

class CenterPointParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CenterPointParse, AcceptsOnlyTwoDecimalSides) {
  const ParseCase& c = GetParam();
  Point p{11, 22};
  EXPECT_EQ(ParseCenterPoint(c.text, p), c.ok) << c.text;
  const Point unchanged{11, 22};
  EXPECT_EQ(p, c.ok ? c.expected : unchanged) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CenterPointParse,
    ::testing::Values(ParseCase{"683,384", true, {683, 384}},
                      ParseCase{"-20,1500", true, {-20, 1500}}, ParseCase{"+7,-8", true, {7, -8}},
                      ParseCase{"  7,  8", true, {7, 8}},
                      ParseCase{"-2147483648,2147483647", true, {INT32_MIN, INT32_MAX}},
                      ParseCase{"100", false, {}}, ParseCase{"a,5", false, {}},
                      ParseCase{"1,2,3", false, {}}, ParseCase{"", false, {}},
                      ParseCase{",5", false, {}}, ParseCase{"5,", false, {}},
                      ParseCase{"7 ,8", false, {}}, ParseCase{"7,8 ", false, {}},
                      ParseCase{"0x10,5", false, {}}, ParseCase{"--1,5", false, {}},
                      ParseCase{"2147483648,0", false, {}}, ParseCase{"1,-", false, {}},
                      // Only 9999 characters after the comma are read.
                      ParseCase{"1," + std::string(9999, '0') + "5", true, {1, 0}},
                      ParseCase{"1," + std::string(9998, '0') + "5", true, {1, 5}}));

TEST(CenterPointFormat, WritesDecimalPairWithoutBlanks) {
  EXPECT_EQ(FormatCenterPoint({683, 384}), "683,384");
  EXPECT_EQ(FormatCenterPoint({-20, -1}), "-20,-1");
}

using SettingsTest = ProgramTest;

TEST_F(SettingsTest, FreshRuler0TakesTheDefaults) {
  TRulerForm& r = StartRuler0();
  const RulerSettings& s = r.Settings();
  EXPECT_EQ(s.CenterPoint, (Point{683, 384}));
  EXPECT_EQ(s.Scale, 640);
  EXPECT_EQ(s.LeftMargin, 5);
  EXPECT_EQ(s.RightMargin, 5);
  EXPECT_EQ(s.Breadth, 50);
  EXPECT_EQ(s.Orientation, LeftToRight);
  EXPECT_EQ(s.Luminosity, 0);
  EXPECT_EQ(s.AlphaBlendValue, 192);
  EXPECT_TRUE(s.AlphaBlend);
  EXPECT_EQ(s.ShowTick, (std::array<bool, 4>{true, true, true, true}));
  EXPECT_EQ(s.TickSize, (std::array<int32_t, 4>{29, 19, 17, 12}));
  EXPECT_EQ(s.ShowNumber, (std::array<bool, 4>{true, true, true, false}));
  EXPECT_EQ(s.FontSize, (std::array<int32_t, 4>{7, 7, 7, 6}));
  EXPECT_EQ(s.BaseColor, 0xC0C0C0u);
  EXPECT_EQ(r.Font().Color(), 0x000000u);
  EXPECT_EQ(r.Font().Name(), "Arial");
}

TEST_F(SettingsTest, FreshSlotsStartApartInTheirColours) {
  StartAndShowRuler0();
  struct Expect {
    int slot;
    Point center;
    int32_t scale;
    uint8_t orientation;
    TColor base, font;
    Rect bounds;
  };
  for (const Expect& e : {
           Expect{1, {363, 384}, 640, TopToBottom, 0x0000F0, 0, {338, 59, 50, 650}},
           Expect{2, {683, 284}, 800, RightToLeft, 0x008000, 0, {278, 259, 810, 50}},
           Expect{3, {683, 484}, 800, LeftToRight, 0xF00000, 0, {278, 459, 810, 50}},
           Expect{4, {583, 384}, 800, TopToBottom, 0x4080FF, 0, {558, -21, 50, 810}},
           Expect{5, {783, 384}, 800, BottomToTop, 0xFF00FF, 0, {758, -21, 50, 810}},
           Expect{6, {683, 184}, 1024, RightToLeft, 0x00F000, 0, {166, 159, 1034, 50}},
           Expect{7, {683, 584}, 1024, LeftToRight, 0xFFFF00, 0, {166, 559, 1034, 50}},
           Expect{8, {483, 384}, 1024, TopToBottom, 0x00FFFF, 0, {458, -133, 50, 1034}},
           Expect{9, {883, 384}, 1024, BottomToTop, 0x0F0F0F, 0xFFFFFF, {858, -133, 50, 1034}},
       }) {
    SetRulerVisible(e.slot, true);
    const TRulerForm& r = Slot(e.slot);
    EXPECT_EQ(r.CenterPoint(), e.center) << e.slot;
    EXPECT_EQ(r.Scale(), e.scale) << e.slot;
    EXPECT_EQ(r.Orientation(), e.orientation) << e.slot;
    EXPECT_EQ(r.BaseColor(), e.base) << e.slot;
    EXPECT_EQ(r.Font().Color(), e.font) << e.slot;
    EXPECT_EQ(r.Breadth(), 50) << e.slot;
    EXPECT_EQ(r.AlphaBlendValue(), 192) << e.slot;
    EXPECT_EQ(WindowOf(r).Bounds(), e.bounds) << e.slot;
  }
  // Ruler 9 is nearly black, so its ticks are white: its 100 tick stands on the
  // left edge, 5 + 1024 - 100 pixels down.
  EXPECT_EQ(Slot(9).RulerImage().Pixel(2, 929), 0xFFFFFFu);
}

TEST_F(SettingsTest, StoredValuesReplaceTheSlotStart) {
  Os.Registry.PutText(Key(4), "CenterPoint", "683,384");
  Os.Registry.PutInteger(Key(4), "Scale", 640);
  Os.Registry.PutInteger(Key(4), "Orientation", 0);
  StartAndShowRuler0();
  SetRulerVisible(4, true);
  EXPECT_EQ(Slot(4).CenterPoint(), (Point{683, 384}));
  EXPECT_EQ(Slot(4).Scale(), 640);
  EXPECT_EQ(Slot(4).Orientation(), LeftToRight);
}

TEST_F(SettingsTest, ALoadReportsTheValuesTheStoreDidNotHave) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, StoreValue>> stored;
    bool center, scale, orientation;
  };
  auto integer = [](uint32_t v) { return StoreValue{StoreKind::Integer, v, {}}; };
  auto text = [](const char* t) { return StoreValue{StoreKind::Text, 0, t}; };
  const std::vector<Case> cases{
      {"nothing stored", {}, true, true, true},
      {"all three",
       {{"CenterPoint", text("10,20")}, {"Scale", integer(800)}, {"Orientation", integer(1)}},
       false,
       false,
       false},
      // Below its minimum a length counts as not stored: it takes a start value.
      {"a scale below zero", {{"Scale", integer(static_cast<uint32_t>(-5))}}, true, true, true},
      // There but unreadable is not missing: the field keeps what it held.
      {"values of the wrong kind or range",
       {{"CenterPoint", integer(3)}, {"Scale", text("800")}, {"Orientation", integer(9)}},
       false,
       false,
       false}};
  TRulerForm& r = StartRuler0();
  for (const Case& c : cases) {
    Os.Registry.Keys.clear();
    for (const auto& [name, value] : c.stored) Os.Registry.Put(Key(0), name, value);
    const MissingValues missing = r.LoadSettings();
    EXPECT_EQ(missing.CenterPoint, c.center) << c.name;
    EXPECT_EQ(missing.Scale, c.scale) << c.name;
    EXPECT_EQ(missing.Orientation, c.orientation) << c.name;
  }
}

TEST_F(SettingsTest, CloseWritesAll24ValuesInOrderWithTheirKinds) {
  StartAndShowRuler0();
  SetRulerVisible(4, true);
  Slot(4).Close();
  EXPECT_EQ(Os.Registry.WriteOrder(Key(4)), kValueOrder);
  const auto center = Os.Registry.Get(Key(4), "CenterPoint");
  ASSERT_TRUE(center);
  EXPECT_EQ(center->Kind, StoreKind::Text);
  EXPECT_EQ(center->Text, "583,384");
  for (size_t i = 1; i < kValueOrder.size(); ++i) {
    EXPECT_EQ(Os.Registry.Get(Key(4), kValueOrder[i])->Kind, StoreKind::Integer) << kValueOrder[i];
  }
  EXPECT_EQ(Os.Registry.Get(Key(4), "ShowNumber5")->Integer, 0u);
  EXPECT_EQ(Os.Registry.Get(Key(4), "TickSize100")->Integer, 29u);
  // Closing a ruler other than 0 hides it and the program goes on.
  EXPECT_FALSE(Slot(4).Visible());
  EXPECT_FALSE(Os.QuitRequested);
  EXPECT_FALSE(Os.Registry.HasKey(Key(0)));
}

TEST_F(SettingsTest, StoredValuesAreTakenWithoutRangeChecks) {
  Os.Registry.PutText(Key(0), "CenterPoint", "-20,1500");
  Os.Registry.PutInteger(Key(0), "Scale", 5000);
  Os.Registry.PutInteger(Key(0), "LeftMargin", 0);
  Os.Registry.PutInteger(Key(0), "ShowTick10", 5);
  Os.Registry.PutInteger(Key(0), "ShowNumber100", 0);
  Os.Registry.Put(Key(0), "Luminosity", {StoreKind::Text, 0, "12"});
  TRulerForm& r = StartRuler0();
  EXPECT_EQ(r.CenterPoint(), (Point{-20, 1500}));
  EXPECT_EQ(r.Scale(), 5000);
  EXPECT_EQ(r.LeftMargin(), 0);
  EXPECT_TRUE(r.GetShowTick(Tick10));
  EXPECT_FALSE(r.GetShowNumber(Tick100));
  EXPECT_EQ(r.Luminosity(), 0);  // text is not an integer
  r.SaveSettings();
  EXPECT_EQ(Os.Registry.Get(Key(0), "ShowTick10")->Integer, 1u);
}

TEST_F(SettingsTest, AValueOfTheWrongKindKeepsTheStartValue) {
  Os.Registry.PutText(Key(0), "Breadth", "60");
  Os.Registry.PutInteger(Key(0), "TickSize5", 3);
  Os.Registry.Put(Key(0), "CenterPoint", {StoreKind::Integer, 5, {}});
  TRulerForm& r = StartRuler0();
  EXPECT_EQ(r.Breadth(), 0);
  EXPECT_EQ(r.GetTickSize(Tick5), 3);
  EXPECT_EQ(r.CenterPoint(), (Point{683, 384}));
}

// A stored value outside what a ruler can be: a byte beyond its range is
// refused, a negative size falls back to the default; the ruler is laid out
// as it then is.
struct OutOfRangeCase {
  const char* name;
  uint32_t stored;
  std::function<int32_t(const TRulerForm&)> field;
  int32_t expected;
  int32_t width = 650;
};

void PrintTo(const OutOfRangeCase& c, std::ostream* os) { *os << c.name << "_" << c.stored; }

class OutOfRange : public SettingsTest, public ::testing::WithParamInterface<OutOfRangeCase> {};

TEST_P(OutOfRange, IsRefusedOrFallsBackToTheDefault) {
  Os.Registry.PutInteger(Key(0), GetParam().name, GetParam().stored);
  TRulerForm& r = StartRuler0();
  EXPECT_EQ(GetParam().field(r), GetParam().expected);
  EXPECT_EQ(r.LayoutWidth(), GetParam().width);
}

const auto kOrientation = [](const TRulerForm& r) -> int32_t { return r.Orientation(); };
const auto kAlpha = [](const TRulerForm& r) -> int32_t { return r.AlphaBlendValue(); };

INSTANTIATE_TEST_SUITE_P(
    Values, OutOfRange,
    ::testing::Values(
        OutOfRangeCase{"Orientation", 4, kOrientation, LeftToRight},
        OutOfRangeCase{"Orientation", 0xFFFFFFFF, kOrientation, LeftToRight},
        OutOfRangeCase{"Orientation", 256, kOrientation, LeftToRight},
        OutOfRangeCase{"AlphaBlendValue", 256, kAlpha, 192},
        OutOfRangeCase{"AlphaBlendValue", 999, kAlpha, 192},
        OutOfRangeCase{"Scale", static_cast<uint32_t>(-1000),
                       [](const TRulerForm& r) { return r.Scale(); }, 640},
        OutOfRangeCase{"Scale", 0, [](const TRulerForm& r) { return r.Scale(); }, 0, 10},
        OutOfRangeCase{"LeftMargin", static_cast<uint32_t>(-7),
                       [](const TRulerForm& r) { return r.LeftMargin(); }, 5},
        OutOfRangeCase{"RightMargin", 0x80000000,
                       [](const TRulerForm& r) { return r.RightMargin(); }, 5},
        OutOfRangeCase{"Breadth", 0, [](const TRulerForm& r) { return r.Breadth(); }, 50},
        OutOfRangeCase{"Breadth", static_cast<uint32_t>(-50),
                       [](const TRulerForm& r) { return r.Breadth(); }, 50},
        OutOfRangeCase{"TickSize50", static_cast<uint32_t>(-1),
                       [](const TRulerForm& r) { return r.GetTickSize(Tick50); }, 19},
        OutOfRangeCase{"FontSize5", static_cast<uint32_t>(-6),
                       [](const TRulerForm& r) { return r.GetFontSize(Tick5); }, 6},
        OutOfRangeCase{"Luminosity", static_cast<uint32_t>(-80),
                       [](const TRulerForm& r) { return r.Luminosity(); }, -80}));

TEST_F(SettingsTest, OtherValuesInTheKeyAreLeftAlone) {
  Os.Registry.PutText(Key(0), "Comment", "mine");
  TRulerForm& r = StartRuler0();
  r.SaveSettings();
  EXPECT_EQ(Os.Registry.ValueCount(Key(0)), 25u);
  EXPECT_EQ(Os.Registry.Get(Key(0), "Comment")->Text, "mine");
}

TEST_F(SettingsTest, AStoreThatCannotBeOpenedGivesDefaultsAndTakesNothing) {
  Os.Registry.PutInteger(Key(0), "Scale", 900);
  Os.Registry.FailOpen = true;
  TRulerForm& r = StartRuler0();
  EXPECT_EQ(r.Scale(), 640);
  r.Close();
  EXPECT_EQ(Os.Registry.Get(Key(0), "CenterPoint"), std::nullopt);
  EXPECT_TRUE(Os.Errors.empty());
  EXPECT_TRUE(Os.QuitRequested);
}

TEST_F(SettingsTest, ARefusedWriteSkipsOnlyThatValue) {
  Os.Registry.FailWrites = {"Scale", "ShowTick50"};
  StartRuler0().SaveSettings();
  EXPECT_EQ(Os.Registry.ValueCount(Key(0)), 22u);
  EXPECT_EQ(Os.Registry.Get(Key(0), "Scale"), std::nullopt);
  EXPECT_EQ(Os.Registry.Get(Key(0), "FontSize5")->Integer, 6u);
}

TEST_F(SettingsTest, ATrailingSeparatorNamesTheSameKey) {
  Os.Registry.PutInteger("software\\vantori\\rulers\\0", "Scale", 700);
  EXPECT_EQ(StartRuler0().Scale(), 700);
}

TEST_F(SettingsTest, HidingWritesNothing) {
  StartAndShowRuler0();
  SetRulerVisible(2, true);
  Slot(2).MoveCenterTo({10, 10});
  SetRulerVisible(2, false);
  EXPECT_FALSE(Os.Registry.HasKey(Key(2)));
}

TEST_F(SettingsTest, AssignCopiesLookAndShapeButNotPlaceOrFontSizes) {
  TRulerForm& r0 = StartAndShowRuler0();
  SetRulerVisible(3, true);
  TRulerForm& r3 = Slot(3);
  r3.SetLuminosity(-20);
  r3.SetBreadth(70);
  r3.SetFontSize(Tick100, 12);
  r3.SetShowNumber(Tick5, true);
  const Point center0 = r0.CenterPoint();
  r0.Assign(r3);
  EXPECT_EQ(r0.BaseColor(), 0xF00000u);
  EXPECT_EQ(r0.Luminosity(), -20);
  EXPECT_EQ(r0.Breadth(), 70);
  EXPECT_EQ(r0.Scale(), 800);
  EXPECT_TRUE(r0.GetShowNumber(Tick5));
  EXPECT_EQ(r0.GetFontSize(Tick100), 7);
  EXPECT_EQ(r0.CenterPoint(), center0);
  EXPECT_EQ(r0.RulerIndex(), 0);
  EXPECT_EQ(r0.LayoutHeight(), 70);
}

}  // namespace
}  // namespace vr::test
