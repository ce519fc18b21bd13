#include "server/held_jobs_page.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "job/password_crypt.h"
#include "server/request_hook.h"
#include "server/web_login.h"

namespace pagewire::server {
namespace {

constexpr pappl_jreason_t kHeldReasons = static_cast<pappl_jreason_t>(
    PAPPL_JREASON_DOCUMENT_PASSWORD_ERROR | PAPPL_JREASON_DOCUMENT_PERMISSION_ERROR);

bool HeldHere(pappl_job_t* job) {
  return job != nullptr && papplJobGetState(job) == IPP_JSTATE_HELD &&
         (papplJobGetReasons(job) & kHeldReasons) != 0;
}

bool NeedsPassword(pappl_job_t* job) {
  return (papplJobGetReasons(job) & PAPPL_JREASON_DOCUMENT_PASSWORD_ERROR) != 0;
}

void CollectHeldHere(pappl_job_t* job, void* found) {
  if (HeldHere(job)) static_cast<std::vector<pappl_job_t*>*>(found)->push_back(job);
}

// What a release or a cancel did, for the page's banner.
std::string Act(pappl_client_t* client, pappl_printer_t* printer, const WebAccount& account) {
  cups_option_t* form = nullptr;
  const int count = papplClientGetForm(client, &form);
  std::string said;
  const char* id = cupsGetOption("job-id", count, form);
  const char* action = cupsGetOption("action", count, form);
  pappl_job_t* job = id != nullptr ? papplPrinterFindJob(printer, std::atoi(id)) : nullptr;
  if (!papplClientIsValidForm(client, count, form)) {
    said = "The form has expired: reload the page.";
  } else if (!HeldHere(job)) {
    said = "There is no such held job.";
  } else if (!account.admin && account.name != papplJobGetUsername(job)) {
    said = "Only the job's owner or an administrator may release or cancel it.";
  } else if (action != nullptr && std::strcmp(action, "cancel") == 0) {
    papplJobCancel(job);
    papplLogJob(job, PAPPL_LOGLEVEL_INFO, "Canceled on the web page by '%s'.", account.name.c_str());
    said = "Job " + std::to_string(papplJobGetID(job)) + " is canceled.";
  } else if (!NeedsPassword(job)) {
    said = "The PDF forbids printing: the job can only be canceled.";
  } else {
    const char* typed = cupsGetOption("password", count, form);
    if (ReleaseWithPassword(job, typed != nullptr ? typed : "")) {
      papplLogJob(job, PAPPL_LOGLEVEL_INFO, "Released on the web page by '%s'.", account.name.c_str());
      said = "Job " + std::to_string(papplJobGetID(job)) + " is released and prints.";
    } else {
      said = std::string(papplJobGetMessage(job)) + " The job stays held.";
    }
  }
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(form[i].name, "password") == 0) job::WipeSecret(form[i].value, std::strlen(form[i].value));
  }
  cupsFreeOptions(count, form);
  return said;
}

void ShowJob(pappl_client_t* client, pappl_job_t* job, const char* uri) {
  papplClientHTMLPrintf(client,
                        "            <tr><td>%d</td><td>%s</td><td>%s</td><td>%s</td><td>",
                        papplJobGetID(job), HeldDocumentName(job).c_str(), papplJobGetUsername(job),
                        papplJobGetMessage(job) != nullptr ? papplJobGetMessage(job) : "");
  papplClientHTMLStartForm(client, uri, false);
  papplClientHTMLPrintf(client, "<input type=\"hidden\" name=\"job-id\" value=\"%d\">",
                        papplJobGetID(job));
  if (NeedsPassword(job)) {
    papplClientHTMLPuts(client,
                        "<input type=\"password\" name=\"password\" autocomplete=\"off\" "
                        "aria-label=\"Document password\" placeholder=\"Document password\"> "
                        "<button type=\"submit\" name=\"action\" value=\"release\">Release</button> ");
  }
  papplClientHTMLPuts(client,
                      "<button type=\"submit\" name=\"action\" value=\"cancel\">Cancel</button>"
                      "</form></td></tr>\n");
}

bool HeldJobsPage(pappl_client_t* client, pappl_printer_t* printer) {
  http_t* http = papplClientGetHTTP(client);
  if (!papplClientIsEncrypted(client) && !httpAddrLocalhost(httpGetAddress(http))) {
    char secure[1024];
    httpAssembleURI(HTTP_URI_CODING_ALL, secure, sizeof(secure), "https", nullptr,
                    papplClientGetHostName(client), papplClientGetHostPort(client),
                    papplClientGetURI(client));
    return papplClientRespondRedirect(client, HTTP_STATUS_MOVED_PERMANENTLY, secure);
  }
  const std::optional<WebAccount> account = SignedIn(client);
  if (!account) return papplClientRespond(client, HTTP_STATUS_UNAUTHORIZED, nullptr, nullptr, 0, 0);

  std::string said;
  if (papplClientGetMethod(client) == HTTP_STATE_POST) said = Act(client, printer, *account);

  const char* uri = papplClientGetURI(client);
  // The header answers 200 itself.
  papplClientHTMLPrinterHeader(client, printer, "Held Jobs", 0, nullptr, nullptr);
  if (!said.empty()) {
    papplClientHTMLPrintf(client,
                          "      <div class=\"row\">\n        <div class=\"col-6\">\n"
                          "          <div class=\"banner\">%s</div>\n        </div>\n      </div>\n",
                          said.c_str());
  }
  papplClientHTMLPrintf(client,
                        "        <p>Signed in as %s. A PDF job waits here when it needs its "
                        "document password, or when the PDF forbids printing. Its owner or an "
                        "administrator releases it with the password, or cancels it.</p>\n",
                        account->name.c_str());
  std::vector<pappl_job_t*> held;
  papplPrinterIterateActiveJobs(printer, CollectHeldHere, &held, 1, 0);
  if (held.empty()) {
    papplClientHTMLPuts(client, "        <p>No job is held.</p>\n");
  } else {
    papplClientHTMLPuts(client,
                        "        <table class=\"list\" summary=\"Held Jobs\">\n"
                        "          <thead><tr><th>Job #</th><th>Name</th><th>Owner</th>"
                        "<th>Held because</th><th></th></tr></thead>\n          <tbody>\n");
    for (pappl_job_t* job : held) ShowJob(client, job, uri);
    papplClientHTMLPuts(client, "          </tbody>\n        </table>\n");
  }
  papplClientHTMLPrinterFooter(client);
  return true;
}

}  // namespace

void AddHeldJobsPage(pappl_printer_t* printer) {
  char path[1024];
  papplPrinterGetPath(printer, "held", path, sizeof(path));
  papplSystemAddResourceCallback(papplPrinterGetSystem(printer), path, "text/html",
                                 reinterpret_cast<pappl_resource_cb_t>(HeldJobsPage), printer);
  papplPrinterAddLink(printer, "Held Jobs", path,
                      static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_STATUS));
}

}  // namespace pagewire::server
