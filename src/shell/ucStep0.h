#pragma once
// The welcome page: a heading, the formatted welcome text and the hint line.
#include <string>

#include "controls/Control.h"
#include "wizard/WizardPage.h"

class ucStep0 : public wizard::Page {
 public:
  ucStep0();
  int TemplateId() const override;
  void Bind(controls::ControlBinder& binder) override;

  controls::Label lblTitle, lblHint;
  // The welcome document as loaded into the rich-text box.
  const std::string& WelcomeRtf() const { return rtf_; }

 private:
  std::string rtf_;
};

// The welcome document: the product name in bold, then plain paragraphs.
std::string MakeWelcomeRtf(const std::string& webSite);
