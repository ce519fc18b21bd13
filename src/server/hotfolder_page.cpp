// The printer's "Hot Folders" page: each folder's counts and last errors,
// and its settings, changed by a form that writes the folder file.
#include <string>
#include <utility>
#include <vector>

#include "hotfolder/folder_settings.h"
#include "server/folder_command.h"
#include "server/hotfolder_service.h"

namespace pagewire::server {
namespace {

// The settings the form changes; an empty job attribute is the printer's
// default.
constexpr const char* kFormFields[] = {"copies",        "sides",       "media",      "print-color-mode",
                                       "print-quality", "number-up",   "print-scaling", "page-ranges",
                                       "multiple-document-handling", "settle-time", "claim-ahead",
                                       "keep-days"};

std::string Value(const hotfolder::FolderSettings& settings, const std::string& name) {
  if (name == "settle-time") return std::to_string(settings.settleSeconds);
  if (name == "claim-ahead") return std::to_string(settings.claimAhead);
  if (name == "keep-days") return std::to_string(settings.keepDays);
  for (const auto& [known, value] : settings.job) {
    if (known == name) return value;
  }
  return {};
}

// The form's values over the folder's settings, kept in the folder file.
std::string Change(const ServedFolders& served, pappl_printer_t* printer, int count, cups_option_t* form) {
  const char* path = cupsGetOption("path", count, form);
  for (const auto& folder : served.folders) {
    hotfolder::FolderSettings settings = folder->Settings();
    if (path == nullptr || settings.path != path || settings.printer != papplPrinterGetName(printer)) continue;
    std::string error;
    for (const std::string name : kFormFields) {
      const char* given = cupsGetOption(name.c_str(), count, form);
      if (given == nullptr) continue;
      if (*given == '\0' && hotfolder::IsFolderJobAttribute(name)) {
        std::erase_if(settings.job, [&name](const auto& item) { return item.first == name; });
      } else if (!hotfolder::SetFolderOption(settings, name, given, error)) {
        return error;
      }
    }
    if (!ChangeFolder(served.stateFolder, settings, false, error)) return error;
    return "Changed; the folder takes its new settings within a second.";
  }
  return "No such hot folder.";
}

bool FolderPage(pappl_client_t* client, void* data) {
  auto* printer = static_cast<pappl_printer_t*>(data);
  if (!papplClientHTMLAuthorize(client)) return true;
  const ServedFolders served = CurrentHotFolders();
  std::string said;
  if (papplClientGetMethod(client) == HTTP_STATE_POST) {
    cups_option_t* form = nullptr;
    const int count = papplClientGetForm(client, &form);
    said = papplClientIsValidForm(client, count, form) ? Change(served, printer, count, form)
                                                       : "Invalid form data.";
    cupsFreeOptions(count, form);
  }
  char self[256];
  papplPrinterGetPath(printer, "folders", self, sizeof(self));
  papplClientHTMLPrinterHeader(client, printer, "Hot Folders", 0, nullptr, nullptr);
  papplClientHTMLPuts(client, "<div class=\"row\"><div class=\"col-12\">\n");
  if (!said.empty()) papplClientHTMLPrintf(client, "<div class=\"banner\">%s</div>\n", said.c_str());
  int shown = 0;
  for (const auto& folder : served.folders) {
    const hotfolder::FolderSettings settings = folder->Settings();
    if (settings.printer != papplPrinterGetName(printer)) continue;
    ++shown;
    const hotfolder::FolderStatus status = folder->Status();
    papplClientHTMLPrintf(client,
                          "<h2 class=\"title\">%s</h2>\n<p>%d waiting, %d processing, %d done, %d failed; "
                          "found by %s. Password file: %s.</p>\n",
                          settings.path.c_str(), status.waiting, status.processing, status.done,
                          status.failed, status.polled ? "polling" : "file system events",
                          settings.passwordFile.empty() ? "none, protected PDFs are held"
                                                        : settings.passwordFile.c_str());
    if (!status.errors.empty()) {
      papplClientHTMLPuts(client, "<p>Last errors:</p><ul>\n");
      for (const std::string& error : status.errors) papplClientHTMLPrintf(client, "<li>%s</li>\n", error.c_str());
      papplClientHTMLPuts(client, "</ul>\n");
    }
    papplClientHTMLStartForm(client, self, false);
    papplClientHTMLPrintf(client, "<input type=\"hidden\" name=\"path\" value=\"%s\"><table class=\"form\"><tbody>\n",
                          settings.path.c_str());
    for (const char* name : kFormFields) {
      papplClientHTMLPrintf(client, "<tr><th>%s:</th><td><input type=\"text\" name=\"%s\" value=\"%s\"></td></tr>\n",
                            name, name, Value(settings, name).c_str());
    }
    papplClientHTMLPuts(client, "<tr><th></th><td><input type=\"submit\" value=\"Save Changes\"></td></tr>"
                                "</tbody></table></form>\n");
  }
  for (const std::string& error : served.errors) papplClientHTMLPrintf(client, "<p>Not served: %s</p>\n", error.c_str());
  if (shown == 0) {
    papplClientHTMLPuts(client, "<p>This printer has no hot folder. Add one with "
                                "<code>pagewire-server folder -d PRINTER -o path=DIR</code>.</p>\n");
  }
  papplClientHTMLPuts(client, "</div></div>\n");
  papplClientHTMLPrinterFooter(client);
  return true;
}

}  // namespace

void AddHotFolderPage(pappl_printer_t* printer, void*) {
  char path[256];
  papplPrinterGetPath(printer, "folders", path, sizeof(path));
  papplSystemAddResourceCallback(papplPrinterGetSystem(printer), path, "text/html", FolderPage, printer);
  papplPrinterAddLink(printer, "Hot Folders", path,
                      static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_STATUS));
}

}  // namespace pagewire::server
