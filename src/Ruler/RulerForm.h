#pragma once
// One ruler window: its settings, geometry, movement and setters.

#include <cstdint>
#include <optional>
#include <string>

#include "Ruler/RulerHost.h"
#include "Ruler/RulerMeasure.h"
#include "Ruler/RulerOverlay.h"
#include "Ruler/RulerRender.h"
#include "Ruler/RulerSettings.h"
#include "Ruler/Units.h"
#include "forms/Forms.h"
#include "platform/Image.h"

namespace vr {

// Windows larger than this along the length, or across it (kMaxRulerBreadth),
// are laid out at this size: a stored value can't make a window or picture
// that can't exist.
inline constexpr int32_t kMaxRulerLength = 8192;

class TRulerForm : public TForm {
 public:
  // The ruler of a slot, 0 to 9, reaching the program through its host.
  TRulerForm(TApplication& owner, TRulerHost& host, int rulerIndex = 0);
  ~TRulerForm() override;

  int RulerIndex() const { return RulerIndex_; }
  const RulerSettings& Settings() const { return Settings_; }

  // Fields read directly by callers.
  Point CenterPoint() const { return Settings_.CenterPoint; }
  int32_t Scale() const { return Settings_.Scale; }
  int32_t LeftMargin() const { return Settings_.LeftMargin; }
  int32_t RightMargin() const { return Settings_.RightMargin; }
  int32_t Breadth() const { return Settings_.Breadth; }
  uint8_t Orientation() const { return Settings_.Orientation; }
  int32_t Luminosity() const { return Settings_.Luminosity; }
  TColor BaseColor() const { return Settings_.BaseColor; }
  bool AlphaBlend() const { return Settings_.AlphaBlend; }
  uint8_t AlphaBlendValue() const { return Settings_.AlphaBlendValue; }
  bool GetShowTick(TickLevel level) const { return Settings_.ShowTick[level]; }
  bool GetShowNumber(TickLevel level) const { return Settings_.ShowNumber[level]; }
  int32_t GetTickSize(TickLevel level) const { return Settings_.TickSize[level]; }
  int32_t GetFontSize(TickLevel level) const { return Settings_.FontSize[level]; }

  // The window's opacity properties, set directly (they change no picture).
  void SetAlphaBlend(bool on);
  void SetAlphaBlendValue(uint8_t value);

  // Setters: an equal value does nothing.
  void SetScale(int32_t value);
  void SetLeftMargin(int32_t value);
  void SetRightMargin(int32_t value);
  void SetBreadth(int32_t value);
  void SetOrientation(uint8_t value);
  void SetLuminosity(int32_t value);
  void SetBaseColor(TColor value);
  void SetShowTick(TickLevel level, bool on);
  void SetShowNumber(TickLevel level, bool on);
  void SetTickSize(TickLevel level, int32_t value);
  void SetFontSize(TickLevel level, int32_t value);

  void UpdateLayout();
  void MoveCenterTo(Point p);
  // Brings the ruler back inside the nearest work area when its window lies
  // wholly off every monitor; a ruler partly on a screen stays put.
  void KeepReachable();

  // Reports which values the store did not have.
  MissingValues LoadSettings();
  void SaveSettings();
  std::string SettingsKeyPath() const;
  // Copies another ruler's look and shape (not its place, font sizes or slot).
  void Assign(const TRulerForm& source);
  void CloseItemClick() { Close(); }

  // Window size as laid out, and the picture and shape it was given.
  int32_t LayoutWidth() const { return Width_; }
  int32_t LayoutHeight() const { return Height_; }
  Rect WindowRegion() const { return WindowRegion_; }
  const Image& RulerImage() const { return Picture_.Picture; }
  const Image& NoiseTile() const { return Picture_.NoiseTile; }
  const TLabelFont& LabelFont() const { return Picture_.LabelFont; }
  Point DragOffset() const { return DragOffset_; }
  // How many times the picture has been rebuilt; moves must not add to it.
  uint64_t RenderCount() const { return RenderCount_; }
  const TRenderWork& LastRenderWork() const { return Picture_.Work; }

