// DropFileEdit: the File field, a plain edit control that also takes files
// dropped on it (the last dropped item's full path becomes its text).
#pragma once

#include <windows.h>

namespace pagewire::app {

class DropFileEdit {
 public:
  // Subclasses the dialog's edit control and lets it accept dropped files.
  void Attach(HWND edit);

 private:
  static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR data);
  static void TakeDroppedFiles(HWND edit, HDROP drop);
};

}  // namespace pagewire::app
