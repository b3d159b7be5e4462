#pragma once
// The method page: backup, restore, or configure the auto-backup script.
#include <cstdint>
#include <map>
#include <string>

#include "controls/Control.h"
#include "controls/InputControls.h"
#include "wizard/WizardPage.h"

class ucStep1 : public wizard::Page {
 public:
  enum : std::int16_t { kBackup = 0, kRestore = 1, kSchedule = 2 };
  // The property store the page control keeps its design-time values in.
  using PropertyBag = std::map<std::string, std::string>;

  ucStep1();
  int TemplateId() const override;
  void Bind(controls::ControlBinder& binder) override;

  std::int16_t Method() const { return method_; }
  // Also checks the option of that index.
  void Method(std::int16_t method);
  bool PropertyChanged() const { return changed_; }

  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  controls::Label lblTitle;
  controls::OptionArray optMethod{3};
  controls::Label lblExplain[3];

 private:
  std::int16_t method_ = kBackup;
  bool changed_ = false;
};
