#include "output/win/print_dialog.h"

#include <commdlg.h>

#include <string>

#include "base/region.h"
#include "output_res.h"

namespace fq::win {
namespace {

// The printer chosen last, for the whole run.
struct KeptPrinter {
  HGLOBAL dev_mode = nullptr;
  HGLOBAL dev_names = nullptr;
};
KeptPrinter g_printer;

// The dialog's state while it is open (one at a time).
struct Panel {
  PrintKind kind = PrintKind::kImage;
  settings::PrintOptions options;
};
Panel* g_panel = nullptr;

constexpr int kImageControls[] = {IDC_PRN_IMAGE_GROUP, IDC_PRN_PAPER, IDC_PRN_ORIGINAL, IDC_PRN_UPPER,
                                  IDC_PRN_LOWER};
constexpr int kAlbumControls[] = {IDC_PRN_ALBUM_GROUP, IDC_PRN_ALL,  IDC_PRN_SELECT, IDC_PRN_ALBUM,
                                  IDC_PRN_TWO,         IDC_PRN_FOUR, IDC_PRN_SIXTEEN};
constexpr int kOtherControls[] = {IDC_PRN_OTHER_GROUP, IDC_PRN_NAME, IDC_PRN_DATE};
constexpr int kPlacementButtons[] = {IDC_PRN_PAPER, IDC_PRN_ORIGINAL, IDC_PRN_UPPER, IDC_PRN_LOWER};
constexpr int kLayoutButtons[] = {IDC_PRN_ALBUM, IDC_PRN_TWO, IDC_PRN_FOUR, IDC_PRN_SIXTEEN};

template <size_t N>
void EnableAll(HWND dlg, const int (&ids)[N], bool on) {
  for (int id : ids) EnableWindow(GetDlgItem(dlg, id), on ? TRUE : FALSE);
}

void ShowOptions(HWND dlg, const settings::PrintOptions& o) {
  CheckRadioButton(dlg, IDC_PRN_PAPER, IDC_PRN_LOWER, kPlacementButtons[o.image_placement]);
  CheckRadioButton(dlg, IDC_PRN_ALBUM, IDC_PRN_SIXTEEN, kLayoutButtons[o.album_layout]);
  CheckRadioButton(dlg, IDC_PRN_ALL, IDC_PRN_SELECT, o.album_all ? IDC_PRN_ALL : IDC_PRN_SELECT);
  CheckDlgButton(dlg, IDC_PRN_NAME, o.name ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dlg, IDC_PRN_DATE, o.date ? BST_CHECKED : BST_UNCHECKED);
}

// The state the controls show, for OK: a click the button took without its
// notification reaching the hook still counts.
void ReadShownOptions(HWND dlg, settings::PrintOptions& o) {
  for (int i = 0; i < 4; ++i) {
    if (IsDlgButtonChecked(dlg, kPlacementButtons[i]) == BST_CHECKED) o.image_placement = i;
    if (IsDlgButtonChecked(dlg, kLayoutButtons[i]) == BST_CHECKED) o.album_layout = i;
  }
  o.album_all = IsDlgButtonChecked(dlg, IDC_PRN_SELECT) != BST_CHECKED;
  o.name = IsDlgButtonChecked(dlg, IDC_PRN_NAME) == BST_CHECKED;
  o.date = IsDlgButtonChecked(dlg, IDC_PRN_DATE) == BST_CHECKED;
}

void OnClicked(HWND dlg, int id) {
  settings::PrintOptions& o = g_panel->options;
  for (int i = 0; i < 4; ++i) {
    if (id == kPlacementButtons[i]) o.image_placement = i;
    if (id == kLayoutButtons[i]) o.album_layout = i;
  }
  if (id == IDC_PRN_ALL) o.album_all = true;
  if (id == IDC_PRN_SELECT) o.album_all = false;
  if (id == IDC_PRN_NAME) o.name = IsDlgButtonChecked(dlg, IDC_PRN_NAME) == BST_CHECKED;
  if (id == IDC_PRN_DATE) o.date = IsDlgButtonChecked(dlg, IDC_PRN_DATE) == BST_CHECKED;
}

UINT_PTR CALLBACK PrintHook(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
  if (!g_panel) return 0;
  switch (msg) {
    case WM_INITDIALOG:
      // Reset, then what the settings file holds.
      g_panel->options = settings::ReadPrintOptions(settings::Store());
      ShowOptions(dlg, g_panel->options);
      EnableAll(dlg, kAlbumControls, g_panel->kind == PrintKind::kAlbum);
      EnableAll(dlg, kImageControls, g_panel->kind != PrintKind::kAlbum);
      EnableAll(dlg, kOtherControls, g_panel->kind != PrintKind::kCalendar);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        ReadShownOptions(dlg, g_panel->options);
      } else if (HIWORD(wParam) == BN_CLICKED) {
        OnClicked(dlg, LOWORD(wParam));
      }
      return 0;
  }
  return 0;
}

// The dialog may hand back new blocks for the printer: they replace the kept
// ones (the old are freed unless the dialog reused them).
void Keep(const PRINTDLGA& pd) {
  if (g_printer.dev_mode && g_printer.dev_mode != pd.hDevMode) GlobalFree(g_printer.dev_mode);
  if (g_printer.dev_names && g_printer.dev_names != pd.hDevNames) GlobalFree(g_printer.dev_names);
  g_printer.dev_mode = pd.hDevMode;
  g_printer.dev_names = pd.hDevNames;
}

PRINTDLGA BaseDialog(HWND owner) {
  PRINTDLGA pd = {};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = owner;
  pd.hDevMode = g_printer.dev_mode;
  pd.hDevNames = g_printer.dev_names;
  pd.nCopies = 1;
  return pd;
}

}  // namespace

