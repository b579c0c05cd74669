#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "Ruler/RulerMeasure.h"
#include "Ruler/RulerRender.h"
#include "Ruler/UnitInput.h"
#include "Ruler/UnitTicks.h"
#include "Ruler/Units.h"
#include "platform/headless/HeadlessPlatform.h"

namespace vr {
namespace {

constexpr double kCalibrated = 141.95;  // pixels per inch, as a user calibrated it
const OwnUnit kMetres{"m", 250.0 / 4};  // 4 m over 250 px

UnitScale At(RulerUnit unit, double pixelsPerInch, std::optional<OwnUnit> own = {}) {
  return ScaleOf(unit, pixelsPerInch / kMmPerInch, own);
}

TEST(UnitsCycle, UStepsThroughTheUnitsAndShiftUBack) {
  using enum RulerUnit;
  const std::vector<RulerUnit> withOwn{Px, Mm, Cm, In, Pt, Own, Px};
  const std::vector<RulerUnit> withoutOwn{Px, Mm, Cm, In, Pt, Px};
  for (const auto& [order, hasOwn] : {std::pair{withOwn, true}, std::pair{withoutOwn, false}}) {
    for (size_t i = 0; i + 1 < order.size(); ++i) {
      EXPECT_EQ(NextUnit(order[i], hasOwn), order[i + 1]) << i;
      EXPECT_EQ(PreviousUnit(order[i + 1], hasOwn), order[i]) << i;
    }
  }
  // A ruler left on an own unit it no longer has steps on as from px.
  EXPECT_EQ(NextUnit(Own, false), Mm);
  EXPECT_EQ(PreviousUnit(Own, false), Pt);
}

TEST(UnitsDensity, TakesTheFirstPlausibleOfCalibrationSystemAndLogical) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    std::optional<double> calibrated, physical;
    double logical;
    double pixelsPerMm;
    DensitySource source;
    const char* text;
  } cases[] = {
      {5.59, 109, 96, 5.59, DensitySource::Calibrated, "5.59 px/mm, calibrated"},
      {nan, 96, 144, 96 / 25.4, DensitySource::System, "3.78 px/mm, from the system"},
      {41, 96, 144, 96 / 25.4, DensitySource::System, "3.78 px/mm, from the system"},
      {{}, inf, 144, 144 / 25.4, DensitySource::Logical, "5.67 px/mm, from the display scale"},
      {{}, 12, 120, 120 / 25.4, DensitySource::Logical, "4.72 px/mm, from the display scale"},
      {-3, -96, 0, 96 / 25.4, DensitySource::Logical, "3.78 px/mm, from the display scale"}};
  for (const Case& c : cases) {
    const ScreenDensity d = ChooseDensity({c.calibrated, c.physical, c.logical});
    EXPECT_EQ(d.Source, c.source) << c.text;
    EXPECT_DOUBLE_EQ(d.PixelsPerMm, c.pixelsPerMm) << c.text;
    EXPECT_EQ(DensityText(d), c.text);
  }
}

