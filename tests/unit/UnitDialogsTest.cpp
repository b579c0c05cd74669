// The dialogs that calibrate the screen and set a ruler's own unit from two
// marks, driven as the user does inside their modal loops: what they say,
// what a typed length gives, what they refuse and leave open, Esc.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Ruler/UnitDialogs.h"
#include "TestSupport.h"

namespace vr::test {
namespace {

class UnitDialogsTest : public ProgramTest {
 protected:
  void SetUp() override { StartAndShowRuler0(); }
  // The dialog that runs now.
  TMarkLengthForm& Dialog() { return dynamic_cast<TMarkLengthForm&>(*App->ModalForm()); }
  headless::HeadlessControl& Native(const TControl& control) {
    return *Os.Find(Dialog())->Find(control);
  }
  // Posted: the length pasted into the box, then Enter.
  void PostEntry(const std::string& typed) {
    Queue.PostAction([this, typed] { Native(Dialog().LengthEdit).UserSetText(typed); });
    Queue.PostKey(KeyCode::Enter);
  }
  // What the dialog shows after a refusal, and that it still runs.
  struct Refused {
    bool Open = false;
    std::string Message;  // on the screen
    std::string Text;     // in the box
    bool BoxFocused = false;
  };
  void PostLookAtRefusal(Refused& seen) {
    Queue.PostAction([this, &seen] {
      TMarkLengthForm& d = Dialog();
      seen = {d.ModalResult() == mrNone, Native(d.MessageLabel).Text(), Native(d.LengthEdit).Text(),
              Native(d.LengthEdit).Focused()};
    });
  }
};

// ---------------------------------------------------------------- typed lengths

// What is typed into which dialog, and what comes back: pixels per
// millimetre or per own unit (with the unit's name), or the refusal shown.
struct Entry {
  bool OwnUnit;      // the own unit's dialog; else the calibration's
  RulerUnit Beside;  // as the ruler reads, for the calibration's list
  const char* Typed;
  int64_t Apart;
  double PixelsPer;  // 0: refused
  const char* NameOrRefusal = "";
};

class Entries : public UnitDialogsTest, public ::testing::WithParamInterface<Entry> {};

// Taken, the dialog gives its result; refused, it stays open with the
// reason under the text as typed, the box keeps the keyboard, and Esc then
// gives nothing.
TEST_P(Entries, AreTakenOrRefusedWithTheDialogOpen) {
  const Entry& c = GetParam();
  PostEntry(c.Typed);
  Refused seen;
  if (c.PixelsPer == 0) {
    PostLookAtRefusal(seen);
    Queue.PostKey(KeyCode::Escape);
  }
  std::optional<double> got;
  std::string name;
  if (!c.OwnUnit) {
    got = AskCalibration(*App, c.Apart, c.Beside);
  } else if (const std::optional<OwnUnit> unit = AskOwnUnit(*App, c.Apart)) {
    got = unit->PixelsPerUnit;
    name = unit->Name;
  }
  if (c.PixelsPer != 0) {
    ASSERT_TRUE(got.has_value());
    EXPECT_NEAR(*got, c.PixelsPer, 1e-9);
    EXPECT_EQ(name, c.NameOrRefusal);
  } else {
    EXPECT_FALSE(got.has_value());
    EXPECT_TRUE(seen.Open);
    EXPECT_EQ(seen.Message, c.NameOrRefusal);
    EXPECT_EQ(seen.Text, c.Typed);
    EXPECT_TRUE(seen.BoxFocused);
  }
  EXPECT_EQ(Os.ModalLoopsRunDry, 0);
  EXPECT_EQ(App->ModalForm(), nullptr);
}

constexpr bool kCalibration = false, kOwn = true;
constexpr RulerUnit kMm = RulerUnit::Mm;
const char* const kNotPositive = "The length must be more than zero.";
const char* const kSamePlace = "The marks are at the same place: set them apart first.";

INSTANTIATE_TEST_SUITE_P(
    UnitDialogs, Entries,
    ::testing::Values(
        // The list beside the box starts at mm where the ruler reads px or its own unit.
        Entry{kCalibration, RulerUnit::Px, "85.6 mm", 300, 300 / 85.6},
        Entry{kCalibration, RulerUnit::Own, "100", 300, 3.0},
        Entry{kCalibration, RulerUnit::Cm, "8,56", 300, 300 / 85.6},
        Entry{kCalibration, kMm, " 3.37 in ", 300, 300 / (3.37 * 25.4)},
        Entry{kCalibration, RulerUnit::In, "10 CM", -300, 3.0},  // marks right to left
        Entry{kCalibration, kMm, "", 300, 0,
              "Type the length between the marks, for example \"85.6 mm\"."},
        Entry{kCalibration, kMm, "0", 300, 0, kNotPositive},
        Entry{kCalibration, kMm, "-85.6 mm", 300, 0, kNotPositive},
        Entry{kCalibration, kMm, "99999999 mm", 300, 0, "That length is too large."},
        Entry{kCalibration, kMm, "card", 300, 0,
              "Type a number, then its unit, for example \"85.6 mm\"."},
        Entry{kCalibration, kMm, "300 px", 300, 0,
              "Use a real length's unit: mm, cm, m, in, ft or pt."},
        Entry{kCalibration, kMm, "1 mm", 300, 0,
              "That length is too short for marks 300 px apart."},
        Entry{kOwn, kMm, "4 m", 250, 62.5, "m"},
        Entry{kOwn, kMm, "250", -250, 1, ""},  // a bare number names no unit
        Entry{kOwn, kMm, " 2,5  km ", 250, 100, "km"},
        Entry{kOwn, kMm, "", 250, 0, "Type the length between the marks, for example \"4 m\"."},
        Entry{kOwn, kMm, "-4 m", 250, 0, kNotPositive},
        Entry{kOwn, kMm, "m", 250, 0, "Type a number, then its unit, for example \"4 m\"."},
        Entry{kOwn, kMm, "0.00001 m", 250, 0, "That length is too short for marks 250 px apart."},
        Entry{kOwn, kMm, "4 abcdefghijklmnopq", 250, 0,
              "The unit's name is too long: 16 characters at most."},
        Entry{kOwn, kMm, "4 m", 0, 0, kSamePlace}));

// ---------------------------------------------------------------- both dialogs

// Asks with marks this far apart; true: confirmed.
using Ask = bool (*)(TApplication&, std::optional<int64_t>);
bool AskCalibrated(TApplication& app, std::optional<int64_t> apart) {
  return AskCalibration(app, apart, RulerUnit::Mm).has_value();
}
bool AskOwn(TApplication& app, std::optional<int64_t> apart) {
  return AskOwnUnit(app, apart).has_value();
}

struct Opening {
  const char* Name;
  Ask Asking;
  int64_t Apart;
  const char* Caption;
  const char* Prompt;
};

class Openings : public UnitDialogsTest, public ::testing::WithParamInterface<Opening> {};

// The box has the keyboard, and Esc cancels even a length that would be taken.
TEST_P(Openings, SayHowFarApartTheMarksAreFocusTheBoxAndEscCancels) {
  const Opening& c = GetParam();
  std::string caption, prompt;
  bool focused = false;
  Queue.PostAction([&] {
    caption = Os.Focused->Params().Caption;
    prompt = Dialog().Prompt();
    focused = Native(Dialog().LengthEdit).Focused();
    Native(Dialog().LengthEdit).UserType("100 mm");
  });
  Queue.PostKey(KeyCode::Escape);
  EXPECT_FALSE(c.Asking(*App, c.Apart));
  EXPECT_EQ(caption, c.Caption);
  EXPECT_EQ(prompt, c.Prompt);
  EXPECT_TRUE(focused);
  EXPECT_EQ(Os.ModalLoopsRunDry, 0);
  EXPECT_TRUE(WindowOf(Slot(0)).IsEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    UnitDialogs, Openings,
    ::testing::Values(
        Opening{"Calibration", AskCalibrated, 300, "Calibrate the Screen",
                "The marks are 300 px apart. How long is that on the screen?"},
        Opening{"CalibrationRightToLeft", AskCalibrated, -300, "Calibrate the Screen",
                "The marks are 300 px apart. How long is that on the screen?"},
        Opening{"OwnUnit", AskOwn, 250, "Ruler's Own Unit",
                "The marks are 250 px apart. What length is that, in which unit? For example 4 "
                "m, 12 ft or 250."}),
    [](const auto& info) { return std::string(info.param.Name); });

// With fewer than two marks they say what to do: there is nothing to type,
// OK is greyed and neither Enter nor a click on it confirms; Cancel has the
// keyboard, and Esc and the close box end the dialog.
TEST_F(UnitDialogsTest, WithoutTwoMarksTheySayWhatToDoAndCannotBeConfirmed) {
  for (Ask asking : {AskCalibrated, AskOwn}) {
    for (bool closeBox : {false, true}) {
      std::string prompt;
      bool boxShown = true, okEnabled = true, cancelFocused = false, stillOpen = false;
      Queue.PostAction([&] {
        TMarkLengthForm& d = Dialog();
        prompt = d.Prompt();
        boxShown = Native(d.LengthEdit).ShownOnScreen();
        okEnabled = Native(d.OkButton).Params().Enabled;
        cancelFocused = Native(d.CancelButton).Focused();
        Native(d.OkButton).UserClick();
      });
      Queue.PostKey(KeyCode::Enter);
      Queue.PostAction([&] { stillOpen = App->ModalForm() && Dialog().ModalResult() == mrNone; });
      if (closeBox) {
        Queue.PostAction([&] { Os.Focused->Handler().HandleCloseRequest(); });
      } else {
        Queue.PostKey(KeyCode::Escape);
      }
      EXPECT_FALSE(asking(*App, std::nullopt));
      EXPECT_EQ(prompt,
                "Set a mark at each end of something of known length first: double-click the "
                "ruler or press Space.");
      EXPECT_FALSE(boxShown);
      EXPECT_FALSE(okEnabled);
      EXPECT_TRUE(cancelFocused);
      EXPECT_TRUE(stillOpen);
      EXPECT_EQ(Os.ModalLoopsRunDry, 0);
    }
  }
}

// A bare number is in the unit chosen beside the box; a refusal mended in
// the box is taken, by OK as by Enter, and the line clears.
TEST_F(UnitDialogsTest, ABareNumberIsInTheChosenUnitAndAMendedLengthIsTaken) {
  std::vector<std::string> units;
  std::string refusal, after = "unread";
  Queue.PostAction([&] {
    units = Dialog().UnitComboBox->Items();
    Native(*Dialog().UnitComboBox).UserChoose(2);
  });
  PostEntry("-1");
  Queue.PostAction([&] {
    refusal = Native(Dialog().MessageLabel).Text();
    Native(Dialog().LengthEdit).UserSetText("1");
    Native(Dialog().OkButton).UserClick();
    after = Native(Dialog().MessageLabel).Text();
  });
  const std::optional<double> got = AskCalibration(*App, 254, RulerUnit::Cm);
  EXPECT_EQ(units, (std::vector<std::string>{"mm", "cm", "in", "pt"}));
  EXPECT_EQ(refusal, kNotPositive);
  ASSERT_TRUE(got.has_value());
  EXPECT_NEAR(*got, 10.0, 1e-12);
  EXPECT_EQ(after, "");
}

// ---------------------------------------------------------------- the controls they brought

// A disabled button takes neither Enter, nor the keyboard, nor a click;
// enabled again, it takes them.
TEST_F(UnitDialogsTest, ADisabledDefaultButtonTakesNeitherEnterNorTheKeyboard) {
  TForm& form = MakeForm(DialogWindow("Buttons"));
  TButton ok(form, nullptr, {8, 8, 75, 25}, "OK", {true, false, mrOk});
  TButton cancel(form, nullptr, {90, 8, 75, 25}, "Cancel", {false, true, mrCancel});
  int clicks = 0;
  ok.OnClick = [&clicks](TButton&) { ++clicks; };
  ok.SetEnabled(false);
  form.Show();
  headless::HeadlessControl& native = *Os.Find(form)->Find(ok);
  EXPECT_FALSE(native.Params().Enabled) << "made greyed";
  EXPECT_TRUE(Os.Find(form)->Find(cancel)->Focused());
  EXPECT_FALSE(form.HandleDialogKey(DialogKey::Enter));
  native.UserClick();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(form.ModalResult(), mrNone);
  ok.SetEnabled(true);
  EXPECT_TRUE(native.Params().Enabled);
  EXPECT_TRUE(form.HandleDialogKey(DialogKey::Enter));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form.ModalResult(), mrOk);
}

// The program's own text fires nothing; each edit of the user's fires once
// with the text it left.
TEST_F(UnitDialogsTest, ATextBoxFiresOnTheUsersEditsOnly) {
  TForm& form = MakeForm(DialogWindow("Box"));
  TEdit box(form, nullptr, {8, 8, 100, 21}, "85");
  std::vector<std::string> heard;
  box.OnChange = [&heard](TEdit& b) { heard.push_back(b.Text()); };
  box.SetText("86");
  form.Show();
  headless::HeadlessControl& native = *Os.Find(form)->Find(box);
  EXPECT_EQ(native.Text(), "86") << "made with the text it had";
  box.SetText("3.3");
  EXPECT_EQ(native.Text(), "3.3");
  EXPECT_TRUE(heard.empty());
  native.UserType("7 in");
  native.UserSetText("");
  EXPECT_EQ(heard, (std::vector<std::string>{"3.37", "3.37 ", "3.37 i", "3.37 in", ""}));
  EXPECT_EQ(box.Text(), "");
}

}  // namespace
}  // namespace vr::test