  // Reading the ruler exactly. Marks last for the run; they are not stored.
  RulerAxis Axis() const { return RulerAxis::Of(Settings_, Width_, Height_); }
  const RulerMarks& Marks() const { return Marks_; }
  // The pointer's offset while it hovers over the ruler (not while dragging).
  std::optional<int64_t> PointerOffset() const { return Pointer_; }
  const TRulerOverlay& Overlay() const { return Overlay_; }
  // A mark at the offset, or the one within reach of it taken away.
  void ToggleMark(int64_t offset);
  // The same at the pointer's place along the ruler, over it or beside it.
  void ToggleMarkAtPointer();
  void ClearMarks();
  // What Ctrl+C copies, in the ruler's unit: "245 px", "64.8 mm".
  std::string MeasurementText() const;
  // Puts it on the clipboard; false when the clipboard could not be had.
  bool CopyMeasurement();

  // Reading in real units: the unit, the ruler's own one if it has one, and
  // how the unit reads on the screen under the ruler's centre.
  RulerUnit Unit() const { return Settings_.Unit; }
  const std::optional<OwnUnit>& Own() const { return Settings_.Own; }
  const UnitScale& Reading() const { return Reading_; }
  const ScreenDensity& Density() const { return Density_; }
  const MonitorArea& Monitor() const { return Monitor_; }
  // Setters: an equal value does nothing; a new one renders.
  void SetUnit(RulerUnit unit);
  // The ruler reads in a unit of its own from now on.
  void SetOwnUnit(const OwnUnit& own);
  // U and Shift+U: px, mm, cm, in, pt, its own unit if it has one, px again.
  void NextUnit();
  void PreviousUnit();
  // The monitor under the centre and its density, found again: after a move
  // onto another monitor, a calibration, a change of the desktop. A unit
  // that now reads otherwise renders the ruler.
  void UpdateDensity();
  // The distance between the first and the last mark, with two marks or more.
  std::optional<int64_t> MarkSpan() const;

  // Draws the picture anew from the settings, tells the program that this
  // ruler changed (ActiveFormChanged), then shows the picture.
  void Render();

  // WindowHandler
  void HandleMouseDown(const MouseEvent& e) override { FormMouseDown(e); }
  void HandleMouseMove(const MouseEvent& e) override { FormMouseMove(e); }
  void HandleMouseUp(const MouseEvent& e) override { FormMouseUp(e); }
  void HandleMouseLeave() override { FormMouseLeave(); }
  void HandleDoubleClick(const MouseEvent& e) override { FormDoubleClick(e); }
  // Rulers measure in screen pixels at every density: they keep their size,
  // and read their unit at the new monitor's density.
  void HandleDpiChanged(int /*dpi*/, const Rect& /*suggested*/) override { UpdateDensity(); }
  void HandlePaint() override { FormPaint(); }

  void FormPaint();

 protected:
  void FormClose(TCloseAction& action) override;
  void FormShow() override { KeepReachable(); }

 private:
  void FormCreate();
  void FormDestroy();
  void FormMouseDown(const MouseEvent& e);
  void FormMouseMove(const MouseEvent& e);
  void FormMouseUp(const MouseEvent& e);
  void FormMouseLeave();
  void FormDoubleClick(const MouseEvent& e);
  void FontChanged();
  void ApplyOpacity();
  // Where the window goes: its laid-out size around the centre point.
  Rect WindowBounds() const;
  Point DisplaySize() const;
  // A screen point in the window's coordinates, where the ruler is laid out.
  Point ScreenToWindow(Point screen) const;
  // The cursor in window coordinates, now: only where no event says where it was.
  Point CursorInWindow() const;
  // The pointer hovers at this point of the window: the overlay follows it.
  void PointerMoved(Point window);
  // Brings the overlay up to date and shows the areas that changed.
  void ShowOverlay();

  TRulerHost& Host_;
  int RulerIndex_ = 0;
  RulerSettings Settings_;
  // Each ruler's own, from the same start on every run.
  SpeckleSource Speckle_;
  MonitorArea Monitor_;
  ScreenDensity Density_;
  UnitScale Reading_;
  Point DragOffset_;
  Rect WindowRegion_;
  // The design size, until the first layout.
  int32_t Width_ = 226;
  int32_t Height_ = 105;
  RulerPicture Picture_;
  RulerMarks Marks_;
  std::optional<int64_t> Pointer_;
  TRulerOverlay Overlay_;
  uint64_t RenderCount_ = 0;
};

}  // namespace vr
