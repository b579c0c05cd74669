#pragma once
// The About box: the banner, the program's icon, name, version and rights
// notice, and a link that starts a mail message to us.

#include <string>

#include "forms/Controls.h"
#include "forms/Forms.h"

namespace vr {

class TAboutForm : public TForm {
 public:
  explicit TAboutForm(TApplication& owner);
  ~TAboutForm() override;

  static constexpr const char* kContactAddress = "support@vantori.example";
  // What a click on the contact address opens.
  static std::string MailLink();

  TPanel BannerPanel;
  TImage BannerImage;
  TBevel BannerBevel;
  TImage ProgramIcon;
  TLabel VersionLabel;
  TLabel CopyrightLabel;
  TLabel TaglineLabel;
  TLabel MailLabel;
  TButton OkButton;

  void MailLabelClick(TLabel& sender);
  void MailLabelMouseEnter(TLabel& sender);
  void MailLabelMouseLeave(TLabel& sender);

 private:
  void FormCreate();
};

}  // namespace vr