bool ShowPrintDialog(HWND owner, PrintKind kind, settings::PrintOptions& options) {
  const std::string name = region::DialogName("PRINT88C", region::Variants::kEu);
  Panel panel{kind, settings::ReadPrintOptions(settings::Store())};
  PRINTDLGA pd = BaseDialog(owner);
  pd.Flags = PD_ENABLEPRINTTEMPLATE | PD_ENABLEPRINTHOOK | PD_NOPAGENUMS | PD_NOSELECTION |
             PD_ALLPAGES | PD_USEDEVMODECOPIESANDCOLLATE;
  pd.hInstance = GetModuleHandleA(nullptr);
  pd.lpPrintTemplateName = name.c_str();
  pd.lpfnPrintHook = PrintHook;
  g_panel = &panel;
  const BOOL ok = PrintDlgA(&pd);
  g_panel = nullptr;
  Keep(pd);
  if (!ok) return false;
  settings::WritePrintOptions(settings::Store(), panel.options, kind == PrintKind::kAlbum);
  options = panel.options;
  return true;
}

void ShowPrintSetup(HWND owner) {
  PRINTDLGA pd = BaseDialog(owner);
  pd.Flags = PD_PRINTSETUP;
  PrintDlgA(&pd);
  Keep(pd);
}

HDC CreateKeptPrinterDC() {
  if (!g_printer.dev_names) {
    // Nothing chosen yet: the system's default printer.
    PRINTDLGA pd = BaseDialog(nullptr);
    pd.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&pd)) return nullptr;
    Keep(pd);
  }
  auto* names = static_cast<DEVNAMES*>(GlobalLock(g_printer.dev_names));
  if (!names) return nullptr;
  const char* base = reinterpret_cast<const char*>(names);
  const std::string driver = base + names->wDriverOffset;
  const std::string device = base + names->wDeviceOffset;
  const std::string port = base + names->wOutputOffset;
  GlobalUnlock(g_printer.dev_names);
  DEVMODEA* mode = g_printer.dev_mode ? static_cast<DEVMODEA*>(GlobalLock(g_printer.dev_mode)) : nullptr;
  HDC dc = CreateDCA(driver.c_str(), device.c_str(), nullptr, mode);
  if (mode) GlobalUnlock(g_printer.dev_mode);
  return dc;
}

}  // namespace fq::win
