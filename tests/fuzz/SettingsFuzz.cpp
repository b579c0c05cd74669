// Stored settings are untrusted input. From the fuzzer's bytes this builds a
// headless settings store (every value of a few rulers in a random kind with
// random contents), starts rulers from it, renders them, types keys through
// the real keyboard filter and calls the setters, then saves. It fails on a
// crash, a leak, a render that does more work than the largest picture can
// need, an allocation over 64 MB (libFuzzer's limits), a save that does not
// hold the 24 values in their kinds, or a save that changes again after a load.
// Beside them it feeds a ruler's unit and own unit, and each monitor's
// calibration and densities.
// Work is counted, not timed, so that a slow or busy machine fails nothing.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Ruler/RulerKeys.h"
#include "Ruler/RulerRender.h"
#include "Ruler/Rulers.h"
#include "Ruler/ScreenDensities.h"
#include "app/Program.h"
#include "forms/Forms.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/ScriptedQueue.h"

namespace {

using namespace vr;

constexpr std::array<const char*, 24> kNames{
    "CenterPoint",   "Scale",       "LeftMargin",      "RightMargin",  "Breadth",
    "Orientation",   "Luminosity",  "AlphaBlendValue", "ShowTick100",  "TickSize100",
    "ShowNumber100", "FontSize100", "ShowTick50",      "TickSize50",   "ShowNumber50",
    "FontSize50",    "ShowTick10",  "TickSize10",      "ShowNumber10", "FontSize10",
    "ShowTick5",     "TickSize5",   "ShowNumber5",     "FontSize5"};

void Fail(const std::string& what) {
  std::fprintf(stderr, "vr_fuzz_settings: %s\n", what.c_str());
  std::abort();
}

// The fuzzer's bytes, read front to back; past the end every read is zero.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : Data_(data), Size_(size) {}
  bool Done() const { return At_ >= Size_; }
  uint8_t Byte() { return At_ < Size_ ? Data_[At_++] : 0; }
  uint32_t Raw() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Byte()) << (8 * i);
    return v;
  }
  // Small, raw, or one of the values where things tend to break.
  int32_t Int() {
    static constexpr std::array<int32_t, 10> kEdges{INT32_MIN, INT32_MAX, 0,    -1,   1,
                                                    99,        100,       2048, 8182, 1 << 20};
    switch (Byte() % 3) {
      case 0:
        return static_cast<int8_t>(Byte());
      case 1:
        return static_cast<int32_t>(Raw());
      default:
        return kEdges[Byte() % kEdges.size()];
    }
  }
  std::string Text() {
    std::string s(Byte() % 24, '\0');
    for (char& c : s) c = static_cast<char>(Byte());
    return s;
  }
  // Mostly something like a number, so that the stored numbers' reader is reached.
  std::string NumberText() {
    switch (Byte() % 4) {
      case 0:
        return Text();
      case 1:
        return std::to_string(Int());
      case 2:
        return std::to_string(Int()) + "." + std::to_string(Byte());
      default:
        return std::to_string(static_cast<double>(Int()) / (1 + Byte()));
    }
  }
  // Mostly something like a centre point, so that the parser's corners are reached.
  std::string CentreText() {
    switch (Byte() % 4) {
      case 0:
        return Text();
      case 1:
        return std::to_string(Int()) + "," + std::to_string(Int());
      case 2:
        return " " + std::to_string(Int()) + "," + std::to_string(Int()) + Text();
      default:
        return std::to_string(Int()) + Text() + "," + std::to_string(Int());
    }
  }

 private:
  const uint8_t* Data_;
  size_t Size_;
  size_t At_ = 0;
};

