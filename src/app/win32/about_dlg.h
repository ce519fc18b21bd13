// The About box (dialog 100): nothing beyond its OK button.
#pragma once

#include "platform/win32/dialog_base.h"
#include "resource.h"

namespace pagewire::app {

class AboutDlg : public platform::win32::DialogBase {
 public:
  AboutDlg() : DialogBase(IDD_ABOUT) {}
};

}  // namespace pagewire::app
