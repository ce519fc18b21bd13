// DirectPrintDlg: the main dialog (template 102). Its members are those of
// the DirectPrintModel it owns; clicks are forwarded to that model.
#pragma once

#include <windows.h>

#include "app/direct_print_model.h"
#include "app/win32/drop_file_edit.h"
#include "platform/win32/dialog_base.h"

namespace pagewire::app {

class DirectPrintDlg : public platform::win32::DialogBase {
 public:
  DirectPrintDlg(platform::Platform& platform, job::JobDialogs& jobDialogs,
                 job::InspectPdf inspectPdf);

  DirectPrintModel& Model() { return model_; }
  void ShowPrinterPort();

 protected:
  bool OnInit() override;
  void OnOK() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void ReadControls();
  void AddSystemMenuItem();
  void CreateTooltips();
  void FillPrinterList();
  void OnBrowse();
  void OnOpenFile();
  void OnPrint();
  void OnAbout();
  void OnFileChanged();
  void OnPortChanged();
  bool OnPaintMinimised();

  platform::Platform& platform_;
  DirectPrintModel model_;
  DropFileEdit fileField_;
  HICON icon_;
};

}  // namespace pagewire::app