// Every value of a ruler's key in a random kind: integer, text, expandable
// text, another kind, or missing.
void FillKey(Input& in, headless::HeadlessStore& store, int slot) {
  for (const char* name : kNames) {
    const uint8_t kind = in.Byte() % 5;
    const bool centre = std::string(name) == "CenterPoint";
    switch (kind) {
      case 0:
        store.Put(SettingsKeyPath(slot), name,
                  {StoreKind::Integer, static_cast<uint32_t>(in.Int()), {}});
        break;
      case 1:
      case 2:
        store.Put(SettingsKeyPath(slot), name,
                  {StoreKind::Text, 0, centre ? in.CentreText() : in.Text()});
        break;
      case 3:
        store.Put(SettingsKeyPath(slot), name, {StoreKind::Other, in.Raw(), in.Text()});
        break;
      default:
        break;
    }
  }
  // The unit beside them, in a random kind too.
  for (const char* name : {kUnitValue, kOwnUnitNameValue, kOwnUnitPixelsValue}) {
    switch (in.Byte() % 4) {
      case 0:
        store.Put(SettingsKeyPath(slot), name,
                  {StoreKind::Integer, static_cast<uint32_t>(in.Int() % 8), {}});
        break;
      case 1:
        store.Put(SettingsKeyPath(slot), name, {StoreKind::Text, 0, in.NumberText()});
        break;
      case 2:
        store.Put(SettingsKeyPath(slot), name, {StoreKind::Other, in.Raw(), in.Text()});
        break;
      default:
        break;
    }
  }
}

// A density as a system may report it: plausible, nonsense, or none at all.
std::optional<double> Density(Input& in) {
  switch (in.Byte() % 4) {
    case 0:
      return std::nullopt;
    case 1:
      return static_cast<double>(in.Int());
    case 2:
      return static_cast<double>(in.Int()) / (1 + in.Byte());
    default:
      return 96.0 + in.Byte();
  }
}

std::vector<MonitorArea> Monitors(Input& in, headless::HeadlessStore& store) {
  std::vector<MonitorArea> monitors;
  const int count = 1 + in.Byte() % 3;
  for (int i = 0; i < count; ++i) {
    const Rect screen{in.Int(), in.Int(), in.Byte() * 16 + 1, in.Byte() * 16 + 1};
    // A task bar along the bottom, a sixteenth of the screen high.
    MonitorArea m{screen,
                  {screen.Left, screen.Top, screen.Width, screen.Height - screen.Height / 16}};
    m.Id = in.Byte() % 2 ? "M" + std::to_string(i) : in.Text();
    m.Dpi = in.Int();
    m.PhysicalDpi = Density(in);
    // The user's calibration of it, as stored: anything at all.
    if (in.Byte() % 2)
      store.Put(kCalibrationKeyPath, m.Id.empty() ? "Monitor" : m.Id,
                {StoreKind::Text, 0, in.NumberText()});
    monitors.push_back(std::move(m));
  }
  return monitors;
}

// The most work a render of a picture this long and broad can do, whatever
// the store holds. It follows from the render's own caps: a picture is at most
// kMaxRulerLength x kMaxRulerBreadth, and a number is at most LabelPixelHeight
// pixels tall (96, or the breadth if less), whatever its point size.
//  - Ticks: those on the picture, and those whose numbers reach in from beyond
//    its ends. Near the picture, a number reaches in by at most its height, so
//    (extent + 2 * height) / 5 + 1 ticks; farther out only the hundreds, whose
//    numbers of up to 10 digits reach in by at most 11 * height / 2 + 1, one
//    tick in 20, so (9 * height / 2 + 1) / 100 + 1 on each side.
//  - Ink: the headless font's digit is max(1, 3 * height / 5) + 1 <= height + 1
//    pixels wide and inks height rows. A one-digit number then covers a stretch
//    of height + 1 pixels along the ruler, and ticks stand every 5 pixels, so at
//    most (height + 1) / 5 + 1 of them cover one place along it; a hundreds'
//    number covers at most 10 * (height + 1) and stands every 100 pixels. Each
//    number covering a place inks at most height pixels across it there.
struct WorkBound {
  int64_t Ticks;
  int64_t Ink;
};

