#include "app/win32/direct_print_dlg.h"

#include <utility>

#include "app/launch_decisions.h"
#include "app/printer_list.h"
#include "app/show_drag_dlg_key.h"
#include "app/win32/about_dlg.h"
#include "resource.h"

namespace pagewire::app {

namespace {

constexpr int kTooltipMaxWidth = 150;  // pixels
constexpr const char* kNoApplication = "There is no available application program.";
constexpr const char* kBrowseFilter =
    "PDF Files (*.pdf)|*.pdf|TIFF Files (*.tif)|*.tif|Quillora Files (*.qlr)|*.qlr|"
    "All Files (*.*)|*.*||";
// GetKeyState's bit for a key that is down.
constexpr SHORT kKeyDown = 0x80;

}  // namespace

DirectPrintDlg::DirectPrintDlg(platform::Platform& platform, job::JobDialogs& jobDialogs,
                               job::InspectPdf inspectPdf)
    : DialogBase(IDD_DIRECT_PRINT),
      platform_(platform),
      model_(platform, jobDialogs, std::move(inspectPdf)),
      icon_(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PAGEWIRE))) {}

bool DirectPrintDlg::OnInit() {
  SetItemText(IDC_FILE_EDIT, model_.filePath);
  AddSystemMenuItem();
  SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  CreateTooltips();
  fileField_.Attach(Item(IDC_FILE_EDIT));
  FillPrinterList();
  OnFileChanged();
  ShowPrinterPort();
  // An interactive launch brings the confirmation back for direct ones.
  RemoveShowDragDlgKeyIfPresent(platform_.settingsStore);
  tooltip.Activate(true);
  return true;
}

void DirectPrintDlg::AddSystemMenuItem() {
  char text[64] = {};
  if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUT_MENU, text, sizeof(text)) <= 0) return;
  HMENU menu = GetSystemMenu(Window(), FALSE);
  if (menu == nullptr) return;
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
}

void DirectPrintDlg::CreateTooltips() {
  if (!tooltip.Create(Window(), kTooltipMaxWidth)) return;
  const std::pair<int, UINT> tools[] = {
      {IDC_BROWSE, IDS_TIP_BROWSE}, {IDC_FILE_EDIT, IDS_TIP_BROWSE}, {IDC_PRINT, IDS_TIP_PRINT},
      {IDC_PORT, IDS_TIP_PORT},     {IDC_PRINTERS, IDS_TIP_PRINTERS},
      {IDC_OPEN_FILE, IDS_TIP_OPEN_FILE}, {IDC_ABOUT, IDS_TIP_ABOUT}, {IDOK, IDS_TIP_EXIT}};
  for (const auto& [id, text] : tools) tooltip.AddTool(Item(id), text);
}

void DirectPrintDlg::FillPrinterList() {
  HWND list = Item(IDC_PRINTERS);
  for (const std::string& name : platform_.printers.Names()) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  // An empty prefix (no default printer) selects the first entry, as the
  // list's own prefix search does.
  ComboSelectPrefix(IDC_PRINTERS, DefaultPrinterPrefix(platform_.systemFacts));
}

void DirectPrintDlg::ReadControls() {
  model_.filePath = ItemText(IDC_FILE_EDIT);
  model_.printerName = ComboSelectionText(IDC_PRINTERS);
}

void DirectPrintDlg::ShowPrinterPort() {
  model_.WhenIdle([this] {
    ReadControls();
    if (auto port = PortOfPrinter(platform_.printers, model_.printerName)) {
      SetItemText(IDC_PORT, *port);
    }
  });
}

void DirectPrintDlg::OnOK() {
  ReadControls();
  End(IDOK);
}

void DirectPrintDlg::OnFileChanged() {
  model_.filePath = ItemText(IDC_FILE_EDIT);
  EnableItem(IDC_OPEN_FILE, !model_.filePath.empty());
}

void DirectPrintDlg::OnPortChanged() {
  EnableItem(IDC_PRINT, PrintEnabledForPort(ItemText(IDC_PORT)));
}

void DirectPrintDlg::OnBrowse() {
  platform::FileChooserRequest request;
  request.filter = kBrowseFilter;
  request.defaultExtension = "pdf";
  request.flags = platform::kChooserExplorer | platform::kChooserHideReadOnly |
                  platform::kChooserPathMustExist | platform::kChooserFileMustExist |
                  platform::kChooserLongNames;
  if (auto chosen = platform_.ui.ChooseOpenFile(request)) {
    model_.filePath = *chosen;
    SetItemText(IDC_FILE_EDIT, model_.filePath);
  }
}

void DirectPrintDlg::OnOpenFile() {
  if (!platform_.shell.OpenDocument(model_.filePath)) {
    platform_.ui.ShowMessageBox(kNoApplication, platform::MessageButtons::Ok,
                                platform::MessageIcon::Exclamation);
  }
}

void DirectPrintDlg::OnPrint() {
  if (GetKeyState(VK_SHIFT) & kKeyDown) model_.destination = job::DestinationKind::OutputFile;
  ReadControls();
  model_.RunPrintJob(true);
}

void DirectPrintDlg::OnAbout() {
  ReadControls();
  AboutDlg().RunModal(Window());
}

bool DirectPrintDlg::OnCommand(int id, int code, HWND /*control*/) {
  if (id == IDC_FILE_EDIT && code == EN_CHANGE) OnFileChanged();
  else if (id == IDC_PORT && code == EN_CHANGE) OnPortChanged();
  else if (id == IDC_PRINTERS && code == CBN_SELCHANGE) ShowPrinterPort();
  else if (code != BN_CLICKED) return false;
  else if (id == IDC_BROWSE) OnBrowse();
  else if (id == IDC_OPEN_FILE) OnOpenFile();
  else if (id == IDC_PRINT) OnPrint();
  else if (id == IDC_ABOUT) OnAbout();
  else return false;
  return true;
}

bool DirectPrintDlg::OnPaintMinimised() {
  if (!IsIconic(Window())) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Window(), &paint);
  SendMessageA(Window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(Window(), &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon_);
  EndPaint(Window(), &paint);
  return true;
}

bool DirectPrintDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != IDM_ABOUTBOX) return false;
      AboutDlg().RunModal(Window());
      result = TRUE;
      return true;
    case WM_PAINT:
      result = TRUE;
      return OnPaintMinimised();
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<INT_PTR>(icon_);
      return true;
    case WM_SETTINGCHANGE:
      if (wParam == 0 && lParam != 0 &&
          lstrcmpiA(reinterpret_cast<const char*>(lParam), "devices") == 0) {
        ShowPrinterPort();
      }
      return false;
    default:
      return false;
  }
}

}  // namespace pagewire::app
