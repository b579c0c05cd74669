// A ruler in real units: U and Shift+U, what it reads and copies, what it
// stores beside its 24 values, and the density of the monitor under it, with
// the user's calibration of that monitor.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Ruler/ScreenDensities.h"
#include "Ruler/UnitDialogs.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

// Two monitors side by side: the primary at 96 per inch, the right one's glass
// at 141.95 per inch as the system reports it.
const MonitorArea kLeft{{0, 0, 1366, 768}, {0, 0, 1366, 728}, "LEFT", 96, 96.0};
const MonitorArea kRight{{1366, 0, 1920, 1080}, {1366, 0, 1920, 1040}, "RIGHT", 144, 141.95};

class RulerUnits : public ProgramTest {
 protected:
  void SetUp() override { Os.Displays = {kLeft, kRight}; }
  std::string Copied(TRulerForm& r) {
    r.CopyMeasurement();
    return Os.Clipboard;
  }
};

TEST_F(RulerUnits, UAndShiftUStepThroughTheUnitsAndCtrlCCopiesInEach) {
  TRulerForm& r = StartAndShowRuler0();
  // Marks 96 pixels apart: an inch at 96 per inch.
  r.ToggleMark(100);
  r.ToggleMark(196);
  const std::vector<std::pair<RulerUnit, std::string>> forward{{RulerUnit::Mm, "25.4 mm"},
                                                               {RulerUnit::Cm, "2.54 cm"},
                                                               {RulerUnit::In, "1.00 in"},
                                                               {RulerUnit::Pt, "72.0 pt"},
                                                               {RulerUnit::Px, "96 px"}};
  for (const auto& [unit, copied] : forward) {
    Press(KeyCode::U);
    EXPECT_EQ(r.Unit(), unit);
    EXPECT_EQ(Copied(r), copied);
  }
  // With a unit of its own, U lists it after pt; Shift+U goes back.
  r.SetOwnUnit({"m", 24});
  EXPECT_EQ(Copied(r), "4.00 m");
  Press(KeyCode::U, {KeyCode::Shift});
  EXPECT_EQ(r.Unit(), RulerUnit::Pt);
  Press(KeyCode::U);
  EXPECT_EQ(r.Unit(), RulerUnit::Own);
  Press(KeyCode::U);
  EXPECT_EQ(r.Unit(), RulerUnit::Px);
  // Other modifiers do nothing.
  Press(KeyCode::U, {KeyCode::Control});
  Press(KeyCode::U, {KeyCode::Alt});
  EXPECT_EQ(r.Unit(), RulerUnit::Px);
}

TEST_F(RulerUnits, AUnitRendersOnceAndTheSameUnitNotAtAll) {
  TRulerForm& r = StartAndShowRuler0();
  const uint64_t renders = r.RenderCount();
  r.SetUnit(RulerUnit::Px);
  r.SetUnit(RulerUnit::Own);  // it has none: nothing
  EXPECT_EQ(r.RenderCount(), renders);
  r.SetUnit(RulerUnit::Mm);
  EXPECT_EQ(r.RenderCount(), renders + 1);
  // The picture changed: ticks every 3.78 pixels, no longer every 5.
  EXPECT_GT(r.LastRenderWork().TicksVisited, 130);
}

TEST_F(RulerUnits, AUnitIsStoredBesideTheValuesOnlyOnceTheRulerLeftPx) {
  TRulerForm& r = StartAndShowRuler0();
  r.SaveSettings();
  EXPECT_EQ(Os.Registry.ValueCount(Key(0)), 24u) << "a ruler in px stores its 24 values alone";
  r.SetOwnUnit({"ft", 12.5});
  r.SaveSettings();
  EXPECT_EQ(Os.Registry.Get(Key(0), kUnitValue)->Integer, 5u);
  EXPECT_EQ(Os.Registry.Get(Key(0), kOwnUnitNameValue)->Text, "ft");
  EXPECT_EQ(Os.Registry.Get(Key(0), kOwnUnitPixelsValue)->Text, "12.5");
  r.SetUnit(RulerUnit::Px);
  r.SaveSettings();
  EXPECT_EQ(Os.Registry.Get(Key(0), kUnitValue)->Integer, 0u) << "back in px, put right";
  // The next run reads it all back.
  r.SetUnit(RulerUnit::Own);
  r.SaveSettings();
  EndProgram();
  TRulerForm& again = StartRuler0();
  EXPECT_EQ(again.Unit(), RulerUnit::Own);
  EXPECT_EQ(again.Own(), (OwnUnit{"ft", 12.5}));
}