WorkBound MostWork(int64_t extent, int64_t breadth) {
  // The point size saturates long before the density matters.
  const int64_t height = LabelPixelHeight(std::numeric_limits<int32_t>::max(), 96, breadth);
  const int64_t ticks = (extent + 2 * height) / 5 + 1 + 2 * ((9 * height / 2 + 1) / 100 + 1);
  const int64_t perPlace = (height + 1 + 4) / 5 + (10 * (height + 1) + 99) / 100;
  return {ticks, extent * height * perPlace};
}

// The same in any other unit: ticks stand 3 pixels apart at least, out to the
// same reach; a level shows its numbers only where they stand at least as far
// apart as they are tall, and a number has 16 characters at most, so at most
// 4 levels x (16 + 1) numbers cover one place along the ruler.
WorkBound MostWorkInUnits(int64_t extent, int64_t breadth) {
  const int64_t height = LabelPixelHeight(std::numeric_limits<int32_t>::max(), 96, breadth);
  const int64_t ticks = (extent + 2 * (11 * height / 2 + 1)) / 3 + 3;
  return {ticks, extent * height * 4 * 17};
}

// Renders the ruler again and checks the work against the bound. A hang is
// left to the fuzzer's own time-out (make fuzz gives it minutes): the largest
// render takes well under a second even under the sanitizers.
void CheckedRender(TRulerForm& r) {
  r.Render();
  const Image& picture = r.RulerImage();
  const int64_t extent = std::max(picture.Width(), picture.Height());
  const int64_t breadth = std::min(picture.Width(), picture.Height());
  if (extent > kMaxRulerLength || breadth > kMaxRulerBreadth)
    Fail("a picture larger than any ruler");
  const TRenderWork& work = r.LastRenderWork();
  const WorkBound most =
      r.Unit() == RulerUnit::Px ? MostWork(extent, breadth) : MostWorkInUnits(extent, breadth);
  if (work.TicksVisited > most.Ticks)
    Fail("a render visited " + std::to_string(work.TicksVisited) + " ticks, more than the " +
         std::to_string(most.Ticks) + " a picture this long can show");
  if (work.LabelsDrawn > work.TicksVisited)
    Fail("a render drew more numbers than it visited ticks");
  if (work.LabelPixels > most.Ink)
    Fail("a render inked " + std::to_string(work.LabelPixels) + " number pixels, more than the " +
         std::to_string(most.Ink) + " a picture this large can hold");
}

void Press(headless::HeadlessPlatform& os, TApplication& app, Input& in) {
  static constexpr std::array<KeyCode, 19> kKeys{
      KeyCode::Tab,    KeyCode::Left,      KeyCode::Up,
      KeyCode::Right,  KeyCode::Down,      KeyCode::Insert,
      KeyCode::Delete, KeyCode::NumpadAdd, KeyCode::NumpadSubtract,
      KeyCode::F1,     KeyCode::F2,        KeyCode::F3,
      KeyCode::F4,     KeyCode::F5,        KeyCode::F6,
      KeyCode::F7,     KeyCode::F8,        KeyCode::F9,
      KeyCode::F10};
  const KeyCode vk = kKeys[in.Byte() % kKeys.size()];
  const uint8_t m = in.Byte();
  std::set<KeyCode> modifiers;
  if (m & 1) modifiers.insert(KeyCode::Shift);
  if (m & 2) modifiers.insert(KeyCode::Control);
  if (m & 4) modifiers.insert(KeyCode::Alt);
  const bool sys = modifiers.count(KeyCode::Alt) || vk == KeyCode::F10;
  test::ScriptedQueue queue(os);
  queue.Deliver([&app](const Message& msg) { return app.HandleMessage(msg); },
                {sys ? MessageKind::SysKeyDown : MessageKind::KeyDown, vk}, modifiers);
}

