// Which of the user's doings with a list is a choice, as the lists report
// them: the system tells each move of the selection and each close of the
// dropped list; the program makes one choice of them, or none, and puts a
// list closed without one back as it was.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "forms/Controls.h"

namespace vr::test {
namespace {

using Doing = std::function<void(headless::HeadlessControl&)>;
Doing Pick(int i) {
  return [i](headless::HeadlessControl& c) { c.UserPick(i); };
}
Doing Browse(int i) {
  return [i](headless::HeadlessControl& c) { c.UserBrowse(i); };
}
const Doing kTake = [](headless::HeadlessControl& c) { c.UserTake(); };
const Doing kEscape = [](headless::HeadlessControl& c) { c.UserCloseList(); };

struct ChoiceCase {
  const char* name;
  std::vector<Doing> doings;  // from item 0 chosen
  int choices;                // how many the handler heard
  int chosen;                 // the box's choice afterwards, as it shows it once closed
  bool open = false;          // the list is still dropped, showing the item moved to
};

class ListChoice : public ProgramTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(ListChoice, IsMadeOnceAtMostAndAListClosedWithoutOneShowsTheOldOne) {
  for (const TComboBoxStyle style : {TComboBoxStyle::DropDownList, TComboBoxStyle::DropDown}) {
    TForm& form = MakeForm(DialogWindow("Lists"));
    TComboBox box(form, nullptr, {8, 8, 89, 21}, style, {"640", "800", "1024"});
    box.SetItemIndex(0);
    std::vector<std::string> heard;
    box.OnChange = [&heard](TComboBox& b) { heard.push_back(b.Text()); };
    form.Show();
    headless::HeadlessControl& native = *Os.Find(form)->Find(box);
    for (const Doing& doing : GetParam().doings) doing(native);
    SCOPED_TRACE(style == TComboBoxStyle::DropDown ? "editable" : "choose-only");
    EXPECT_EQ(static_cast<int>(heard.size()), GetParam().choices);
    EXPECT_EQ(box.ItemIndex(), GetParam().chosen);
    const std::string text = box.Items()[static_cast<size_t>(GetParam().chosen)];
    EXPECT_EQ(box.Text(), text);
    if (!GetParam().open) {
      EXPECT_EQ(native.ItemIndex(), GetParam().chosen);
      EXPECT_EQ(native.Text(), text) << "the chosen item's text shows in the box";
    }
    for (const std::string& h : heard) EXPECT_EQ(h, text) << "the handler read the choice";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Doings, ListChoice,
    ::testing::Values(
        // The keys in the closed box, as the system under Wine reports them, and as others do.
        ChoiceCase{"AnArrowInTheClosedBoxTakenThenSelected", {Browse(1), kTake, Pick(1)}, 1, 1},
        ChoiceCase{"AnArrowInTheClosedBoxSelectedOnly", {Pick(1)}, 1, 1},
        ChoiceCase{"TheChosenItemPickedAgainInTheClosedBox", {Pick(0)}, 0, 0},
        ChoiceCase{"MovingThroughTheDroppedList", {Browse(1), Browse(2)}, 0, 0, true},
        ChoiceCase{"AnItemTakenFromTheDroppedList", {Browse(1), Browse(2), kTake}, 1, 2},
        ChoiceCase{"TheChosenItemTakenAgain", {Browse(2), Browse(0), kTake}, 1, 0},
        ChoiceCase{"TheDroppedListClosedByEsc", {Browse(2), kEscape}, 0, 0},
        ChoiceCase{"NothingSelectedTaken", {Browse(-1), kTake}, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramTest, CustomTakenAgainFromTheColourListAsksTheChooserAgain) {
  TForm& form = MakeForm(DialogWindow("Colours"));
  TColorBox box(form, nullptr, {8, 8, 89, 21}, {{"Red", 0x0000FF}});
  int heard = 0;
  box.OnSelect = [&heard](TColorBox&) { ++heard; };
  form.Show();
  headless::HeadlessControl& native = *Os.Find(form)->Find(box);
  Os.ColorChooserAnswer = 0x123456;
  native.UserChoose(0);
  Os.ColorChooserAnswer = 0x654321;
  native.UserChoose(0);
  EXPECT_EQ(Os.ColorChooserPresets, (std::vector<TColor>{0x000000, 0x123456}));
  EXPECT_EQ(heard, 2);
  EXPECT_EQ(box.Selected(), 0x654321u);
  // Browsed to Red and closed by Esc: "Custom..." shows again, nothing is chosen.
  native.UserBrowse(1);
  native.UserCloseList();
  EXPECT_EQ(heard, 2);
  EXPECT_EQ(native.ItemIndex(), 0);
}

}  // namespace
}  // namespace vr::test