TEST(UnitsReading, TextsAtEachDensityWithJustEnoughDecimals) {
  struct Row {
    double pixelsPerInch;
    int64_t pixels;
    std::array<const char*, 4> texts;  // mm, cm, in, pt
  } rows[] = {{96, 96, {"25.4 mm", "2.54 cm", "1.00 in", "72.0 pt"}},
              {96, 1000, {"264.6 mm", "26.46 cm", "10.42 in", "750.0 pt"}},
              {120, 1000, {"211.7 mm", "21.17 cm", "8.333 in", "600.0 pt"}},
              {144, 1000, {"176.4 mm", "17.64 cm", "6.944 in", "500.0 pt"}},
              {kCalibrated, 1000, {"178.9 mm", "17.89 cm", "7.045 in", "507.2 pt"}},
              {76.2, 300, {"100.0 mm", "10.00 cm", "3.94 in", "283.5 pt"}},  // 300 px to 100 mm
              // Exactly half a last digit goes away from zero, however the division lands.
              {96, 72, {"19.1 mm", "1.91 cm", "0.75 in", "54.0 pt"}},
              {96, -24, {"-6.4 mm", "-0.64 cm", "-0.25 in", "-18.0 pt"}},
              {96, -1, {"-0.3 mm", "-0.03 cm", "-0.01 in", "-0.8 pt"}}};
  const RulerUnit units[] = {RulerUnit::Mm, RulerUnit::Cm, RulerUnit::In, RulerUnit::Pt};
  for (const Row& r : rows) {
    for (size_t u = 0; u < 4; ++u)
      EXPECT_EQ(LengthText(r.pixels, At(units[u], r.pixelsPerInch)), r.texts[u]) << r.pixels;
  }
  EXPECT_EQ(LengthText(250, At(RulerUnit::Own, 96, kMetres)), "4.00 m");
  EXPECT_EQ(LengthText(250, At(RulerUnit::Own, 96, OwnUnit{"", 1})), "250");
  // Three decimals at most: a pixel of a large unit can round to nothing, never to "-0.000".
  EXPECT_EQ(LengthText(-1, At(RulerUnit::Own, 96, OwnUnit{"km", 5000})), "0.000 km");
  // px reads as it always has, to the last digit.
  for (int64_t p : {int64_t{0}, int64_t{-7}, std::numeric_limits<int64_t>::min(),
                    std::numeric_limits<int64_t>::max()})
    EXPECT_EQ(LengthText(p, At(RulerUnit::Px, 144)), PixelText(p));
  // An own unit that can't be read sensibly reads as px.
  EXPECT_EQ(At(RulerUnit::Own, 96, OwnUnit{"m", 1e6}).Unit, RulerUnit::Px);
}

// ---------------------------------------------------------------- ticks

std::vector<Tick> TicksOf(const TickPlan& plan, int64_t scale) {
  std::vector<Tick> ticks;
  plan.ForEachTick(scale, [&](const Tick& t) { ticks.push_back(t); });
  return ticks;
}

std::string NumbersOf(const TickPlan& plan, const std::vector<Tick>& ticks, size_t count) {
  std::string text;
  TickNumberBuffer buffer;
  for (size_t i = 0; i < count && i < ticks.size(); ++i)
    text.append(plan.Number(ticks[i], buffer)).append("|");
  return text;
}

TEST(UnitsTicks, PixelTicksAreTheOnesTheRulerDraws) {
  const TickPlan plan(At(RulerUnit::Px, 144));
  for (int64_t scale : {0, 1, 5, 6, 99, 100, 101, 640, 2048}) {
    const std::vector<Tick> ticks = TicksOf(plan, scale);
    ASSERT_EQ(static_cast<int64_t>(ticks.size()), (scale - 1) / 5 + 1) << scale;
    for (size_t t = 0; t < ticks.size(); ++t) {
      ASSERT_EQ(ticks[t].Offset, static_cast<int64_t>(5 * t));
      const int64_t offset = ticks[t].Offset;
      TickNumberBuffer b;
      const std::string expected =
          ticks[t].Level == Tick100 ? std::to_string(offset) : std::to_string(offset % 100 / 10);
      ASSERT_EQ(plan.Number(ticks[t], b), expected) << offset;
    }
  }
  // Offsets and levels against the picture itself: each level in its own colour.
  headless::HeadlessPlatform text;
  RulerSettings s;
  s.Scale = 2048;
  s.LeftMargin = 5;
  s.BaseColor = 0xC0C0C0;
  s.ShowTick = {true, true, true, true};
  s.TickSize = kDefaultTickSize;
  const RulerPicture p = RenderRuler(s, {"Arial", 0x0000FF, 96}, 2058, 50, text);
  const TColor colours[] = {0x0000FF, BlendColor(0xC0C0C0, 0x0000FF, 90),
                            BlendColor(0xC0C0C0, 0x0000FF, 80), BlendColor(0xC0C0C0, 0x0000FF, 70)};
  std::vector<std::pair<int64_t, int>> drawn, planned;
  for (int64_t x = 1; x < 2057; ++x) {
    for (int level = 0; level < kTickLevels; ++level)
      if (p.Picture.Pixel(x, 1) == colours[level]) drawn.emplace_back(x - 5, level);
  }
  for (const Tick& t : TicksOf(plan, 2048)) planned.emplace_back(t.Offset, t.Level);
  EXPECT_EQ(drawn, planned);
}