// One change as the keyboard, the Options window or the desktop makes it.
void Act(headless::HeadlessPlatform& os, TProgram& program, Input& in) {
  TApplication& app = program.Application;
  TRulerForm* active = program.RulerForms.ActiveRuler();
  TRulerForm& r = active ? *active : *program.RulerForms[0];
  auto level = [&in] { return static_cast<TickLevel>(in.Byte() % kTickLevels); };
  switch (in.Byte() % 18) {
    case 0:
    case 1:
    case 2:
      Press(os, app, in);
      break;
    case 15:
      r.SetUnit(static_cast<RulerUnit>(in.Byte() % 6));
      break;
    case 16:
      // As the dialogs would hand them over, or not.
      if (in.Byte() & 1) {
        r.SetOwnUnit({in.Byte() & 1 ? "m" : "", static_cast<double>(in.Int()) / (1 + in.Byte())});
      } else {
        program.RulerForms.Calibrate(r, static_cast<double>(in.Int()) / (1 + in.Byte()));
      }
      break;
    case 3:
      r.SetScale(in.Int());
      break;
    case 4:
      r.SetLeftMargin(in.Int());
      break;
    case 5:
      r.SetRightMargin(in.Int());
      break;
    case 6:
      r.SetBreadth(in.Int());
      break;
    case 7:
      r.SetOrientation(in.Byte() % 4);  // what the Options window and the keys can ask for
      break;
    case 8:
      r.SetLuminosity(in.Int());
      break;
    case 9:
      r.SetShowTick(level(), in.Byte() & 1);
      break;
    case 10:
      r.SetShowNumber(level(), in.Byte() & 1);
      break;
    case 11:
      r.SetTickSize(level(), in.Int());
      break;
    case 12:
      r.SetFontSize(level(), in.Int());
      break;
    case 13:
      r.SetBaseColor(in.Raw());
      break;
    case 14:
      if (in.Byte() & 1) {
        r.Font().SetColor(in.Raw());
      } else {
        r.Font().SetName(in.Text());
      }
      break;
    default:
      os.ChangeDisplays(Monitors(in, os.Registry));
      break;
  }
  if (TRulerForm* now = program.RulerForms.ActiveRuler()) CheckedRender(*now);
}

using Saved = std::map<std::string, StoreValue>;

// The ruler's key after a save: the 24 values, written in order, in their
// kinds, and after them at most its unit's three.
Saved CheckSave(const headless::HeadlessStore& store, int slot) {
  const std::string key = SettingsKeyPath(slot);
  const std::vector<std::string> order = store.WriteOrder(key);
  const std::set<std::string> units{kUnitValue, kOwnUnitNameValue, kOwnUnitPixelsValue};
  // A unit value that this save left alone (one the ruler could not read, say)
  // keeps its place from an earlier write, before the save's own.
  size_t first = 0;
  while (first < order.size() && order[first] != kNames[0] && units.count(order[first])) ++first;
  const size_t written = order.size() - first;
  if (written < kNames.size() || written > kNames.size() + units.size())
    Fail("a save wrote " + std::to_string(written) + " values");
  for (size_t i = first + kNames.size(); i < order.size(); ++i)
    if (!units.count(order[i])) Fail("a save wrote " + order[i]);
  Saved saved;
  for (size_t i = 0; i < kNames.size(); ++i) {
    const auto v = store.Get(key, kNames[i]);
    if (!v || order[first + i] != kNames[i]) Fail(std::string("a save missed ") + kNames[i]);
    if ((i == 0) != (v->Kind == StoreKind::Text) || (i != 0 && v->Kind != StoreKind::Integer))
      Fail(std::string("a save wrote ") + kNames[i] + " in the wrong kind");
    saved[kNames[i]] = *v;
  }
  return saved;
}

bool Same(const StoreValue& a, const StoreValue& b) {
  return a.Kind == b.Kind && a.Integer == b.Integer && a.Text == b.Text;
}

