#include "Options/OptionsForm.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <exception>
#include <set>
#include <string_view>

#include "DataModule/DataModule.h"

namespace vr {

namespace {

constexpr int kComboHeight = 21;
constexpr int kCheckHeight = 17;
constexpr int kFontListRows = 24;

const std::vector<std::string> kScaleItems{"640", "800", "1024", "1280"};
const std::vector<std::string> kMarginItems{"4", "5", "6", "8", "10", "12"};
const std::vector<std::string> kBreadthItems{"24", "32", "40", "48", "64"};
const std::vector<std::string> kOrientationItems{"Left to Right", "Top to Bottom", "Right to Left",
                                                 "Bottom to Top"};
const std::vector<std::string> kTicksItems{"Each 100 Pixels", "Each 50 Pixels", "Each 10 Pixels",
                                           "Each 5 Pixels"};
const std::vector<std::string> kFontSizeItems{"5", "6", "7", "8", "9", "10"};
// The units by their stored codes, 0 to 4; a ruler's own unit follows them.
const std::vector<std::string> kUnitItems{"px", "mm", "cm", "in", "pt"};
constexpr int kButtonHeight = 23;

// What the unit list offers a ruler: the five, and its own unit by its name.
std::vector<std::string> UnitItems(const std::optional<OwnUnit>& own) {
  std::vector<std::string> items = kUnitItems;
  if (own) items.push_back(own->Name.empty() ? "own unit" : own->Name);
  return items;
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::optional<int32_t> ParseInteger(const std::string& text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  size_t first = 0;
  size_t last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  if (first == last) return std::nullopt;
  const char* begin = text.data() + first;
  const char* end = text.data() + last;
  // One sign at most: from_chars takes a '-' but no '+', so a '+' must be
  // followed by a digit ("+-5" is not -5).
  if (*begin == '+') {
    ++begin;
    if (begin == end || *begin < '0' || *begin > '9') return std::nullopt;
  }
  int32_t value = 0;
  const auto [stop, error] = std::from_chars(begin, end, value, 10);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

namespace {

// The length in bytes of the well-formed UTF-8 character at the start of
// text (no overlong forms, no surrogates, nothing past U+10FFFF); 0 if there
// is none.
size_t Utf8CharLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  size_t length = 0;
  // The range of the second byte, which rules out the overlong forms, the
  // surrogates and what lies beyond U+10FFFF.
  unsigned char low = 0x80, high = 0xBF;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  return length;
}

}  // namespace

std::optional<std::string> FontNameFromText(const std::string& text) {
  if (text.empty()) return std::nullopt;
  size_t cut = 0;
  size_t characters = 0;
  // The whole text is checked: a name is taken only from text that is text.
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8CharLength(std::string_view(text).substr(at));
    if (length == 0 || text[at] == '\0') return std::nullopt;
    at += length;
    if (++characters <= TOptionsForm::kMaxFontNameLength) cut = at;
  }
  return text.substr(0, cut);
}

std::vector<std::string> FontNameList(const std::vector<std::string>& families) {
  std::vector<std::string> names{"Default"};
  std::set<std::string> seen{"Default"};
  for (const std::string& f : families) {
    if (!f.empty() && seen.insert(f).second) names.push_back(f);
  }
  std::stable_sort(names.begin(), names.end(), LessNoCase);
  return names;
}

const std::vector<TColorBox::NamedColor>& FontColorList() {
  // The sixteen standard colours, then four more, down the left pair of
  // columns and then the right.
  static const std::vector<TColorBox::NamedColor> kColors{
      {"Black", 0x000000}, {"Maroon", 0x000080},      {"Green", 0x008000},
      {"Olive", 0x008080}, {"Navy", 0x800000},        {"Purple", 0x800080},
      {"Teal", 0x808000},  {"Gray", 0x808080},        {"Silver", 0xC0C0C0},
      {"Red", 0x0000FF},   {"Lime", 0x00FF00},        {"Yellow", 0x00FFFF},
      {"Blue", 0xFF0000},  {"Fuchsia", 0xFF00FF},     {"Aqua", 0xFFFF00},
      {"White", 0xFFFFFF}, {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6},
      {"Cream", 0xF0FBFF}, {"Medium Gray", 0xA4A0A0}};
  return kColors;
}

TOptionsForm::TickControls::TickControls(TOptionsForm& form, int level)
    : Box(form, nullptr, {212, 104, 119, 143}, "Ticks"),
      ShowTickCheckBox(form, &Box, {8, 44, 101, kCheckHeight}, "Show Ticks"),
      TickSizeLabel(form, &Box, {8, 68}, "Size:"),
      TickSizeComboBox(form, &Box, {48, 64, 61, kComboHeight}, TComboBoxStyle::DropDown, {}),
      ShowNumberCheckBox(form, &Box, {8, 92, 101, kCheckHeight}, "Show Numbers"),
      FontSizeLabel(form, &Box, {8, 116}, "Size:"),
      FontSizeComboBox(form, &Box, {48, 112, 61, kComboHeight}, TComboBoxStyle::DropDownList,
                       kFontSizeItems),
      TicksShape{{2, 14, 115, 127}} {
  Box.Tag = level;
  TickSizeComboBox.SetText("0");
  ShowTickCheckBox.OnClick = [&form](TCheckBox& s) { form.ShowTickCheckBoxClick(s); };
  TickSizeComboBox.OnChange = [&form](TComboBox& s) { form.TickSizeComboBoxChange(s); };
  ShowNumberCheckBox.OnClick = [&form](TCheckBox& s) { form.ShowNumberCheckBoxClick(s); };
  FontSizeComboBox.OnChange = [&form](TComboBox& s) { form.FontSizeComboBoxChange(s); };
  if (level != Tick100) Box.Hide();
}

TOptionsForm::TOptionsForm(TApplication& owner, TRulerSlots& rulers, TDM& dm,
                           TProgramOptions& options)
    : TForm(owner, DialogWindow("Vantori Rulers Options")),
      AppearanceGroupBox(*this, nullptr, {32, 4, 300, 100}, "Appearance:"),
      FontNameLabel(*this, &AppearanceGroupBox, {8, 20}, "Font:"),
      FontNameComboBox(*this, &AppearanceGroupBox, {36, 16, 121, kComboHeight},
                       TComboBoxStyle::DropDown, {}, kFontListRows),
      FontColorLabel(*this, &AppearanceGroupBox, {164, 20}, "Color:"),
      FontColorBox(*this, &AppearanceGroupBox, {198, 16, 89, kComboHeight}, FontColorList(),
                   kFontListRows),
      AlphaBlendCheckBox(*this, &AppearanceGroupBox, {8, 48, 81, kCheckHeight}, "Alpha Blend"),
      AlphaBlendValueTrackBar(*this, &AppearanceGroupBox, {92, 44, 205, 24}, 64, 255, 64),
      LuminosityLabel(*this, &AppearanceGroupBox, {8, 72}, "Luminosity:"),
      LuminosityTrackBar(*this, &AppearanceGroupBox, {92, 68, 205, 24}, -50, 50, 0),
      AppearanceShape{{2, 14, 296, 84}},
      RulersToolBar(*this, {0, 0, 31, 399}, &dm.ImageList),
      DimensionsGroupBox(*this, nullptr, {32, 104, 175, 143}, "Dimensions:"),
      ScaleLabel(*this, &DimensionsGroupBox, {8, 20}, "Scale:"),
      ScaleComboBox(*this, &DimensionsGroupBox, {76, 16, 89, kComboHeight},
                    TComboBoxStyle::DropDown, kScaleItems),
      LeftMarginLabel(*this, &DimensionsGroupBox, {8, 44}, "Left Margin:"),
      LeftMarginComboBox(*this, &DimensionsGroupBox, {76, 40, 89, kComboHeight},
                         TComboBoxStyle::DropDown, kMarginItems),
      RightMarginLabel(*this, &DimensionsGroupBox, {8, 68}, "Right Margin:"),
      RightMarginComboBox(*this, &DimensionsGroupBox, {76, 64, 89, kComboHeight},
                          TComboBoxStyle::DropDown, kMarginItems),
      BreadthLabel(*this, &DimensionsGroupBox, {8, 92}, "Breadth:"),
      BreadthComboBox(*this, &DimensionsGroupBox, {76, 88, 89, kComboHeight},
                      TComboBoxStyle::DropDown, kBreadthItems),
      OrientationLabel(*this, &DimensionsGroupBox, {8, 116}, "Orientation:"),
      OrientationComboBox(*this, &DimensionsGroupBox, {76, 112, 89, kComboHeight},
                          TComboBoxStyle::DropDownList, kOrientationItems),
      DimensionsShape{{2, 14, 171, 127}},
      TicksComboBox(*this, nullptr, {220, 120, 101, kComboHeight}, TComboBoxStyle::DropDownList,
                    kTicksItems),
      Ticks{TickControls(*this, Tick100), TickControls(*this, Tick50), TickControls(*this, Tick10),
            TickControls(*this, Tick5)},
      MeasureGroupBox(*this, nullptr, {32, 251, 300, 68}, "Measure:"),
      UnitLabel(*this, &MeasureGroupBox, {8, 20}, "Unit:"),
      UnitComboBox(*this, &MeasureGroupBox, {76, 16, 89, kComboHeight},
                   TComboBoxStyle::DropDownList, kUnitItems),
      ScreenLabel(*this, &MeasureGroupBox, {8, 44}, "Screen:"),
      DensityLabel(*this, &MeasureGroupBox, {76, 44}, ""),
      SystemDensityButton(*this, &MeasureGroupBox, {208, 14, 84, kButtonHeight}, "Use System's",
                          {}),
      ProgramGroupBox(*this, nullptr, {32, 323, 300, 68}, "Program:"),
      HotkeyLabel(*this, &ProgramGroupBox, {8, 20}, "Hotkey:"),
      HotkeyBox(*this, &ProgramGroupBox, {52, 16, 100, kComboHeight}),
      HotkeyNoteLabel(*this, &ProgramGroupBox, {160, 20}, ""),
      StartWithWindowsCheckBox(*this, &ProgramGroupBox, {8, 44, 145, kCheckHeight},
                               "Start with Windows"),
      StartNoteLabel(*this, &ProgramGroupBox, {160, 46}, ""),
      Rulers_(rulers),
      DM_(dm),
      Options_(options) {
  FontNameComboBox.OnChange = [this](TComboBox& s) { FontNameComboBoxChange(s); };
  FontColorBox.OnSelect = [this](TColorBox& s) { FontColorBoxSelect(s); };
  AlphaBlendCheckBox.OnClick = [this](TCheckBox& s) { AlphaBlendCheckBoxClick(s); };
  AlphaBlendValueTrackBar.OnChange = [this](TTrackBar& s) { AlphaBlendValueTrackBarChange(s); };
  LuminosityTrackBar.OnChange = [this](TTrackBar& s) { LuminosityTrackBarChange(s); };
  ScaleComboBox.OnChange = [this](TComboBox& s) { ScaleComboBoxChange(s); };
  LeftMarginComboBox.OnChange = [this](TComboBox& s) { LeftMarginComboBoxChange(s); };
  RightMarginComboBox.OnChange = [this](TComboBox& s) { RightMarginComboBoxChange(s); };
  BreadthComboBox.OnChange = [this](TComboBox& s) { BreadthComboBoxChange(s); };
  OrientationComboBox.OnSelect = [this](TComboBox& s) { OrientationComboBoxSelect(s); };
  TicksComboBox.OnSelect = [this](TComboBox& s) { TicksComboBoxSelect(s); };
  UnitComboBox.OnSelect = [this](TComboBox& s) { UnitComboBoxSelect(s); };
  SystemDensityButton.OnClick = [this](TButton& s) { SystemDensityButtonClick(s); };
  HotkeyBox.OnChange = [this](THotkeyBox& s) { HotkeyBoxChange(s); };
  StartWithWindowsCheckBox.OnClick = [this](TCheckBox& s) { StartWithWindowsCheckBoxClick(s); };
  SystemDensityButton.Hide();
  TicksComboBox.SetItemIndex(0);
  // The first nine are check buttons of which all may be up; the last a plain button.
  for (int n = 0; n < kSlotCount; ++n)
    RulersToolBar.AddButton({&DM_.RulerAction(n), n < kSlotCount - 1});
  FormCreate();
}

TOptionsForm::~TOptionsForm() = default;

void TOptionsForm::FormCreate() {
  // 1. The window's icon: the Options command's picture.
  const int index = DM_.OptionsAction.ImageIndex();
  SetIcon([&images = DM_.ImageList, index](int size) { return images.Get(index, size); });
  // 2. The font list waits for the first showing: asking the system for its
  // families is the dearest part of the window, and most runs never open it.
  // 3. The four tick group boxes on one place.
  for (TickControls& t : Ticks) t.Box.SetBounds(Ticks[Tick100].Box.BoundsRect());
  // 4. The client area around the group boxes, the lowest of them now the
  // program's own.
  const Rect& a = AppearanceGroupBox.BoundsRect();
  const Rect& p = ProgramGroupBox.BoundsRect();
  SetClientSize(a.Left + a.Width + 8, p.Top + p.Height + 8);
}

void TOptionsForm::FormShow() {
  // Centred the first time; later it opens where the user left it.
  if (!Shown_) {
    FontNameComboBox.SetItems(FontNameList(Owner().Os().ScreenFontFamilies()));
    CenterOnScreen();
  }
  Shown_ = true;
  RefreshProgramOptions();
}

void TOptionsForm::HandleActivate(bool active) {
  TForm::HandleActivate(active);
  if (active && Visible()) RefreshProgramOptions();
}

void TOptionsForm::RefreshProgramOptions() {
  Options_.Hotkey.ClaimAgain();
  Options_.StartWithWindows.Refresh();
  RefreshFromRuler();
}

TickLevel TOptionsForm::LevelOf(const TControl& control) {
  const int tag = control.Parent() ? control.Parent()->Tag : 0;
  return static_cast<TickLevel>(std::clamp(tag, 0, kTickLevels - 1));
}

TOptionsForm::TChange::TChange(TOptionsForm& form, const TControl& sender)
    : Form_(form), Sender_(sender) {
  ++Form_.Changing_;
}

TOptionsForm::TChange::~TChange() {
  if (--Form_.Changing_ > 0 || !Form_.ReloadPending_) return;
  Form_.ReloadPending_ = false;
  // A destructor lets nothing out: a failed reload leaves the controls as they were.
  try {
    Form_.Reload(&Sender_);
  } catch (...) {
  }
}

void TOptionsForm::RefreshFromRuler() {
  if (Changing_ > 0 || Reloading_) {
    ReloadPending_ = true;
    return;
  }
  Reload(nullptr);
}

void TOptionsForm::Reload(const TControl* typing) {
  Reloading_ = true;
  struct Done {
    bool& Flag;
    ~Done() { Flag = false; }
  } done{Reloading_};
  DM_.UpdateRulerChecks();
  // The box the user presses keys in keeps what it shows: a chord half
  // pressed is none yet.
  if (&HotkeyBox != typing) HotkeyBox.SetChord(Options_.Hotkey.Chord());
  HotkeyNoteLabel.SetCaption(Options_.Hotkey.Note());
  StartWithWindowsCheckBox.Load(Options_.StartWithWindows.On());
  StartNoteLabel.SetCaption(Options_.StartWithWindows.Note());
  TRulerForm* r = ActiveRuler();
  if (!r) return;
  auto load = [typing](TComboBox& box, const std::string& text) {
    if (&box != typing) box.SetText(text);
  };
  load(ScaleComboBox, std::to_string(r->Scale()));
  load(LeftMarginComboBox, std::to_string(r->LeftMargin()));
  load(RightMarginComboBox, std::to_string(r->RightMargin()));
  load(BreadthComboBox, std::to_string(r->Breadth()));
  OrientationComboBox.SetItemIndex(r->Orientation());
  load(FontNameComboBox, r->Font().Name());
  FontColorBox.SetSelected(r->Font().Color());
  AlphaBlendCheckBox.Load(r->AlphaBlend());
  if (AlphaBlendValueTrackBar.Load(r->AlphaBlendValue()))
    r->SetAlphaBlendValue(static_cast<uint8_t>(AlphaBlendValueTrackBar.Position()));
  if (LuminosityTrackBar.Load(r->Luminosity())) r->SetLuminosity(LuminosityTrackBar.Position());
  for (int level = Tick100; level < kTickLevels; ++level) {
    TickControls& t = Ticks[static_cast<size_t>(level)];
    const auto l = static_cast<TickLevel>(level);
    t.ShowTickCheckBox.Load(r->GetShowTick(l));
    load(t.TickSizeComboBox, std::to_string(r->GetTickSize(l)));
    t.ShowNumberCheckBox.Load(r->GetShowNumber(l));
    t.FontSizeComboBox.SetItemIndex(t.FontSizeComboBox.IndexOf(std::to_string(r->GetFontSize(l))));
  }
  const std::vector<std::string> units = UnitItems(r->Own());
  if (units != UnitComboBox.Items()) UnitComboBox.SetItems(units);
  UnitComboBox.SetItemIndex(static_cast<int>(StoredUnitCode(r->Unit())));
  DensityLabel.SetCaption(DensityText(r->Density()));
  SystemDensityButton.SetVisible(r->Density().Source == DensitySource::Calibrated);
  // A bar's end handed to the ruler asked for a reload of its own; this one
  // showed it already.
  ReloadPending_ = false;
}

// ---------------------------------------------------------------- handlers

void TOptionsForm::FontNameComboBoxChange(TComboBox& sender) {
  const TChange change(*this, sender);
  TRulerForm* r = ActiveRuler();
  if (!r) return;
  if (const auto name = FontNameFromText(sender.Text())) r->Font().SetName(*name);
}

void TOptionsForm::FontColorBoxSelect(TColorBox& sender) {
  const TChange change(*this, sender);
  if (TRulerForm* r = ActiveRuler()) r->Font().SetColor(sender.Selected());
}

void TOptionsForm::AlphaBlendCheckBoxClick(TCheckBox& sender) {
  const TChange change(*this, sender);
  if (TRulerForm* r = ActiveRuler()) r->SetAlphaBlend(sender.Checked());
}

void TOptionsForm::AlphaBlendValueTrackBarChange(TTrackBar& sender) {
  const TChange change(*this, sender);
  if (TRulerForm* r = ActiveRuler())
    r->SetAlphaBlendValue(static_cast<uint8_t>(std::clamp(sender.Position(), 0, 255)));
}

void TOptionsForm::LuminosityTrackBarChange(TTrackBar& sender) {
  const TChange change(*this, sender);
  if (TRulerForm* r = ActiveRuler()) r->SetLuminosity(sender.Position());
}

void TOptionsForm::ScaleComboBoxChange(TComboBox& sender) {
  ApplyNumber(sender, &TRulerForm::SetScale);
}

void TOptionsForm::LeftMarginComboBoxChange(TComboBox& sender) {
  ApplyNumber(sender, &TRulerForm::SetLeftMargin);
}

void TOptionsForm::RightMarginComboBoxChange(TComboBox& sender) {
  ApplyNumber(sender, &TRulerForm::SetRightMargin);
}

void TOptionsForm::BreadthComboBoxChange(TComboBox& sender) {
  ApplyNumber(sender, &TRulerForm::SetBreadth);
}

void TOptionsForm::OrientationComboBoxSelect(TComboBox& sender) {
  const TChange change(*this, sender);
  TRulerForm* r = ActiveRuler();
  if (!r || sender.ItemIndex() < 0) return;
  r->SetOrientation(static_cast<uint8_t>(sender.ItemIndex()));
}

void TOptionsForm::ShowTickCheckBoxClick(TCheckBox& sender) {
  const TChange change(*this, sender);
  if (TRulerForm* r = ActiveRuler()) r->SetShowTick(LevelOf(sender), sender.Checked());
}

void TOptionsForm::TickSizeComboBoxChange(TComboBox& sender) {
  ApplyNumber(sender, &TRulerForm::SetTickSize, LevelOf(sender));
}

void TOptionsForm::ShowNumberCheckBoxClick(TCheckBox& sender) {
  const TChange change(*this, sender);
  if (TRulerForm* r = ActiveRuler()) r->SetShowNumber(LevelOf(sender), sender.Checked());
}

void TOptionsForm::FontSizeComboBoxChange(TComboBox& sender) {
  ApplyNumber(sender, &TRulerForm::SetFontSize, LevelOf(sender));
}

void TOptionsForm::UnitComboBoxSelect(TComboBox& sender) {
  const TChange change(*this, sender);
  TRulerForm* r = ActiveRuler();
  if (!r) return;
  if (const auto unit = StoredUnit(static_cast<uint32_t>(std::max(sender.ItemIndex(), 0))))
    r->SetUnit(*unit);
}

void TOptionsForm::SystemDensityButtonClick(TButton& sender) {
  const TChange change(*this, sender);
  if (TRulerForm* r = ActiveRuler()) Rulers_.ForgetCalibration(*r);
  // Nothing may have rendered (a ruler in px reads the same): reload all the same.
  ReloadPending_ = true;
}

void TOptionsForm::HotkeyBoxChange(THotkeyBox& sender) {
  const TChange change(*this, sender);
  Options_.Hotkey.SetChord(sender.Chord());
  // No ruler changed: the note beside the box is reloaded all the same.
  ReloadPending_ = true;
}

void TOptionsForm::StartWithWindowsCheckBoxClick(TCheckBox& sender) {
  const TChange change(*this, sender);
  Options_.StartWithWindows.Set(sender.Checked());
  // The box shows what the list holds now, also when the change was refused.
  ReloadPending_ = true;
}

void TOptionsForm::TicksComboBoxSelect(TComboBox& sender) {
  const int chosen = sender.ItemIndex();
  if (chosen < 0 || chosen >= kTickLevels) return;
  // The new box first, then the others away: one of them always shows.
  Ticks[static_cast<size_t>(chosen)].Box.Show();
  for (int level = 0; level < kTickLevels; ++level)
    if (level != chosen) Ticks[static_cast<size_t>(level)].Box.Hide();
}

}  // namespace vr
