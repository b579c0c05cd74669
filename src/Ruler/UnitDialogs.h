#pragma once
// The two small dialogs that scale rulers from two marks: the screen's
// calibration (how long the marks' distance is on the glass) and a ruler's
// own unit (how long it is in a drawing's or a map's unit). Each says how far
// apart the marks are and takes a typed length; Enter confirms, and a length
// that can't be taken leaves the dialog open with the reason under the box.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Ruler/Units.h"
#include "forms/Controls.h"
#include "forms/Forms.h"

namespace vr {

// Asks for the real length between the first and the last mark, markDistance
// pixels apart (nullopt with fewer than two marks: the dialog says what to do
// and can only be cancelled). A bare number is in the unit chosen beside the
// box, which starts at unitBeside (mm where that is px or the ruler's own).
// The screen's pixels per millimetre once confirmed; nullopt otherwise.
std::optional<double> AskCalibration(TApplication& app, std::optional<int64_t> markDistance,
                                     RulerUnit unitBeside);

// Asks what length in which unit lies between the first and the last mark;
// the ruler's own unit that reads so, once confirmed; nullopt otherwise.
std::optional<OwnUnit> AskOwnUnit(TApplication& app, std::optional<int64_t> markDistance);

// What both dialogs are: two lines that say what the marks are and what to
// type, the box, the line for a refusal, OK and Cancel.
class TMarkLengthForm : public TForm {
 public:
  ~TMarkLengthForm() override;

  TLabel DistanceLabel;
  TLabel QuestionLabel;
  TEdit LengthEdit;
  // The unit a bare number is in; the calibration's only.
  std::unique_ptr<TComboBox> UnitComboBox;
  TLabel MessageLabel;
  TButton OkButton;
  TButton CancelButton;

  // The two lines as one text.
  std::string Prompt() const;
  void OkButtonClick(TButton& sender);

 protected:
  TMarkLengthForm(TApplication& owner, const std::string& caption,
                  std::optional<int64_t> markDistance, const std::string& question, bool withUnits);
  // Takes the typed length for marks this far apart; why not, if it can't.
  virtual std::string Confirm(int64_t markDistance) = 0;

 private:
  std::optional<int64_t> MarkDistance_;
};

class TCalibrationForm final : public TMarkLengthForm {
 public:
  TCalibrationForm(TApplication& owner, std::optional<int64_t> markDistance, RulerUnit unitBeside);
  // Once confirmed.
  std::optional<double> PixelsPerMm() const { return PixelsPerMm_; }
  // The unit chosen beside the box.
  RulerUnit UnitBeside() const;

 private:
  std::string Confirm(int64_t markDistance) override;
  std::optional<double> PixelsPerMm_;
};

class TOwnUnitForm final : public TMarkLengthForm {
 public:
  TOwnUnitForm(TApplication& owner, std::optional<int64_t> markDistance);
  // Once confirmed.
  const std::optional<OwnUnit>& Unit() const { return Unit_; }

 private:
  std::string Confirm(int64_t markDistance) override;
  std::optional<OwnUnit> Unit_;
};

}  // namespace vr
