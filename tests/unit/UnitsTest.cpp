#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "Ruler/RulerMeasure.h"
#include "Ruler/Units.h"

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