// What a load makes of a saved integer: a size below its minimum comes back
// as its default, everything else as it was.
uint32_t Reloaded(const std::string& name, uint32_t saved) {
  struct Floor {
    int32_t Minimum;
    int32_t Fallback;
  };
  static const std::map<std::string, Floor> kFloors{{"Scale", {0, kDefaultScale}},
                                                    {"LeftMargin", {0, kDefaultMargin}},
                                                    {"RightMargin", {0, kDefaultMargin}},
                                                    {"Breadth", {1, kDefaultBreadth}},
                                                    {"TickSize100", {0, kDefaultTickSize[Tick100]}},
                                                    {"TickSize50", {0, kDefaultTickSize[Tick50]}},
                                                    {"TickSize10", {0, kDefaultTickSize[Tick10]}},
                                                    {"TickSize5", {0, kDefaultTickSize[Tick5]}},
                                                    {"FontSize100", {0, kDefaultFontSize[Tick100]}},
                                                    {"FontSize50", {0, kDefaultFontSize[Tick50]}},
                                                    {"FontSize10", {0, kDefaultFontSize[Tick10]}},
                                                    {"FontSize5", {0, kDefaultFontSize[Tick5]}}};
  const auto floor = kFloors.find(name);
  if (floor == kFloors.end() || static_cast<int32_t>(saved) >= floor->second.Minimum) return saved;
  return static_cast<uint32_t>(floor->second.Fallback);
}

using Keys = std::map<std::string, headless::HeadlessStore::Key>;

// Loads each slot's saved values into fresh rulers and saves them again.
std::map<int, Saved> LoadAndSave(Keys& keys, const std::set<int>& slots) {
  headless::HeadlessPlatform os;
  os.Registry.Keys = keys;
  std::map<int, Saved> saved;
  {
    const std::unique_ptr<TProgram> program = StartProgram(os);
    for (int n : slots) {
      program->RulerForms.Make(n).SaveSettings();
      saved[n] = CheckSave(os.Registry, n);
    }
  }
  keys = os.Registry.Keys;
  return saved;
}

void Run(Input& in) {
  headless::HeadlessPlatform os;
  os.Ppi = 24 + in.Byte() * 2;
  os.DisplaySize = {in.Int(), in.Int()};
  os.Displays = Monitors(in, os.Registry);
  std::set<int> slots{0};
  const uint8_t more = in.Byte();
  for (int n = 1; n < kSlotCount; ++n)
    if (more & (1 << (n % 8)) && slots.size() < 4) slots.insert(n);
  for (int n : slots) FillKey(in, os.Registry, n);

  std::map<int, Saved> first;
  {
    const std::unique_ptr<TProgram> program = StartProgram(os);
    TRulerSlots& rulers = program->RulerForms;
    rulers[0]->Show();
    for (int n : slots) rulers.SetRulerVisible(n, true);
    for (int n : slots) CheckedRender(*rulers[static_cast<size_t>(n)]);
    for (int step = 0; step < 24 && !in.Done(); ++step) Act(os, *program, in);
    for (int n = 0; n < kSlotCount; ++n) {
      if (!rulers[static_cast<size_t>(n)]) continue;
      slots.insert(n);
      rulers[static_cast<size_t>(n)]->SaveSettings();
      first[n] = CheckSave(os.Registry, n);
    }
  }

  Keys keys = os.Registry.Keys;
  const std::map<int, Saved> second = LoadAndSave(keys, slots);
  for (const auto& [n, values] : first) {
    for (const auto& [name, value] : values) {
      StoreValue expected = value;
      if (value.Kind == StoreKind::Integer) expected.Integer = Reloaded(name, value.Integer);
      if (!Same(second.at(n).at(name), expected))
        Fail("ruler " + std::to_string(n) + "'s " + name + " changed after a load and a save");
    }
  }
  const std::map<int, Saved> third = LoadAndSave(keys, slots);
  for (const auto& [n, values] : second)
    for (const auto& [name, value] : values)
      if (!Same(third.at(n).at(name), value))
        Fail("ruler " + std::to_string(n) + "'s " + name + " changed after a second load and save");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  Run(in);
  return 0;
}
