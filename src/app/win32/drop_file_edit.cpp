#include "app/win32/drop_file_edit.h"

#include <commctrl.h>
#include <shellapi.h>

namespace pagewire::app {

namespace {

// The path buffer a dropped item is fetched into.
constexpr UINT kDroppedPathSize = 256;
constexpr UINT_PTR kSubclassId = 1;

}  // namespace

void DropFileEdit::Attach(HWND edit) {
  SetWindowSubclass(edit, EditProc, kSubclassId, 0);
  DragAcceptFiles(edit, TRUE);
}

void DropFileEdit::TakeDroppedFiles(HWND edit, HDROP drop) {
  char path[kDroppedPathSize] = {};
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, path, kDroppedPathSize);
  for (UINT i = 0; i < count; ++i) {
    if (DragQueryFileA(drop, i, path, kDroppedPathSize) == 0) continue;
    // Each change notifies the dialog, which updates filePath and Open File.
    SetWindowTextA(edit, path);
  }
  DragFinish(drop);
}

LRESULT CALLBACK DropFileEdit::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR /*data*/) {
  switch (message) {
    case WM_DROPFILES: {
      const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
      TakeDroppedFiles(edit, reinterpret_cast<HDROP>(wParam));
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, EditProc, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace pagewire::app