// Exact places: a tick's index times its step times the pixels per unit, each
// a fraction, rounded half up in integers.
struct Fraction {
  int64_t Num, Den;
};
int64_t NearestPixel(int64_t index, Fraction step, Fraction perUnit) {
  const int64_t num = index * step.Num * perUnit.Num;
  const int64_t den = step.Den * perUnit.Den;
  return (2 * num + den) / (2 * den);
}

struct TickCase {
  std::string name;
  UnitScale unit;
  Fraction step;        // the finest step, in the unit
  Fraction perUnit;     // pixels, from the density as typed, not from the code under test
  TickLevel finest;     // the finest level still 3 pixels apart
  const char* numbers;  // of the first twelve ticks
};
void PrintTo(const TickCase& c, std::ostream* os) { *os << c.name; }

TickCase Physical(RulerUnit unit, int64_t hundredthsPerInch, TickLevel finest,
                  const char* numbers) {
  // The finest steps, 0.5 mm, 0.05 cm, 1/16 in and 5 pt, and the units per inch.
  const Fraction step[] = {{0, 1}, {1, 2}, {1, 20}, {1, 16}, {5, 1}};
  const Fraction perInch[] = {{0, 1}, {254, 10}, {254, 100}, {1, 1}, {72, 1}};
  const auto u = static_cast<size_t>(unit);
  const std::string name = std::string(UnitName(unit)) + std::to_string(hundredthsPerInch);
  const Fraction perUnit{hundredthsPerInch * perInch[u].Den, 100 * perInch[u].Num};
  return {name, At(unit, hundredthsPerInch / 100.0), step[u], perUnit, finest, numbers};
}
TickCase Own(const char* name, Fraction perUnit, Fraction step, TickLevel finest,
             const char* numbers) {
  const double ppu = static_cast<double>(perUnit.Num) / static_cast<double>(perUnit.Den);
  return {name, At(RulerUnit::Own, 96, OwnUnit{"u", ppu}), step, perUnit, finest, numbers};
}

class UnitsTickPlaces : public ::testing::TestWithParam<TickCase> {};

TEST_P(UnitsTickPlaces, EveryTickStandsAtThePixelNearestItsExactPlace) {
  const TickCase& c = GetParam();
  const TickPlan plan(c.unit);
  for (int level = Tick100; level <= Tick5; ++level)
    EXPECT_EQ(plan.Shows(static_cast<TickLevel>(level)), level <= c.finest) << level;
  const int64_t stride = c.finest == Tick5 ? 1 : c.finest == Tick10 ? 2 : 10;
  const std::vector<Tick> ticks = TicksOf(plan, 2048);
  int64_t index = 0;
  for (const Tick& t : ticks) {
    ASSERT_EQ(t.Index, index);
    ASSERT_EQ(t.Offset, NearestPixel(index, c.step, c.perUnit)) << index;
    ASSERT_LT(t.Offset, 2048);
    index += stride;
  }
  EXPECT_GE(NearestPixel(index, c.step, c.perUnit), 2048) << "the first tick left off";
  EXPECT_EQ(NumbersOf(plan, ticks, 12), c.numbers);
}

constexpr const char* kHalves = "0|0|1|1|2|2|3|3|4|4|5|5|";
constexpr const char* kMillimetres = "0|1|2|3|4|5|6|7|8|9|10|1|";
constexpr const char* kCentimetres = "0|1|2|3|4|5|6|7|8|9|1|1|";
constexpr const char* kInches = "0||||||||||||";
constexpr int64_t kCal = 14195;

