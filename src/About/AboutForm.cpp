#include "About/AboutForm.h"

#include "About/Banner.h"
#include "About/Version.h"

namespace vr {

namespace {

MaskedImage Opaque(const Image& picture) {
  MaskedImage m;
  m.Color = picture;
  m.Alpha.assign(picture.Pixels().size(), 255);
  return m;
}

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kLinkBlue = 0xFF0000;

ControlFont TitleFont() {
  ControlFont f;
  f.Height = 13;
  f.Bold = true;
  return f;
}

ControlFont LinkFont() {
  ControlFont f;
  f.Color = kLinkBlue;
  return f;
}

}  // namespace

TAboutForm::TAboutForm(TApplication& owner)
    : TForm(owner, DialogWindow("About Vantori Rulers")),
      BannerPanel(*this, nullptr, {0, 0, 480, 82}, kWhite),
      BannerImage(*this, &BannerPanel, {0, 0, AboutBannerWidth, AboutBannerHeight},
                  Opaque(DrawAboutBanner())),
      BannerBevel(*this, &BannerPanel, {0, 80, 480, 2}),
      ProgramIcon(*this, nullptr, {24, 96, 32, 32}),
      VersionLabel(*this, nullptr, {64, 96}, std::string("Vantori Rulers ") + kVersionText,
                   TitleFont()),
      CopyrightLabel(*this, nullptr, {64, 116},
                     "Copyright \xC2\xA9 2026 Vantori. All rights reserved."),
      TaglineLabel(*this, nullptr, {64, 132}, "A pixel ruler for everything on your screen."),
      MailLabel(*this, nullptr, {64, 288}, kContactAddress, LinkFont()),
      OkButton(*this, nullptr, {388, 280, 75, 25}, "Ok", {true, true, mrOk}) {
  MailLabel.OnClick = [this](TLabel& l) { MailLabelClick(l); };
  MailLabel.OnMouseEnter = [this](TLabel& l) { MailLabelMouseEnter(l); };
  MailLabel.OnMouseLeave = [this](TLabel& l) { MailLabelMouseLeave(l); };
  FormCreate();
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::FormCreate() {
  SetClientSize(480, 320);
  ProgramIcon.SetPicture(Owner().LargeIcon);
  CenterOnScreen();
}

std::string TAboutForm::MailLink() {
  // The subject's spaces go as they are: mail programs take them so.
  return std::string("mailto:") + kContactAddress + "?subject=About Vantori Rulers&body=:)";
}

void TAboutForm::MailLabelClick(TLabel& /*sender*/) { Owner().Os().OpenLink(MailLink()); }

void TAboutForm::MailLabelMouseEnter(TLabel& sender) {
  ControlFont f = sender.Font();
  f.Underline = true;
  sender.SetFont(f);
}

void TAboutForm::MailLabelMouseLeave(TLabel& sender) {
  ControlFont f = sender.Font();
  f.Underline = false;
  sender.SetFont(f);
}

}  // namespace vr
