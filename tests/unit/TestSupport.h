#pragma once
// A fresh program on the headless platform for each test, made by the same
// start-up as the real one.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "DataModule/DataModule.h"
#include "Options/OptionsForm.h"
#include "Ruler/RulerKeys.h"
#include "Ruler/RulerRender.h"
#include "Ruler/Rulers.h"
#include "app/Program.h"
#include "forms/Forms.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/ScriptedQueue.h"
#include "support/SimulatedUser.h"

namespace vr {
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.Left << ", " << r.Top << ", " << r.Width << " x " << r.Height << "}";
}
}  // namespace vr

namespace vr::test {

// A whole run of the program on the scripted queue: start-up, the loop until
// the run ends, and what is left afterwards.
class RunTest : public ::testing::Test {
 public:
  headless::HeadlessPlatform Os;
  ScriptedQueue Queue{Os};
  std::unique_ptr<TProgram> Program;
  void Run() {
    Program = StartProgram(Os);
    Program->Run();
    Program.reset();
  }
  // While the run lasts.
  TRulerForm& Slot(int n) { return *Program->RulerForms[static_cast<size_t>(n)]; }
};

class ProgramTest : public ::testing::Test {
 public:
  void TearDown() override {
    // The test's own windows go before the program they belong to.
    OwnForms.clear();
    EndProgram();
  }

  // Start-up as the program does it: the command module, ruler 0 (the main
  // window, not shown yet), then what waits for the loop's first idle moment:
  // the tray icon's add to the notification area and the Options window,
  // hidden. Once a test.
  TProgram& Start() {
    if (!Program) {
      StartBeforeTheLoop();
      Os.RunIdleCalls();
      OptionsForm = Program->OptionsForm.get();
    }
    return *Program;
  }
  // Start-up up to the message loop: what waits for the loop is not done yet.
  TProgram& StartBeforeTheLoop() {
    if (!Program) {
      Program = StartProgram(Os);
      App = &Program->Application;
      DM = Program->DM.get();
      OptionsForm = Program->OptionsForm.get();
    }
    return *Program;
  }
  void EndProgram() {
    Program.reset();
    App = nullptr;
    DM = nullptr;
    OptionsForm = nullptr;
  }
  // Ruler 0 as start-up makes it: the main window, in slot 0.
  TRulerForm& StartRuler0() { return *Start().RulerForms[0]; }
  // Ruler 0, shown and focused as the message loop's start does.
  TRulerForm& StartAndShowRuler0() {
    TRulerForm& r = StartRuler0();
    r.Show();
    return r;
  }
  headless::HeadlessWindow& WindowOf(const TRulerForm& r) { return *Os.Find(r); }
  // A key press as the loop hands it over: to the filter, then its normal
  // handling. With Alt, and F10 alone, it is a system key.
  void Press(KeyCode key, std::set<KeyCode> modifiers = {}) {
    const bool sys = modifiers.count(KeyCode::Alt) != 0 || key == KeyCode::F10;
    Queue.Deliver([this](const Message& m) { return App->HandleMessage(m); },
                  {sys ? MessageKind::SysKeyDown : MessageKind::KeyDown, key}, modifiers);
  }
  TRulerForm& Slot(int n) { return *Rulers()[static_cast<size_t>(n)]; }
  static std::string Key(int n) { return SettingsKeyPath(n); }
  // A window of the program's that is no ruler, owned by the test.
  TForm& MakeForm(const WindowParams& params) {
    OwnForms.push_back(std::make_unique<TForm>(Start().Application, params));
    return *OwnForms.back();
  }

  // The program's parts by the names the program gives them.
  TRulerSlots& Rulers() { return Start().RulerForms; }
  struct SlotsView {
    ProgramTest& Test;
    TRulerForm* operator[](size_t n) const {
      return Test.Program ? Test.Program->RulerForms[n] : nullptr;
    }
  };
  SlotsView RulerForms{*this};
  bool GetRulerVisible(int n) { return Rulers().GetRulerVisible(n); }
  void SetRulerVisible(int n, bool visible) { Rulers().SetRulerVisible(n, visible); }
  void BringRulerToFront(int n) { Rulers().BringRulerToFront(n); }
  int ActiveRulerIndex() { return Rulers().ActiveRulerIndex(); }
  TRulerForm* ActiveRuler() { return Rulers().ActiveRuler(); }
  void ActiveFormChanged(TForm* sender) { Rulers().ActiveFormChanged(sender); }
  void NextOrientation() { vr::NextOrientation(Rulers()); }
  void PreviousOrientation() { vr::PreviousOrientation(Rulers()); }

  headless::HeadlessPlatform Os;
  ScriptedQueue Queue{Os};
  SimulatedUser User{Os};
  std::unique_ptr<TProgram> Program;
  TApplication* App = nullptr;
  TDM* DM = nullptr;
  TOptionsForm* OptionsForm = nullptr;
  std::vector<std::unique_ptr<TForm>> OwnForms;
};

}  // namespace vr::test
