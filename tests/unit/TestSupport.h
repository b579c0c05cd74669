#pragma once
// A fresh program on the headless platform for each test.

#include <gtest/gtest.h>

#include <set>

#include "DataModule/DataModule.h"
#include "Ruler/RulerRender.h"
#include "Ruler/Rulers.h"
#include "app/Startup.h"
#include "forms/Forms.h"
#include "platform/headless/HeadlessPlatform.h"

namespace vr {
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.Left << ", " << r.Top << ", " << r.Width << " x " << r.Height << "}";
}
}  // namespace vr

namespace vr::test {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSystemColorSource([this](int index) { return Os.SysColor(index); });
    App = std::make_unique<TApplication>(Os);
    App->SetTitle("Vantori Rulers");
    SetProgramIcon(*App);
    CreateCommandModule(*App);
  }
  void TearDown() override {
    App.reset();
    ForgetProgram();
    SetSystemColorSource(nullptr);
  }

  // Ruler 0 as start-up makes it: the main window, in slot 0.
  TRulerForm& StartRuler0() { return *App->CreateForm(RulerForms[0]); }
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
    Os.Deliver([this](const Message& m) { return App->HandleMessage(m); },
               {sys ? MessageKind::SysKeyDown : MessageKind::KeyDown, key}, modifiers);
  }
  TRulerForm& Slot(int n) { return *RulerForms[static_cast<size_t>(n)]; }
  static std::string Key(int n) { return SettingsKeyPath(n); }

  headless::HeadlessPlatform Os;
  std::unique_ptr<TApplication> App;
};

}  // namespace vr::test
