#pragma once
// The Options window: every setting of the active ruler, changed at once.

#include "Ruler/Rulers.h"
#include "forms/Controls.h"
#include "forms/Forms.h"

namespace vr {

class TOptionsForm : public TForm, public TRulerObserver {
 public:
  explicit TOptionsForm(TApplication& owner);
  ~TOptionsForm() override;

  // Loads every control from the active ruler.
  void RefreshFromRuler() override;

 protected:
  void FormShow() override;

 private:
  void FormCreate();
  bool Shown_ = false;
};

// The Options window of this run, once start-up has made it.
extern TOptionsForm* OptionsForm;

}  // namespace vr
