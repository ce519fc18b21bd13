#include "dialogs/win32/pdf_print_settings_dlg.h"

#include <commctrl.h>

#include <utility>

#include "resource.h"
#include "settings/setting_tables.h"

namespace pagewire::dialogs::win32 {
namespace {

constexpr int kTooltipMaxWidth = 200;  // pixels

const std::pair<int, UINT> kTools[] = {
    {IDC_PAPER_SIZE, IDS_TIP_PAPER_SIZE},     {IDC_PAPER_TYPE, IDS_TIP_PAPER_TYPE},
    {IDC_DUPLEX, IDS_TIP_DUPLEX},             {IDC_PRINT_MODE, IDS_TIP_PRINT_MODE},
    {IDC_LAYOUT, IDS_TIP_LAYOUT},             {IDC_OUTPUT_COLOR, IDS_TIP_OUTPUT_COLOR},
    {IDC_ALL_PAGES, IDS_TIP_ALL_PAGES},       {IDC_SELECT_PAGES, IDS_TIP_SELECT_PAGES},
    {IDC_FROM_PAGE, IDS_TIP_FROM_PAGE},       {IDC_FROM_PAGE_SPIN, IDS_TIP_FROM_PAGE},
    {IDC_TO_PAGE, IDS_TIP_TO_PAGE},           {IDC_TO_PAGE_SPIN, IDS_TIP_TO_PAGE},
    {IDC_TO_LAST_PAGE, IDS_TIP_TO_LAST_PAGE}, {IDC_COPIES, IDS_TIP_COPIES},
    {IDC_COPIES_SPIN, IDS_TIP_COPIES},        {IDC_COLLATED, IDS_TIP_COLLATED},
    {IDC_SAVE_SETTINGS, IDS_TIP_SAVE_SETTINGS},
};

const int kNumberSpins[] = {IDC_FROM_PAGE_SPIN, IDC_TO_PAGE_SPIN, IDC_COPIES_SPIN};

int FieldId(job::NumberField field) {
  switch (field) {
    case job::NumberField::FromPage: return IDC_FROM_PAGE;
    case job::NumberField::ToPage: return IDC_TO_PAGE;
    case job::NumberField::Copies: break;
  }
  return IDC_COPIES;
}

}  // namespace

PdfPrintSettingsDlg::PdfPrintSettingsDlg(job::PdfPrintSettings& settings)
    : DialogBase(IDD_PDF_PRINT_SETTINGS), settings_(settings) {}

bool PdfPrintSettingsDlg::OnInit() {
  const settings::PrintJobSettings& s = settings_.settings;
  SetItemInt(IDC_FROM_PAGE, s.fromPage);
  SetItemInt(IDC_TO_PAGE, s.toPage);
  SetItemInt(IDC_COPIES, s.copies);
  SetChecked(IDC_COLLATED, s.collate == settings::Collation::Collated);
  SetChecked(IDC_TO_LAST_PAGE, s.toLastPage);
  SetChecked(IDC_SAVE_SETTINGS, settings_.saveSettings);
  SetChecked(IDC_ALL_PAGES, !s.selectPages);
  SetChecked(IDC_SELECT_PAGES, s.selectPages);
  CreateTooltips();
  for (int spin : kNumberSpins) {
    SendMessageA(Item(spin), UDM_SETRANGE32, settings::kMinNumber, settings::kMaxNumber);
  }
  FillLists();
  ApplyEnabling();
  return true;  // the focus goes to OK, first in tab order
}

void PdfPrintSettingsDlg::FillLists() {
  const settings::PrintJobSettings& s = settings_.settings;
  FillList(IDC_OUTPUT_COLOR, settings::kOutputColors, s.outputColor);
  FillList(IDC_PRINT_MODE, settings::kPrintModes, s.printMode);
  FillList(IDC_PAPER_SIZE, settings::kPaperSizes, s.paperSize);
  FillList(IDC_PAPER_TYPE, settings::kPaperTypes, s.paperType);
  FillList(IDC_DUPLEX, settings::kDuplexModes, s.duplexMode);
  FillList(IDC_LAYOUT, settings::kLayouts, s.layout);
}

template <typename Value>
void PdfPrintSettingsDlg::FillList(int id, const settings::Setting<Value>& setting, Value value) {
  for (const settings::SettingRow<Value>& row : setting.rows) {
    SendMessageA(Item(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.listText));
  }
  // A number outside the list leaves it with no selection.
  ComboSelect(id, settings::NumberOf(value));
}

void PdfPrintSettingsDlg::CreateTooltips() {
  if (!tooltip.Create(Window(), kTooltipMaxWidth, true)) return;
  for (const auto& [id, text] : kTools) tooltip.AddTool(Item(id), text);
  tooltip.Activate(true);
}

void PdfPrintSettingsDlg::ApplyEnabling() {
  SettingsChoices choices;
  choices.selectPages = IsChecked(IDC_SELECT_PAGES);
  choices.toLastPage = IsChecked(IDC_TO_LAST_PAGE);
  choices.layout = settings_.settings.layout;
  choices.settingsReadOnly = settings_.settingsReadOnly;
  const SettingsEnabling on = EnablingFor(choices);
  EnableItem(IDC_ALL_PAGES, on.pageChoice);
  EnableItem(IDC_SELECT_PAGES, on.pageChoice);
  EnableItem(IDC_FROM_PAGE, on.fromPage);
  EnableItem(IDC_FROM_PAGE_SPIN, on.fromPage);
  EnableItem(IDC_TO_PAGE, on.toPage);
  EnableItem(IDC_TO_PAGE_SPIN, on.toPage);
  EnableItem(IDC_TO_LAST_PAGE, on.toLastPage);
  EnableItem(IDC_DUPLEX, on.duplex);
  EnableItem(IDC_PAPER_TYPE, on.paperType);
  EnableItem(IDC_PAPER_SIZE, on.paperSize);
  EnableItem(IDC_SAVE_SETTINGS, on.saveSettings);
}

job::SettingsForm PdfPrintSettingsDlg::ReadForm() const {
  job::SettingsForm form;
  form.fromPage = ItemText(IDC_FROM_PAGE);
  form.toPage = ItemText(IDC_TO_PAGE);
  form.copies = ItemText(IDC_COPIES);
  form.allPages = IsChecked(IDC_ALL_PAGES);
  form.toLastPage = IsChecked(IDC_TO_LAST_PAGE);
  form.collate = IsChecked(IDC_COLLATED);
  form.saveSettings = IsChecked(IDC_SAVE_SETTINGS);
  form.outputColor = ComboSelection(IDC_OUTPUT_COLOR);
  form.printMode = ComboSelection(IDC_PRINT_MODE);
  form.paperSize = ComboSelection(IDC_PAPER_SIZE);
  form.paperType = ComboSelection(IDC_PAPER_TYPE);
  form.duplexMode = ComboSelection(IDC_DUPLEX);
  form.layout = ComboSelection(IDC_LAYOUT);
  return form;
}

void PdfPrintSettingsDlg::OnOK() {
  const job::SettingsOkResult result = settings_.Ok(ReadForm());
  if (!result.valid) {
    AcceptField(FieldId(result.field), result.verdict);
    return;
  }
  End(IDOK);
}

bool PdfPrintSettingsDlg::OnCommand(int id, int code, HWND /*control*/) {
  if (id == IDC_LAYOUT && code == CBN_SELCHANGE) {
    // Kept even when the dialog is then cancelled.
    settings_.settings.layout = static_cast<settings::Layout>(ComboSelection(IDC_LAYOUT));
    ApplyEnabling();
    return true;
  }
  if (code == BN_CLICKED &&
      (id == IDC_ALL_PAGES || id == IDC_SELECT_PAGES || id == IDC_TO_LAST_PAGE)) {
    ApplyEnabling();
    return true;
  }
  return false;
}

}  // namespace pagewire::dialogs::win32