struct StoredUnitCase {
  const char* name;
  StoreValue unit;
  std::optional<StoreValue> ownName, ownPixels;
  RulerUnit reads;
  bool hasOwn;
};

class StoredUnit : public RulerUnits, public ::testing::WithParamInterface<StoredUnitCase> {};

TEST_P(StoredUnit, ThatDoesNotReadIsIgnoredAndTheRulerReadsInPx) {
  const StoredUnitCase& c = GetParam();
  Os.Registry.Put(Key(0), kUnitValue, c.unit);
  if (c.ownName) Os.Registry.Put(Key(0), kOwnUnitNameValue, *c.ownName);
  if (c.ownPixels) Os.Registry.Put(Key(0), kOwnUnitPixelsValue, *c.ownPixels);
  TRulerForm& r = StartRuler0();
  EXPECT_EQ(r.Unit(), c.reads);
  EXPECT_EQ(r.Own().has_value(), c.hasOwn);
}

const StoreValue kInt(uint32_t v) { return {StoreKind::Integer, v, {}}; }
const StoreValue kText(const char* t) { return {StoreKind::Text, 0, t}; }

INSTANTIATE_TEST_SUITE_P(
    Values, StoredUnit,
    ::testing::Values(
        StoredUnitCase{"Mm", kInt(1), {}, {}, RulerUnit::Mm, false},
        StoredUnitCase{"BeyondTheCodes", kInt(6), {}, {}, RulerUnit::Px, false},
        StoredUnitCase{"AsText", kText("1"), {}, {}, RulerUnit::Px, false},
        StoredUnitCase{"OwnWithoutItsUnit", kInt(5), {}, {}, RulerUnit::Px, false},
        StoredUnitCase{"OwnWhole", kInt(5), kText("m"), kText("62.5"), RulerUnit::Own, true},
        StoredUnitCase{"OwnNotANumber", kInt(5), kText("m"), kText("lots"), RulerUnit::Px, false},
        StoredUnitCase{"OwnOutOfRange", kInt(5), kText("m"), kText("1e9"), RulerUnit::Px, false},
        StoredUnitCase{"OwnNameTooLong", kInt(5), kText("abcdefghijklmnopq"), kText("2"),
                       RulerUnit::Px, false},
        StoredUnitCase{"OwnKeptWhileInCm", kInt(2), kText(""), kText("250"), RulerUnit::Cm, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RulerUnits, ARulerReadsAtTheDensityOfTheMonitorUnderItsCentre) {
  TRulerForm& r = StartAndShowRuler0();
  r.SetUnit(RulerUnit::Mm);
  EXPECT_EQ(r.Density().Source, DensitySource::System);
  EXPECT_NEAR(r.Density().PixelsPerMm, 96 / 25.4, 1e-9);
  // Dragged onto the right monitor: read at its glass's density, drawn anew.
  const uint64_t renders = r.RenderCount();
  r.MoveCenterTo({2000, 500});
  EXPECT_EQ(r.Monitor().Id, "RIGHT");
  EXPECT_NEAR(r.Density().PixelsPerMm, 141.95 / 25.4, 1e-9);
  EXPECT_EQ(r.RenderCount(), renders + 1);
  // Moves within the monitor draw nothing.
  r.MoveCenterTo({2100, 600});
  EXPECT_EQ(r.RenderCount(), renders + 1);
  // A ruler in px reads alike everywhere: it is not drawn again.
  r.SetUnit(RulerUnit::Px);
  const uint64_t inPx = r.RenderCount();
  r.MoveCenterTo({600, 300});
  EXPECT_EQ(r.RenderCount(), inPx);
  EXPECT_EQ(r.Monitor().Id, "LEFT");
}

TEST_F(RulerUnits, ACalibrationHoldsForEveryRulerOnItsMonitorAndForLaterRuns) {
  TRulerForm& zero = StartAndShowRuler0();
  SetRulerVisible(3, true);
  SetRulerVisible(5, true);
  Slot(5).MoveCenterTo({2000, 500});  // on the other monitor
  for (int n : {0, 3, 5}) Slot(n).SetUnit(RulerUnit::Mm);
  // 300 pixels are 100 mm on the left monitor.
  ASSERT_TRUE(Rulers().Calibrate(zero, 3.0));
  for (int n : {0, 3}) {
    EXPECT_EQ(Slot(n).Density(), (ScreenDensity{3.0, DensitySource::Calibrated})) << n;
  }
  EXPECT_EQ(Slot(5).Density().Source, DensitySource::System);
  EXPECT_EQ(Os.Registry.Get(kCalibrationKeyPath, "LEFT")->Text, "3");
  zero.ToggleMark(0);
  zero.ToggleMark(300);
  EXPECT_EQ(zero.MeasurementText(), "100.0 mm");
  EndProgram();
  EXPECT_EQ(StartRuler0().Density(), (ScreenDensity{3.0, DensitySource::Calibrated}));
  // Back to the system's value, now and later.
  ASSERT_TRUE(Rulers().ForgetCalibration(Slot(0)));
  EXPECT_EQ(Slot(0).Density().Source, DensitySource::System);
  EXPECT_FALSE(Os.Registry.Get(kCalibrationKeyPath, "LEFT").has_value());
}

TEST_F(RulerUnits, CtrlKCalibratesAndCtrlLSetsTheRulersOwnUnitFromItsTwoMarks) {
  TRulerForm& r = StartAndShowRuler0();
  SetRulerVisible(3, true);
  Slot(3).SetUnit(RulerUnit::Mm);
  BringRulerToFront(0);
  r.SetUnit(RulerUnit::Mm);
  r.ToggleMark(50);
  r.ToggleMark(350);
  // In the dialog the key opens: the length, then Enter.
  auto answer = [this](const std::string& typed) {
    Queue.PostAction([this, typed] {
      auto& dialog = dynamic_cast<TMarkLengthForm&>(*App->ModalForm());
      Os.Find(dialog)->Find(dialog.LengthEdit)->UserSetText(typed);
    });
    Queue.PostKey(KeyCode::Enter);
  };
  answer("100 mm");
  Press(KeyCode::K, {KeyCode::Control});
  EXPECT_EQ(r.MeasurementText(), "100.0 mm");
  EXPECT_EQ(Slot(3).Density(), (ScreenDensity{3.0, DensitySource::Calibrated}))
      << "every ruler on the monitor";
  // The system gives the activation back to the ruler once the dialog goes.
  r.SetFocus();
  answer("4 m");
  Press(KeyCode::L, {KeyCode::Control});
  EXPECT_EQ(r.MeasurementText(), "4.00 m");
  EXPECT_EQ(Slot(3).Unit(), RulerUnit::Mm) << "another ruler keeps its unit";
  // Esc leaves everything as it was.
  r.SetFocus();
  Queue.PostKey(KeyCode::Escape);
  Press(KeyCode::K, {KeyCode::Control});
  EXPECT_EQ(r.Density().PixelsPerMm, 3.0);
  EXPECT_EQ(Os.ModalLoops, 3);
}

TEST_F(RulerUnits, TheOptionsWindowShowsAndSetsTheUnitAndTheScreensDensity) {
  TRulerForm& r = StartAndShowRuler0();
  OptionsForm->Show();
  auto native = [this](const TControl& c) -> headless::HeadlessControl& {
    return *Os.Find(*OptionsForm)->Find(c);
  };
  EXPECT_EQ(native(OptionsForm->UnitComboBox).Items(),
            (std::vector<std::string>{"px", "mm", "cm", "in", "pt"}));
  EXPECT_EQ(native(OptionsForm->DensityLabel).Text(), "3.78 px/mm, from the system");
  EXPECT_FALSE(native(OptionsForm->SystemDensityButton).Params().Visible);
  native(OptionsForm->UnitComboBox).UserChoose(3);
  EXPECT_EQ(r.Unit(), RulerUnit::In);
  // A unit of its own joins the list by its name; a calibration shows, with the way back.
  r.SetOwnUnit({"m", 62.5});
  Rulers().Calibrate(r, 4.0);
  EXPECT_EQ(native(OptionsForm->UnitComboBox).Items().back(), "m");
  EXPECT_EQ(native(OptionsForm->UnitComboBox).ItemIndex(), 5);
  EXPECT_EQ(native(OptionsForm->DensityLabel).Text(), "4.00 px/mm, calibrated");
  EXPECT_TRUE(native(OptionsForm->SystemDensityButton).Params().Visible);
  native(OptionsForm->SystemDensityButton).UserClick();
  EXPECT_EQ(r.Density().Source, DensitySource::System);
  EXPECT_EQ(native(OptionsForm->DensityLabel).Text(), "3.78 px/mm, from the system");
  EXPECT_FALSE(native(OptionsForm->SystemDensityButton).Params().Visible);
}

}  // namespace
}  // namespace vr::test
