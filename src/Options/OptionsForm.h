#pragma once
// The Options window: every setting of the active ruler, changed at once.
// It follows the active ruler: whenever that may have changed, every control
// is loaded from it again.

#include <array>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "DataModule/DataModule.h"
#include "Options/ProgramOptions.h"
#include "Ruler/Rulers.h"
#include "forms/Controls.h"
#include "forms/Forms.h"

namespace vr {

// A box's text as a decimal integer: optional blanks around an optional sign
// and digits, within the 32-bit range. Anything else does not parse.
std::optional<int32_t> ParseInteger(const std::string& text);

// The font name a typed text gives: its first 31 characters, cut between two
// characters (code points), never inside one. nullopt for an empty text and
// for one that is not well-formed UTF-8 or holds a NUL: it names no font.
std::optional<std::string> FontNameFromText(const std::string& text);

// "Default" and the screen's font families, each once, sorted without regard to case.
std::vector<std::string> FontNameList(const std::vector<std::string>& families);

// The colours the font colour list offers after "Custom...", in list order.
const std::vector<TColorBox::NamedColor>& FontColorList();

class TOptionsForm : public TForm, public TRulerObserver {
 public:
  // Edits the active ruler of the slots, with the command module's pictures
  // and ruler commands, and the program's own options.
  TOptionsForm(TApplication& owner, TRulerSlots& rulers, TDM& dm, TProgramOptions& options);
  ~TOptionsForm() override;

  // Loads every control from the active ruler. Asked for while a change made
  // in the window is handled, it waits until that change is done.
  void RefreshFromRuler() override;

  // The controls of one tick level's group box.
  struct TickControls {
    TGroupBox Box;
    TCheckBox ShowTickCheckBox;
    TLabel TickSizeLabel;
    TComboBox TickSizeComboBox;
    TCheckBox ShowNumberCheckBox;
    TLabel FontSizeLabel;
    TComboBox FontSizeComboBox;
    TShape TicksShape;
    TickControls(TOptionsForm& form, int level);
  };

  // In tab order.
  TGroupBox AppearanceGroupBox;
  TLabel FontNameLabel;
  TComboBox FontNameComboBox;
  TLabel FontColorLabel;
  TColorBox FontColorBox;
  TCheckBox AlphaBlendCheckBox;
  TTrackBar AlphaBlendValueTrackBar;
  TLabel LuminosityLabel;
  TTrackBar LuminosityTrackBar;
  TShape AppearanceShape;
  TToolBar RulersToolBar;
  TGroupBox DimensionsGroupBox;
  TLabel ScaleLabel;
  TComboBox ScaleComboBox;
  TLabel LeftMarginLabel;
  TComboBox LeftMarginComboBox;
  TLabel RightMarginLabel;
  TComboBox RightMarginComboBox;
  TLabel BreadthLabel;
  TComboBox BreadthComboBox;
  TLabel OrientationLabel;
  TComboBox OrientationComboBox;
  TShape DimensionsShape;
  TComboBox TicksComboBox;
  // Levels Tick100, Tick50, Tick10, Tick5: the group boxes' tags 0..3.
  std::array<TickControls, kTickLevels> Ticks;
  // What the ruler reads in, and how dense the screen under it is, with the
  // way back from a calibration to the system's density.
  TGroupBox MeasureGroupBox;
  TLabel UnitLabel;
  TComboBox UnitComboBox;
  TLabel ScreenLabel;
  TLabel DensityLabel;
  TButton SystemDensityButton;
  // The program's own: its hotkey and its start with Windows, each with a
  // note beside it that says why it does not work as set.
  TGroupBox ProgramGroupBox;
  TLabel HotkeyLabel;
  THotkeyBox HotkeyBox;
  TLabel HotkeyNoteLabel;
  TCheckBox StartWithWindowsCheckBox;
  TLabel StartNoteLabel;

  // Handlers.
  void FontNameComboBoxChange(TComboBox& sender);
  void FontColorBoxSelect(TColorBox& sender);
  void AlphaBlendCheckBoxClick(TCheckBox& sender);
  void AlphaBlendValueTrackBarChange(TTrackBar& sender);
  void LuminosityTrackBarChange(TTrackBar& sender);
  void ScaleComboBoxChange(TComboBox& sender);
  void LeftMarginComboBoxChange(TComboBox& sender);
  void RightMarginComboBoxChange(TComboBox& sender);
  void BreadthComboBoxChange(TComboBox& sender);
  void OrientationComboBoxSelect(TComboBox& sender);
  void ShowTickCheckBoxClick(TCheckBox& sender);
  void TickSizeComboBoxChange(TComboBox& sender);
  void ShowNumberCheckBoxClick(TCheckBox& sender);
  void FontSizeComboBoxChange(TComboBox& sender);
  void TicksComboBoxSelect(TComboBox& sender);
  void UnitComboBoxSelect(TComboBox& sender);
  void SystemDensityButtonClick(TButton& sender);
  void HotkeyBoxChange(THotkeyBox& sender);
  void StartWithWindowsCheckBoxClick(TCheckBox& sender);

  // In characters: a face name holds 31 and its terminating NUL.
  static constexpr size_t kMaxFontNameLength = 31;

 protected:
  void FormShow() override;
  // The program's options may have changed outside the window meanwhile.
  void HandleActivate(bool active) override;

 private:
  // One change the user makes in the window, from its control's handler to
  // its end: it goes to the ruler, and the window reloads from the ruler
  // afterwards, once, leaving the box the user types in as it is.
  class TChange {
   public:
    TChange(TOptionsForm& form, const TControl& sender);
    ~TChange();
    TChange(const TChange&) = delete;
    TChange& operator=(const TChange&) = delete;

   private:
    TOptionsForm& Form_;
    const TControl& Sender_;
  };
  // A number box's value goes to a setter of the active ruler, after the
  // setter's leading arguments (a tick level); a failure of either is
  // dropped: the ruler keeps its value and the box its text.
  template <class Setter, class... Leading>
  void ApplyNumber(TComboBox& box, Setter setter, Leading... leading) {
    const TChange change(*this, box);
    TRulerForm* r = ActiveRuler();
    const auto n = ParseInteger(box.Text());
    if (!r || !n) return;
    try {
      (r->*setter)(leading..., *n);
    } catch (const std::exception&) {
    }
  }
  // Every control from the ruler, but for the box the user is typing in. A
  // load fires no handler; only a track bar that had to take its nearer end
  // hands that end to the ruler, as its own change would.
  void Reload(const TControl* typing);
  // The program's options as they are now: the hotkey's claim tried again
  // where it failed, the start list read again.
  void RefreshProgramOptions();
  void FormCreate();
  TRulerForm* ActiveRuler() const { return Rulers_.ActiveRuler(); }
  // The level of a control: the tag of the group box that holds it.
  static TickLevel LevelOf(const TControl& control);
  TRulerSlots& Rulers_;
  TDM& DM_;
  TProgramOptions& Options_;
  bool Shown_ = false;
  int Changing_ = 0;
  bool Reloading_ = false;
  bool ReloadPending_ = false;
};

}  // namespace vr