INSTANTIATE_TEST_SUITE_P(
    Units, UnitsTickPlaces,
    ::testing::Values(
        Physical(RulerUnit::Mm, 9600, Tick10, kMillimetres),
        Physical(RulerUnit::Mm, 12000, Tick10, kMillimetres),
        Physical(RulerUnit::Mm, 14400, Tick10, kMillimetres),
        Physical(RulerUnit::Mm, kCal, Tick10, kMillimetres),
        Physical(RulerUnit::Mm, 16000, Tick5, kHalves),
        Physical(RulerUnit::Mm, 6000, Tick50, "0|5|10|5|20|5|30|5|40|5|50|5|"),
        Physical(RulerUnit::Cm, 9600, Tick10, kCentimetres),
        Physical(RulerUnit::Cm, 12000, Tick10, kCentimetres),
        Physical(RulerUnit::Cm, 14400, Tick10, kCentimetres),
        Physical(RulerUnit::Cm, kCal, Tick10, kCentimetres),
        Physical(RulerUnit::In, 9600, Tick5, kInches),
        Physical(RulerUnit::In, 12000, Tick5, kInches),
        Physical(RulerUnit::In, 14400, Tick5, kInches),
        Physical(RulerUnit::In, kCal, Tick5, kInches),
        Physical(RulerUnit::Pt, 9600, Tick5, kHalves),
        Physical(RulerUnit::Pt, 12000, Tick5, kHalves),
        Physical(RulerUnit::Pt, 14400, Tick5, kHalves),
        Physical(RulerUnit::Pt, kCal, Tick5, kHalves),
        // k = 0, 2, 1 and 0 (both with Tick10 exactly 3 px), 0 (a tie at every Tick5), -1, 3.
        Own("OwnMetres", {125, 2}, {1, 20}, Tick5, kHalves),
        Own("OwnBare", {1, 1}, {5, 1}, Tick5, kHalves),
        Own("OwnThreePixels", {3, 1}, {1, 2}, Tick10, kMillimetres),
        Own("OwnThreePixelTenths", {30, 1}, {1, 20}, Tick10, kCentimetres),
        Own("OwnHalfPixels", {70, 1}, {1, 20}, Tick5, kHalves),
        Own("OwnTenths", {1000, 1}, {1, 200}, Tick5, "0.0|0|1|1|2|2|3|3|4|4|5|5|"),
        Own("OwnThousands", {1, 16}, {50, 1}, Tick5, kHalves)),
    [](const auto& info) { return info.param.name; });

TEST(UnitsTicks, NumbersAtTheHundredsOfEachUnit) {
  const std::pair<UnitScale, std::string> units[] = {
      {At(RulerUnit::Mm, 96), "20"},
      {At(RulerUnit::Cm, 96), "2"},
      {At(RulerUnit::Pt, 96), "200"},
      {At(RulerUnit::Own, 96, kMetres), "2"},
      {At(RulerUnit::Own, 96, {{"m", 1000}}), "0.2"},
      {At(RulerUnit::Own, 96, {{"mm", 0.0625}}), "2000"}};
  TickNumberBuffer b;
  for (const auto& [unit, number] : units)
    EXPECT_EQ(TickPlan(unit).Number({40, 0, Tick100}, b), number) << unit.Name;
  // Inches are numbered on whole inches alone.
  const TickPlan inches(At(RulerUnit::In, 96));
  EXPECT_EQ(inches.Number({32, 0, Tick100}, b), "2");
  EXPECT_EQ(inches.Number({8, 0, Tick50}, b), "");
}

