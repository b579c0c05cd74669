#include "Ruler/RulerForm.h"

#include <algorithm>
#include <limits>

#include "Ruler/RulerPlacement.h"
#include "Ruler/ScreenDensities.h"

namespace vr {

namespace {

WindowParams RulerWindowDesign() {
  WindowParams p;
  p.Kind = WindowKind::Ruler;
  p.Caption = "Vantori Rulers";
  p.Bounds = {0, 0, 226, 105};
  return p;
}

// Every setter's change test: an equal value does no work at all.
template <class T>
bool Change(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

TRulerForm::TRulerForm(TApplication& owner, TRulerHost& host, int rulerIndex)
    : TForm(owner, RulerWindowDesign()), Host_(host), RulerIndex_(rulerIndex) {
  PopupMenu = host.RulerPopupMenu();
  FormCreate();
}

TRulerForm::~TRulerForm() { FormDestroy(); }

Point TRulerForm::DisplaySize() const { return Owner().Os().PrimaryDisplaySize(); }

void TRulerForm::FormCreate() {
  // No task-bar button: the hidden owner of every window keeps off the task bar.
  Platform& os = Owner().Os();
  os.KeepOffTaskBar();

  Picture_ = RulerPicture{};
  Font().OnChange = [this] { FontChanged(); };

  LoadSettings();
  ApplySlotStartValues(Settings_, RulerIndex_, DisplaySize());
  Font().SetColor(
      kSlotColors[static_cast<size_t>(std::clamp(RulerIndex_, 0, kSlotCount - 1))].Font);
  // The second load takes every stored value again. Where the store has no
  // centre, length or orientation, the slot keeps its own start, so that
  // rulers shown for the first time stand apart instead of on top of each other.
  const RulerSettings slotStart = Settings_;
  const MissingValues missing = LoadSettings();
  if (missing.CenterPoint) Settings_.CenterPoint = slotStart.CenterPoint;
  if (missing.Scale) Settings_.Scale = slotStart.Scale;
  if (missing.Orientation) Settings_.Orientation = slotStart.Orientation;

  ApplyOpacity();
  Monitor_ = Host_.Densities().At(Settings_.CenterPoint).Monitor;
  Density_ = Host_.Densities().DensityOf(Monitor_);
  Reading_ = ScaleOf(Settings_.Unit, Density_.PixelsPerMm, Settings_.Own);
  UpdateLayout();

  // The program's keyboard filter and active-window handler are in force
  // from before the first ruler; each new ruler runs the latter once.
  Host_.ActiveFormChanged(this);
}

void TRulerForm::FormDestroy() {
  // The pictures and the label font are plain objects of this ruler; the
  // window region went to the windowing system when it was set.
  Font().OnChange = nullptr;
  Picture_ = RulerPicture{};
  Overlay_ = TRulerOverlay{};
}

std::string TRulerForm::SettingsKeyPath() const { return vr::SettingsKeyPath(RulerIndex_); }

MissingValues TRulerForm::LoadSettings() {
  SettingsStore& store = Owner().Os().Store();
  TransferUnits(Settings_, store, SettingsKeyPath(), false);
  return TransferSettings(Settings_, store, SettingsKeyPath(), DisplaySize(), false, true);
}

void TRulerForm::SaveSettings() {
  SettingsStore& store = Owner().Os().Store();
  TransferSettings(Settings_, store, SettingsKeyPath(), DisplaySize(), true, false);
  TransferUnits(Settings_, store, SettingsKeyPath(), true);
}

void TRulerForm::FormClose(TCloseAction& /*action*/) { SaveSettings(); }

void TRulerForm::Assign(const TRulerForm& source) {
  Font().Assign(source.Font());
  SetBaseColor(source.BaseColor());
  SetLuminosity(source.Luminosity());
  Settings_.AlphaBlendValue = source.AlphaBlendValue();
  Settings_.AlphaBlend = source.AlphaBlend();
  ApplyOpacity();
  Settings_.Orientation = source.Orientation();
  Settings_.Scale = source.Scale();
  Settings_.LeftMargin = source.LeftMargin();
  Settings_.RightMargin = source.RightMargin();
  Settings_.Breadth = source.Breadth();
  Settings_.ShowTick = source.Settings_.ShowTick;
  Settings_.TickSize = source.Settings_.TickSize;
  Settings_.ShowNumber = source.Settings_.ShowNumber;
  UpdateLayout();
}

void TRulerForm::ApplyOpacity() {
  NativeWindow().SetOpacity(Settings_.AlphaBlend, Settings_.AlphaBlendValue);
}

void TRulerForm::SetAlphaBlend(bool on) {
  if (Change(Settings_.AlphaBlend, on)) ApplyOpacity();
}

void TRulerForm::SetAlphaBlendValue(uint8_t value) {
  if (Change(Settings_.AlphaBlendValue, value)) ApplyOpacity();
}

// ---------------------------------------------------------------- layout

void TRulerForm::UpdateLayout() {
  const int64_t length =
      static_cast<int64_t>(Settings_.LeftMargin) + Settings_.Scale + Settings_.RightMargin;
  // Sizes the store or a setter can produce but no window can have are laid
  // out at the nearest size that can exist; the settings keep their values.
  const int32_t along = static_cast<int32_t>(std::clamp<int64_t>(length, 1, kMaxRulerLength));
  const int32_t across = std::clamp<int32_t>(Settings_.Breadth, 1, kMaxRulerBreadth);
  const bool vertical =
      Settings_.Orientation == TopToBottom || Settings_.Orientation == BottomToTop;
  Width_ = vertical ? across : along;
  Height_ = vertical ? along : across;
  WindowRegion_ = {0, 0, Width_, Height_};
  NativeWindow().SetBounds(WindowBounds());
  NativeWindow().SetRegion(WindowRegion_);
  Render();
}

Rect TRulerForm::WindowBounds() const {
  const Point c = Settings_.CenterPoint;
  return {Saturate(static_cast<int64_t>(c.X) - Width_ / 2),
          Saturate(static_cast<int64_t>(c.Y) - Height_ / 2), Width_, Height_};
}

void TRulerForm::MoveCenterTo(Point p) {
  if (p == Settings_.CenterPoint) return;
  Settings_.CenterPoint = p;
  NativeWindow().SetBounds(WindowBounds());
  // Onto another monitor: its density may read the unit otherwise.
  const Rect& m = Monitor_.Bounds;
  if (p.X < m.Left || p.Y < m.Top || int64_t{p.X} >= int64_t{m.Left} + m.Width ||
      int64_t{p.Y} >= int64_t{m.Top} + m.Height)
    UpdateDensity();
  // Moved by keys under a resting pointer: it now points elsewhere on the
  // ruler. No event says where the pointer is, so it is asked.
  if (Pointer_) PointerMoved(CursorInWindow());
}

void TRulerForm::KeepReachable() {
  // Through MoveCenterTo, so that the next close stores the centre it was
  // brought back to and the next run starts where the user can see it.
  if (const auto centre =
          RescuedCenterPoint(Settings_.CenterPoint, Width_, Height_, Owner().Os().Monitors()))
    MoveCenterTo(*centre);
}

// ---------------------------------------------------------------- setters

void TRulerForm::SetScale(int32_t value) {
  // Compared before clamping: at 2048, SetScale(3000) still lays out again.
  if (value == Settings_.Scale) return;
  Settings_.Scale = std::clamp(value, kMinScale, kMaxScale);
  UpdateLayout();
}

void TRulerForm::SetLeftMargin(int32_t value) {
  if (Change(Settings_.LeftMargin, value)) UpdateLayout();
}

void TRulerForm::SetRightMargin(int32_t value) {
  if (Change(Settings_.RightMargin, value)) UpdateLayout();
}

void TRulerForm::SetBreadth(int32_t value) {
  // As SetScale: compared before clamping, and kept to the breadth the
  // window is drawn at, so that the Options window shows that at its next
  // reload and the next close stores it.
  if (value == Settings_.Breadth) return;
  Settings_.Breadth = std::clamp(value, kMinBreadth, kMaxRulerBreadth);
  UpdateLayout();
}

void TRulerForm::SetOrientation(uint8_t value) {
  if (Change(Settings_.Orientation, value)) UpdateLayout();
}

void TRulerForm::SetLuminosity(int32_t value) {
  if (Change(Settings_.Luminosity, value)) Render();
}

void TRulerForm::SetBaseColor(TColor value) {
  if (Change(Settings_.BaseColor, value)) Render();
}

void TRulerForm::SetShowTick(TickLevel level, bool on) {
  if (Change(Settings_.ShowTick[level], on)) Render();
}

void TRulerForm::SetShowNumber(TickLevel level, bool on) {
  if (Change(Settings_.ShowNumber[level], on)) Render();
}

void TRulerForm::SetTickSize(TickLevel level, int32_t value) {
  if (Change(Settings_.TickSize[level], value)) Render();
}

void TRulerForm::SetFontSize(TickLevel level, int32_t value) {
  if (Change(Settings_.FontSize[level], value)) Render();
}

// ---------------------------------------------------------------- mouse

void TRulerForm::FormMouseDown(const MouseEvent& e) {
  // Any press hides the readout: a drag would only carry it along, and a
  // menu covers it.
  if (Pointer_) {
    Pointer_.reset();
    ShowOverlay();
  }
  if (e.Button != MouseButton::Left) return;
  NativeWindow().CaptureMouse();
  // Where the press was, not where the pointer is by now: on a busy machine
  // it may have gone on before the press is handled.
  DragOffset_ = {Saturate(static_cast<int64_t>(e.Screen.X) - Settings_.CenterPoint.X),
                 Saturate(static_cast<int64_t>(e.Screen.Y) - Settings_.CenterPoint.Y)};
}

void TRulerForm::FormMouseMove(const MouseEvent& e) {
  if (!NativeWindow().HasMouseCapture()) {
    PointerMoved(e.Window);
    return;
  }
  MoveCenterTo({Saturate(static_cast<int64_t>(e.Screen.X) - DragOffset_.X),
                Saturate(static_cast<int64_t>(e.Screen.Y) - DragOffset_.Y)});
}

void TRulerForm::FormMouseUp(const MouseEvent& e) {
  const bool dragged = NativeWindow().HasMouseCapture();
  NativeWindow().ReleaseMouse();
  // The pointer rests where the drag ended, over the window where it now is.
  if (dragged) PointerMoved(ScreenToWindow(e.Screen));
}

// ---------------------------------------------------------------- reading

Point TRulerForm::ScreenToWindow(Point screen) const {
  const Rect w = WindowBounds();
  return {Saturate(static_cast<int64_t>(screen.X) - w.Left),
          Saturate(static_cast<int64_t>(screen.Y) - w.Top)};
}

Point TRulerForm::CursorInWindow() const { return ScreenToWindow(Owner().Os().CursorPos()); }

void TRulerForm::PointerMoved(Point window) {
  Pointer_ = Axis().OffsetOf(window);
  ShowOverlay();
}

void TRulerForm::FormMouseLeave() {
  if (!Pointer_) return;
  Pointer_.reset();
  ShowOverlay();
}

void TRulerForm::FormDoubleClick(const MouseEvent& e) {
  // Its second press has just started a drag, as a single press does; the
  // mark goes where that press was.
  if (const auto offset = Axis().OffsetOf(e.Window)) ToggleMark(*offset);
}

bool TRulerForm::CopyMeasurement() { return Owner().Os().SetClipboardText(MeasurementText()); }

void TRulerForm::ToggleMark(int64_t offset) {
  if (Marks_.Toggle(offset) != RulerMarks::Toggled::Full) ShowOverlay();
}

void TRulerForm::ToggleMarkAtPointer() {
  if (const auto offset = Axis().OffsetAlong(CursorInWindow())) ToggleMark(*offset);
}

void TRulerForm::ClearMarks() {
  if (Marks_.Empty()) return;
  Marks_.Clear();
  ShowOverlay();
}

void TRulerForm::ShowOverlay() {
  const std::vector<Rect> changed =
      Overlay_.Update(Picture_.Picture, {Pointer_, Marks_.Offsets(), Reading_}, Owner().Os());
  for (const Rect& area : changed) NativeWindow().Invalidate(area);
}

// ---------------------------------------------------------------- painting

void TRulerForm::Render() {
  Platform& os = Owner().Os();
  // The old picture goes first: a long, broad ruler's picture is large, and
  // two of them at once would double the peak. So does the overlay's copy.
  Picture_ = RulerPicture{};
  Overlay_ = TRulerOverlay{};
  Picture_ = RenderRuler(Settings_, {Font().Name(), Font().Color(), os.PixelsPerInch()}, Width_,
                         Height_, os, &Speckle_, Reading_);
  SetColor(Picture_.Color);
  ++RenderCount_;
  // Marks keep their offsets through a turn or a new scale; those that fell
  // off the window go, and a resting pointer is read again where it now points.
  const RulerAxis axis = Axis();
  Marks_.KeepWithin(axis.FirstOffset(), axis.LastOffset());
  if (Pointer_) Pointer_ = axis.OffsetOf(CursorInWindow());
  Overlay_.Reset(
      Picture_.Picture, axis,
      OverlayLookFor(Picture_.Color, Font().Name(), os.PixelsPerInch(), axis.Breadth(), os),
      {Pointer_, Marks_.Offsets(), Reading_}, os);
  // This ruler changed: the tray icon and the Options window follow the
  // active ruler, before the new picture is shown.
  Host_.ActiveFormChanged(this);
  FormPaint();
}

void TRulerForm::FontChanged() { Render(); }

// ---------------------------------------------------------------- units

std::string TRulerForm::MeasurementText() const {
  return vr::MeasurementText(Marks_, Settings_.Scale, Reading_);
}

std::optional<int64_t> TRulerForm::MarkSpan() const {
  const std::vector<int64_t>& m = Marks_.Offsets();
  if (m.size() < 2) return std::nullopt;
  return m.back() - m.front();
}

void TRulerForm::SetUnit(RulerUnit unit) {
  // A unit of its own the ruler does not have reads as px: asked for, nothing.
  if (unit == RulerUnit::Own && !Settings_.Own) return;
  if (!Change(Settings_.Unit, unit)) return;
  Reading_ = ScaleOf(Settings_.Unit, Density_.PixelsPerMm, Settings_.Own);
  Render();
}

void TRulerForm::SetOwnUnit(const OwnUnit& own) {
  // Only a unit that reads sensibly; the dialog that asks for one says why not.
  if (!PlausibleOwnPixelsPerUnit(own.PixelsPerUnit) || CheckOwnUnitName(own.Name) != NameCheck::Ok)
    return;
  if (Settings_.Own == own && Settings_.Unit == RulerUnit::Own) return;
  Settings_.Own = own;
  Settings_.Unit = RulerUnit::Own;
  Reading_ = ScaleOf(Settings_.Unit, Density_.PixelsPerMm, Settings_.Own);
  Render();
}

void TRulerForm::NextUnit() { SetUnit(vr::NextUnit(Settings_.Unit, Settings_.Own.has_value())); }

void TRulerForm::PreviousUnit() {
  SetUnit(vr::PreviousUnit(Settings_.Unit, Settings_.Own.has_value()));
}

void TRulerForm::UpdateDensity() {
  const TScreenDensities::Under under = Host_.Densities().At(Settings_.CenterPoint);
  Monitor_ = under.Monitor;
  if (under.Density == Density_) return;
  Density_ = under.Density;
  const UnitScale reading = ScaleOf(Settings_.Unit, Density_.PixelsPerMm, Settings_.Own);
  if (reading == Reading_) {
    // Nothing to draw anew, but the Options window shows the density too.
    Host_.ActiveFormChanged(this);
    return;
  }
  Reading_ = reading;
  Render();
}

void TRulerForm::FormPaint() { NativeWindow().Present(Overlay_.Shown(Picture_.Picture)); }

}  // namespace vr
