#include "Ruler/UnitDialogs.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Ruler/UnitInput.h"

namespace vr {

namespace {

// The layout at 96 dots per inch: two lines of text, the box, the line for a
// refusal, the buttons at the bottom right.
constexpr int kClientWidth = 384;
constexpr int kMargin = 12;
constexpr int kLineHeight = 16;
constexpr int kBoxTop = kMargin + 2 * kLineHeight + 8;
constexpr int kBoxHeight = 21;
constexpr int kUnitListWidth = 56;
constexpr int kMessageTop = kBoxTop + kBoxHeight + 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;
constexpr int kButtonsTop = kMessageTop + kLineHeight + 8;

constexpr TColor kRefusalRed = 0x0000C0;

// What a bare number can be in, in the order of the list.
constexpr std::array<RulerUnit, 4> kUnitsBeside{RulerUnit::Mm, RulerUnit::Cm, RulerUnit::In,
                                                RulerUnit::Pt};

const char* const kMarkFirst = "Set a mark at each end of something of known length first:";
const char* const kMarkHow = "double-click the ruler or press Space.";

std::string DistanceText(int64_t pixels) {
  const uint64_t magnitude =
      pixels < 0 ? 0 - static_cast<uint64_t>(pixels) : static_cast<uint64_t>(pixels);
  return "The marks are " + std::to_string(magnitude) + " px apart.";
}

Rect ButtonPlace(int fromRight) {
  return {kClientWidth - kMargin - kButtonWidth - fromRight * (kButtonWidth + kButtonGap),
          kButtonsTop, kButtonWidth, kButtonHeight};
}

ControlFont RefusalFont() {
  ControlFont f;
  f.Color = kRefusalRed;
  return f;
}

std::unique_ptr<TComboBox> MakeUnitList(TForm& form, bool withUnits) {
  if (!withUnits) return nullptr;
  std::vector<std::string> names;
  for (RulerUnit unit : kUnitsBeside) names.emplace_back(UnitName(unit));
  return std::make_unique<TComboBox>(
      form, nullptr,
      Rect{kClientWidth - kMargin - kUnitListWidth, kBoxTop, kUnitListWidth, kBoxHeight},
      TComboBoxStyle::DropDownList, std::move(names));
}

}  // namespace

// ---------------------------------------------------------------- TMarkLengthForm

TMarkLengthForm::TMarkLengthForm(TApplication& owner, const std::string& caption,
                                 std::optional<int64_t> markDistance, const std::string& question,
                                 bool withUnits)
    : TForm(owner, DialogWindow(caption)),
      DistanceLabel(*this, nullptr, {kMargin, kMargin},
                    markDistance ? DistanceText(*markDistance) : kMarkFirst),
      QuestionLabel(*this, nullptr, {kMargin, kMargin + kLineHeight},
                    markDistance ? question : kMarkHow),
      // Made before the list and the buttons: the first to take the keyboard.
      LengthEdit(
          *this, nullptr,
          {kMargin, kBoxTop,
           kClientWidth - 2 * kMargin - (withUnits ? kUnitListWidth + kButtonGap : 0), kBoxHeight}),
      UnitComboBox(MakeUnitList(*this, withUnits)),
      MessageLabel(*this, nullptr, {kMargin, kMessageTop}, "", RefusalFont()),
      OkButton(*this, nullptr, ButtonPlace(1), "OK", {true, false, mrNone}),
      CancelButton(*this, nullptr, ButtonPlace(0), "Cancel", {false, true, mrCancel}),
      MarkDistance_(markDistance) {
  OkButton.OnClick = [this](TButton& b) { OkButtonClick(b); };
  int bottom = kButtonsTop + kButtonHeight;
  if (!markDistance) {
    // Nothing to type: what to do, and the way out. The buttons move up
    // into the box's place.
    LengthEdit.Hide();
    if (UnitComboBox) UnitComboBox->Hide();
    MessageLabel.Hide();
    OkButton.SetEnabled(false);
    for (TButton* b : {&OkButton, &CancelButton}) {
      Rect r = b->BoundsRect();
      r.Top = kBoxTop;
      b->SetBounds(r);
    }
    bottom = kBoxTop + kButtonHeight;
  }
  SetClientSize(kClientWidth, bottom + kMargin);
  CenterOnScreen();
}

TMarkLengthForm::~TMarkLengthForm() = default;

std::string TMarkLengthForm::Prompt() const {
  return DistanceLabel.Caption() + " " + QuestionLabel.Caption();
}

void TMarkLengthForm::OkButtonClick(TButton& /*sender*/) {
  if (!MarkDistance_) return;
  const std::string refusal = Confirm(*MarkDistance_);
  MessageLabel.SetCaption(refusal);
  if (refusal.empty()) {
    SetModalResult(mrOk);
  } else {
    // The text stays as typed, to be mended where it is.
    LengthEdit.SetFocus();
  }
}

// ---------------------------------------------------------------- TCalibrationForm

TCalibrationForm::TCalibrationForm(TApplication& owner, std::optional<int64_t> markDistance,
                                   RulerUnit unitBeside)
    : TMarkLengthForm(owner, "Calibrate the Screen", markDistance,
                      "How long is that on the screen?", true) {
  int index = 0;
  for (size_t i = 0; i < kUnitsBeside.size(); ++i)
    if (kUnitsBeside[i] == unitBeside) index = static_cast<int>(i);
  UnitComboBox->SetItemIndex(index);
}

RulerUnit TCalibrationForm::UnitBeside() const {
  const int index = UnitComboBox->ItemIndex();
  if (index < 0 || index >= static_cast<int>(kUnitsBeside.size())) return RulerUnit::Mm;
  return kUnitsBeside[static_cast<size_t>(index)];
}

std::string TCalibrationForm::Confirm(int64_t markDistance) {
  const Checked<double> millimetres = ParseRealLength(LengthEdit.Text(), UnitBeside());
  if (!millimetres.Ok()) return millimetres.Message;
  const Checked<double> density = CalibrationFrom(*millimetres.Value, markDistance);
  if (!density.Ok()) return density.Message;
  PixelsPerMm_ = density.Value;
  return {};
}

// ---------------------------------------------------------------- TOwnUnitForm

TOwnUnitForm::TOwnUnitForm(TApplication& owner, std::optional<int64_t> markDistance)
    : TMarkLengthForm(owner, "Ruler's Own Unit", markDistance,
                      "What length is that, in which unit? For example 4 m, 12 ft or 250.", false) {
}

std::string TOwnUnitForm::Confirm(int64_t markDistance) {
  const Checked<TypedLength> length = ParseOwnLength(LengthEdit.Text());
  if (!length.Ok()) return length.Message;
  const Checked<OwnUnit> unit = OwnUnitFrom(*length.Value, markDistance);
  if (!unit.Ok()) return unit.Message;
  Unit_ = unit.Value;
  return {};
}

// ---------------------------------------------------------------- asking

std::optional<double> AskCalibration(TApplication& app, std::optional<int64_t> markDistance,
                                     RulerUnit unitBeside) {
  const auto form = std::make_unique<TCalibrationForm>(app, markDistance, unitBeside);
  if (form->ShowModal() != mrOk) return std::nullopt;
  return form->PixelsPerMm();
}

std::optional<OwnUnit> AskOwnUnit(TApplication& app, std::optional<int64_t> markDistance) {
  const auto form = std::make_unique<TOwnUnitForm>(app, markDistance);
  if (form->ShowModal() != mrOk) return std::nullopt;
  return form->Unit();
}

}  // namespace vr