TEST(UnitsTicks, APartOfTheRulerVisitsJustItsTicks) {
  const TickPlan plan(At(RulerUnit::Mm, kCalibrated));
  const std::vector<Tick> all = TicksOf(plan, 2048);
  struct Case {
    int64_t first, last;
    TickLevel finest;
  } cases[] = {{-50, 20, Tick5},  {1000, 1000, Tick5}, {1001, 1130, Tick10},
               {3, 2047, Tick50}, {-9, 9000, Tick100}, {2047, 5000, Tick5}};
  for (const Case& c : cases) {
    std::vector<int64_t> expected, visited;
    for (const Tick& t : all)
      if (t.Offset >= c.first && t.Offset <= c.last && t.Level <= c.finest)
        expected.push_back(t.Index);
    plan.ForEachTick(2048, c.first, c.last, c.finest,
                     [&](const Tick& t) { visited.push_back(t.Index); });
    EXPECT_EQ(visited, expected) << c.first << ".." << c.last;
  }
  // Far along a ruler of any length, the ticks are where they would be from zero.
  std::vector<int64_t> far;
  plan.ForEachTick(std::numeric_limits<int64_t>::max(), 1'000'000'000, 1'000'000'020, Tick5,
                   [&](const Tick& t) { far.push_back(t.Offset); });
  ASSERT_FALSE(far.empty());
  for (int64_t offset : far) EXPECT_NEAR(offset, 1'000'000'010, 10);
  // A ruler of no length, or less, has its zero tick alone.
  constexpr int64_t kLeast = std::numeric_limits<int64_t>::min();
  EXPECT_EQ(TicksOf(plan, kLeast).size(), 1u);
  plan.ForEachTick(0, kLeast, kLeast, Tick5, [](const Tick&) { FAIL(); });
}

// ---------------------------------------------------------------- typed lengths

TEST(UnitsTyped, LengthsWithAndWithoutUnitsCommasAndBlanks) {
  using enum RulerUnit;
  struct Real {
    std::string text;
    RulerUnit beside;
    double mm;
  } reals[] = {{"85.6 mm", Cm, 85.6},  {"85.6mm", Cm, 85.6},        {" 85,6  MM ", Cm, 85.6},
               {"85.6", Mm, 85.6},     {"8,56", Cm, 85.6},          {"3.37 in", Mm, 85.598},
               {"3.37\"", Mm, 85.598}, {"1 ft", Mm, 304.8},         {".1m", Mm, 100},
               {"72 pt", Mm, 25.4},    {"85.6\xC2\xA0mm", Cm, 85.6}};
  for (const Real& c : reals) {
    const Checked<double> r = ParseRealLength(c.text, c.beside);
    ASSERT_TRUE(r.Ok()) << c.text << ": " << r.Message;
    EXPECT_NEAR(*r.Value, c.mm, 1e-9) << c.text;
  }
  const std::string sixteen = "\xC3\xA9" + std::string(15, 'x');  // 16 characters, 17 bytes
  const std::pair<std::string, TypedLength> owns[] = {{"4 m", {4, "m"}},
                                                      {"12 ft", {12, "ft"}},
                                                      {"250", {250, ""}},
                                                      {" 2,5 sq ft ", {2.5, "sq ft"}},
                                                      {"7\xC2\xB5m", {7, "\xC2\xB5m"}},
                                                      {"1 " + sixteen, {1, sixteen}}};
  for (const auto& [text, length] : owns) EXPECT_EQ(ParseOwnLength(text).Value, length) << text;
}

TEST(UnitsTyped, RefusedWithAShortMessage) {
  const std::string empty = "Type the length between the marks, for example \"85.6 mm\".";
  const std::string number = "Type a number, then its unit, for example \"85.6 mm\".";
  const std::string positive = "The length must be more than zero.";
  const std::string large = "That length is too large.";
  const std::string unit = "Use a real length's unit: mm, cm, m, in, ft or pt.";
  const std::pair<std::string, std::string> reals[] = {
      {"", empty},         {" \t", empty},        {"abc", number},
      {"1.2.3", number},   {"1e999", number},     {"nan", number},
      {"inf mm", number},  {"0", positive},       {"0,0 cm", positive},
      {"-5 mm", positive}, {"1000001 mm", large}, {std::string(400, '9'), large},
      {"85.6 px", unit}};
  for (const auto& [text, message] : reals)
    EXPECT_EQ(ParseRealLength(text, RulerUnit::Mm).Message, message) << text;
  EXPECT_EQ(ParseRealLength("85.6", RulerUnit::Px).Message, "Add a unit: mm, cm, m, in, ft or pt.");

  const std::string seventeen = "\xC3\xA9" + std::string(16, 'x');
  const std::string character = "The unit's name has a character that can't be used.";
  const std::pair<std::string, std::string> owns[] = {
      {"1 " + seventeen, "The unit's name is too long: 16 characters at most."},
      {"4 m\x01", character},
      {"4 \xFFm", character},
      {"1e999", "Type a number, then its unit, for example \"4 m\"."},
      {"-4 m", positive}};
  for (const auto& [text, message] : owns) EXPECT_EQ(ParseOwnLength(text).Message, message) << text;
}

TEST(UnitsTyped, MarksAndALengthMakeACalibrationOrAnOwnUnit) {
  EXPECT_EQ(CalibrationFrom(100, 300).Value, 3.0);
  EXPECT_EQ(CalibrationFrom(100, -300).Value, 3.0);
  EXPECT_EQ(CalibrationFrom(85.6, 0).Message,
            "The marks are at the same place: set them apart first.");
  EXPECT_EQ(CalibrationFrom(7, 300).Message, "That length is too short for marks 300 px apart.");
  EXPECT_EQ(CalibrationFrom(700, 300).Message, "That length is too long for marks 300 px apart.");
  EXPECT_EQ(OwnUnitFrom({4, "m"}, 250).Value, kMetres);
  EXPECT_EQ(OwnUnitFrom({4, "m"}, 0).Message,
            "The marks are at the same place: set them apart first.");
  EXPECT_EQ(OwnUnitFrom({1e-3, "m"}, 250).Message,
            "That length is too short for marks 250 px apart.");
  EXPECT_EQ(OwnUnitFrom({1e6, "m"}, 20).Message, "That length is too long for marks 20 px apart.");
}

// ---------------------------------------------------------------- stored forms

TEST(UnitsStored, FormsReadBackExactlyAndGarbageIsIgnored) {
  for (uint32_t code = 0; code <= 5; ++code)
    EXPECT_EQ(StoredUnitCode(StoredUnit(code).value()), code);
  for (uint32_t code : {6u, 255u, 0xFFFFFFFFu}) EXPECT_FALSE(StoredUnit(code)) << code;

  for (double v : {96 / 25.4, kCalibrated / 25.4, 0.5, 40.0, 0.1 + 0.2, 1e-4, 1e4 / 3}) {
    const std::string text = StoredNumberText(v);
    EXPECT_EQ(text.find(','), std::string::npos) << text;
    if (PlausiblePixelsPerMm(v)) {
      EXPECT_EQ(StoredPixelsPerMm(text), v) << text;
    }
    EXPECT_EQ(StoredOwnUnit("m", text), (OwnUnit{"m", v})) << text;
  }
  for (const char* garbage : {"", "abc", "3.78x", " 3.78", "3,78", "nan", "inf", "-3", "0", "0.49",
                              "40.01", "1e400", "0x10"})
    EXPECT_FALSE(StoredPixelsPerMm(garbage)) << garbage;
  for (const auto& [name, perUnit] : {std::pair{"m", "1e-5"},
                                      {"m", "nan"},
                                      {"m2", "62.5"},
                                      {"\xC3", "62.5"},
                                      {"abcdefghijklmnopq", "62.5"},
                                      {" m", "62.5"}})
    EXPECT_FALSE(StoredOwnUnit(name, perUnit)) << name << " " << perUnit;
}

}  // namespace
}  // namespace vr
