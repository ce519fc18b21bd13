// The IPP and CUPS destinations against a loopback IPP server: what they
// send, how they tell a refusal, a failure, the job id and the job's end.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "ipp_responder.h"
#include "transport/cups_destination.h"
#include "transport/ipp_job_wait.h"
#include "transport/linux_destinations.h"

namespace pagewire::transport {
namespace {

using Kind = SendFailure::Kind;

// What the loopback printer offers and answers.
struct Printer {
  std::vector<const char*> formats{"application/pdf"};
  int mostPassword = 32;  // document-password-supported; 0: none
  std::vector<const char*> sides{"one-sided", "two-sided-long-edge"};
  ipp_status_t printerStatus = IPP_STATUS_OK;  // Get-Printer-Attributes
  ipp_status_t jobStatus = IPP_STATUS_OK;      // Print-Job, Create-Job, Send-Document
  const char* jobMessage = nullptr;
  int jobId = 17;  // 0: none given
  ipp_jstate_t state = IPP_JSTATE_COMPLETED;
  const char* reason = "job-completed-successfully";
  const char* stateMessage = nullptr;
  int impressions = 3;

  struct Listed {
    const char* name;
    const char* values[2];
  };
  static constexpr Listed kMediaSupported[] = {
      {"media-col-supported", {"media-type", "media-size"}},
      {"media-type-supported", {"stationery", "transparency"}},
      {"media-supported", {"iso_a4_210x297mm", "na_letter_8.5x11in"}},
  };

  IppResponder::Script Script() const {
    return [p = *this](const IppRequest& request, ipp_t* out) -> ipp_status_t {
      switch (request.op) {
        case IPP_OP_GET_PRINTER_ATTRIBUTES:
          if (p.printerStatus != IPP_STATUS_OK) return p.printerStatus;
          ippAddString(out, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, "office");
          ippAddString(out, IPP_TAG_PRINTER, IPP_TAG_URI, "printer-uri-supported", nullptr,
                       "ipp://localhost/printers/office");
          ippAddStrings(out, IPP_TAG_PRINTER, IPP_TAG_MIMETYPE, "document-format-supported",
                        static_cast<int>(p.formats.size()), nullptr, p.formats.data());
          if (p.mostPassword > 0) {
            ippAddInteger(out, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "document-password-supported",
                          p.mostPassword);
          }
          ippAddStrings(out, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "sides-supported",
                        static_cast<int>(p.sides.size()), nullptr, p.sides.data());
          for (const Listed& listed : kMediaSupported) {
            ippAddStrings(out, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, listed.name, 2, nullptr,
                          listed.values);
          }
          return IPP_STATUS_OK;
        case IPP_OP_PRINT_JOB:
        case IPP_OP_CREATE_JOB:
        case IPP_OP_SEND_DOCUMENT:
          if (p.jobMessage != nullptr) {
            ippAddString(out, IPP_TAG_OPERATION, IPP_TAG_TEXT, "status-message", nullptr,
                         p.jobMessage);
          }
          if (p.jobId != 0) ippAddInteger(out, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-id", p.jobId);
          return request.op == IPP_OP_CREATE_JOB && p.jobStatus == IPP_STATUS_ERROR_BUSY
                     ? IPP_STATUS_OK
                     : p.jobStatus;
        case IPP_OP_CUPS_GET_PRINTERS:
        case IPP_OP_CUPS_GET_DEFAULT:
          if (p.printerStatus != IPP_STATUS_OK) return p.printerStatus;
          for (const char* name : {"office", "lab"}) {
            ippAddString(out, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, name);
            ippAddString(out, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr,
                         (std::string("socket://") + name).c_str());
            ippAddString(out, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-make-and-model", nullptr,
                         "Laser");
            if (request.op == IPP_OP_CUPS_GET_DEFAULT) break;
            ippAddSeparator(out);
          }
          return IPP_STATUS_OK;
        case IPP_OP_GET_JOB_ATTRIBUTES:
          ippAddInteger(out, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state", p.state);
          ippAddString(out, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-state-reasons", nullptr, p.reason);
          if (p.stateMessage != nullptr) {
            ippAddString(out, IPP_TAG_JOB, IPP_TAG_TEXT, "job-state-message", nullptr,
                         p.stateMessage);
          }
          ippAddInteger(out, IPP_TAG_JOB, IPP_TAG_INTEGER, "job-impressions-completed",
                        p.impressions);
          return IPP_STATUS_OK;
        default:
          return IPP_STATUS_OK;
      }
    };
  }
};

struct Told {
  std::vector<std::string> lines;
  DestinationOptions Options() {
    DestinationOptions options;
    options.report = [this](const std::string& line) { lines.push_back(line); };
    return options;
  }
};

std::optional<PrinterEnd> EndOf(Document& document) {
  std::optional<PrinterEnd> end;
  EXPECT_TRUE(document.AwaitEnd(end));
  return end;
}

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

// Writes `data` in the program's pieces, then in one piece of 2 MiB and
// more, past the buffers of both destinations, and a last byte.
bool WriteAll(Document& document, const std::string& data, std::size_t small) {
  for (std::size_t offset = 0; offset < data.size();) {
    const std::size_t left = data.size() - offset;
    const std::size_t piece = left == 1 ? 1 : offset < small ? 4096 : left - 1;
    if (!document.Write(data.data() + offset, piece)) return false;
    offset += piece;
  }
  return true;
}

settings::PrintJobSettings TwoSided() {
  settings::PrintJobSettings settings;
  settings.duplexMode = settings::Duplex::LongEdge;
  return settings;
}

TEST(IppDestination, APrintJobCarriesTheSettingsTheTitleThePasswordAndEveryByte) {
  IppResponder printer(Printer{}.Script());
  Told told;
  DestinationOptions options = told.Options();
  options.title = "Q3\treport";
  options.ipp.keys = {"sides", "media", "media-type"};
  options.ipp.mediaName = "letter";  // listed by its PWG name
  options.wait = std::chrono::seconds(5);
  const settings::PrintJobSettings settings = TwoSided();
  DocumentStart start;
  start.fileName = "q3.pdf";
  start.format = DocumentFormat::Pdf;
  start.settings = &settings;
  start.password = "user3";
  std::unique_ptr<Document> document = DestinationFor(printer.Uri(), options)->StartDocument(start);
  ASSERT_TRUE(document);
  const std::string data = Pattern(3 * 1024 * 1024 + 5);
  ASSERT_TRUE(WriteAll(*document, data, 300 * 4096));
  ASSERT_TRUE(document->Commit());

  const auto jobs = printer.Requests(IPP_OP_PRINT_JOB);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0]->document == data) << jobs[0]->document.size() << " bytes received";
  EXPECT_EQ(jobs[0]->Text("job-name"), "Q3?report");
  EXPECT_EQ(jobs[0]->Text("document-format"), "application/pdf");
  EXPECT_EQ(jobs[0]->Text("sides"), "two-sided-long-edge");
  ipp_t* media =
      ippGetCollection(ippFindAttribute(jobs[0]->ipp, "media-col", IPP_TAG_BEGIN_COLLECTION), 0);
  ipp_t* size = ippGetCollection(ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION), 0);
  EXPECT_EQ(ippGetString(ippFindAttribute(media, "media-type", IPP_TAG_KEYWORD), 0, nullptr),
            std::string("stationery"));
  EXPECT_EQ(ippGetInteger(ippFindAttribute(size, "x-dimension", IPP_TAG_INTEGER), 0), 21590);
  EXPECT_EQ(ippGetInteger(ippFindAttribute(size, "y-dimension", IPP_TAG_INTEGER), 0), 27940);
  EXPECT_TRUE(jobs[0]->Has("document-password"));
  EXPECT_EQ(document->JobId(), "print-17");

  // The wait is AwaitEnd's.
  EXPECT_TRUE(printer.Requests(IPP_OP_GET_JOB_ATTRIBUTES).empty());
  const std::optional<PrinterEnd> end = EndOf(*document);
  ASSERT_TRUE(end);
  EXPECT_TRUE(end->printed);
  EXPECT_EQ(printer.Requests(IPP_OP_GET_JOB_ATTRIBUTES).size(), 1u);
  EXPECT_EQ(told.lines, std::vector<std::string>{printer.Uri() + ": q3.pdf: 3 impressions printed"});
}

TEST(IppDestination, ARefusalOrAFailureIsToldWithItsKindAndTheDestinationsWords) {
  struct Case {
    const char* name;
    Printer printer;
    DocumentFormat format;
    const char* password;
    // What the destination says, from its start; its kind and refusal.
    const char* cause;
    Kind kind;
    std::optional<Refusal> refusal;
    bool started;  // the failure comes at Commit
  };
  Printer pdfOnly, shortPassword, noPassword, oneSided, missing, busy, unsaid, ignored;
  shortPassword.mostPassword = 4;
  noPassword.mostPassword = 0;
  oneSided.sides = {"one-sided"};
  missing.printerStatus = IPP_STATUS_ERROR_NOT_FOUND;
  busy.jobStatus = IPP_STATUS_ERROR_BUSY;
  busy.jobMessage = "Busy now";
  unsaid.jobStatus = IPP_STATUS_ERROR_BUSY;
  unsaid.jobMessage = "";
  ignored.jobStatus = IPP_STATUS_OK_IGNORED_OR_SUBSTITUTED;
  const Case cases[] = {
      {"format", pdfOnly, DocumentFormat::Tiff, nullptr,
       "the printer does not take image/tiff (a.pdf); it takes application/pdf", Kind::Refused,
       Refusal::File, false},
      {"long password", shortPassword, DocumentFormat::Pdf, "user3",
       "the printer takes a document-password of at most 4 bytes; a.pdf has a longer one and is "
       "not sent",
       Kind::Refused, Refusal::File, false},
      {"no password", noPassword, DocumentFormat::Pdf, "user3",
       "the printer takes no document-password, so the protected a.pdf is not sent",
       Kind::Refused, Refusal::File, false},
      {"setting", oneSided, DocumentFormat::Pdf, nullptr,
       "sides=two-sided-long-edge is not supported; the printer offers sides=one-sided",
       Kind::Refused, Refusal::Setting, false},
      {"missing", missing, DocumentFormat::Pdf, nullptr,
       "Get-Printer-Attributes: client-error-not-found", Kind::Printer, std::nullopt, false},
      {"busy", busy, DocumentFormat::Pdf, nullptr, "server-error-busy: Busy now", Kind::Printer,
       std::nullopt, true},
      {"empty message", unsaid, DocumentFormat::Pdf, nullptr, "server-error-busy", Kind::Printer,
       std::nullopt, true},
      {"ignored", ignored, DocumentFormat::Pdf, nullptr, nullptr, Kind::Printer, std::nullopt,
       true},
  };
  const settings::PrintJobSettings settings = TwoSided();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IppResponder printer(c.printer.Script());
    Told told;
    DestinationOptions options = told.Options();
    options.ipp.keys = {"sides"};
    DocumentStart start;
    start.fileName = "a.pdf";
    start.format = c.format;
    start.settings = &settings;
    if (c.password) start.password = c.password;
    const std::unique_ptr<Destination> destination = DestinationFor(printer.Uri(), options);
    std::unique_ptr<Document> document = destination->StartDocument(start);
    ASSERT_EQ(document != nullptr, c.started);
    SendFailure failure;
    if (document) {
      ASSERT_TRUE(document->Write("%PDF-1.4", 8));
      const bool committed = document->Commit();
      EXPECT_EQ(committed, c.cause == nullptr);
      if (committed) {
        // A success with a warning is told, and the job is the printer's.
        EXPECT_EQ(told.lines, std::vector<std::string>{
                                  printer.Uri() + ": a.pdf: successful-ok-ignored-or-substituted-attributes"});
        EXPECT_EQ(document->JobId(), "print-17");
        continue;
      }
      failure = document->Failure();
      EXPECT_EQ(printer.Requests(IPP_OP_PRINT_JOB).size(), 1u);
    } else {
      failure = destination->StartFailure();
      EXPECT_TRUE(printer.Requests(IPP_OP_PRINT_JOB).empty());
    }
    EXPECT_EQ(failure.kind, c.kind);
    EXPECT_EQ(failure.cause, c.cause);
    EXPECT_TRUE(told.lines.empty()) << told.lines[0];
    if (c.refusal) {
      EXPECT_EQ(failure.refusal, *c.refusal);
    }
  }
}

TEST(IppDestination, AWaitEndsWithThePrintersReasonOrAtItsLimit) {
  Printer aborted, processing;
  aborted.state = IPP_JSTATE_ABORTED;
  aborted.reason = "aborted-by-system";
  aborted.stateMessage = "Jammed";
  aborted.impressions = 0;
  processing.state = IPP_JSTATE_PROCESSING;
  processing.reason = "job-printing";
  processing.impressions = 0;
  const struct {
    Printer printer;
    int seconds;
    const char* reason;
  } cases[] = {
      {aborted, 5, "aborted: aborted-by-system (Jammed)"},
      {processing, 0, "not finished after 0 s (processing: job-printing)"},
  };
  for (const auto& c : cases) {
    IppResponder printer(c.printer.Script());
    Told told;
    DestinationOptions options = told.Options();
    options.wait = std::chrono::seconds(c.seconds);
    DocumentStart start;
    start.fileName = "a.pdf";
    start.format = DocumentFormat::Pdf;
    std::unique_ptr<Document> document = DestinationFor(printer.Uri(), options)->StartDocument(start);
    ASSERT_TRUE(document);
    ASSERT_TRUE(document->Commit());
    const std::optional<PrinterEnd> end = EndOf(*document);
    ASSERT_TRUE(end);
    EXPECT_FALSE(end->printed);
    EXPECT_EQ(end->reason, c.reason);
  }
}

// A printer that takes no data for a while is told of, and given up on
// only when a timeout was asked for.
TEST(IppDestination, APrinterThatTakesNoDataIsToldOfAndEndedOnlyAtATimeout) {
  using std::chrono::milliseconds;
  const struct {
    StallPolicy stalls;
    int pause;
    bool committed;
  } cases[] = {
      {{milliseconds(100), milliseconds(0)}, 1000, true},
      {{milliseconds(100), milliseconds(300)}, 3000, false},
  };
  for (const auto& c : cases) {
    IppResponder printer(Printer{}.Script());
    printer.pauseMillis = c.pause;
    Told told;
    DestinationOptions options = told.Options();
    options.stalls = c.stalls;
    DocumentStart start;
    start.fileName = "a.pdf";
    start.format = DocumentFormat::Pdf;
    std::unique_ptr<Document> document = DestinationFor(printer.Uri(), options)->StartDocument(start);
    ASSERT_TRUE(document);
    // Far more than the socket buffers hold.
    const std::string data = Pattern(32 * 1024 * 1024);
    const bool committed = WriteAll(*document, data, 0) && document->Commit();
    EXPECT_EQ(committed, c.committed);
    ASSERT_FALSE(told.lines.empty());
    EXPECT_EQ(told.lines[0], printer.Uri() + ": The printer has not taken data for 0 s.");
    if (committed) {
      EXPECT_TRUE(printer.Requests(IPP_OP_PRINT_JOB).at(0)->document == data);
    } else {
      EXPECT_EQ(document->Failure().cause,
                "The printer has taken no data for 0 s: the job is ended.");
      EXPECT_EQ(told.lines.back(), printer.Uri() + ": The printer has not taken data for 0 s.");
    }
  }
}

// A response's status and message; with none, the failed call's.
TEST(IppStatusText, IsTheResponsesOrElseTheLastCallsWords) {
  UseCupsServer("127.0.0.1:1");  // nothing listens
  ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES), "/"));
  UseCupsServer("");
  const std::string failed = cupsLastErrorString();
  ASSERT_FALSE(failed.empty());
  EXPECT_EQ(IppStatusText(nullptr), std::string(ippErrorString(cupsLastError())) + ": " + failed);
  ipp_t* response = ippNew();
  ippSetStatusCode(response, IPP_STATUS_ERROR_BUSY);
  ippAddString(response, IPP_TAG_OPERATION, IPP_TAG_TEXT, "status-message", nullptr, "Busy now");
  EXPECT_EQ(IppStatusText(response), "server-error-busy: Busy now");
  ippDelete(response);
}

// The CUPS server is the loopback printer: cupsGetNamedDest, Create-Job,
// Send-Document and Get-Job-Attributes all go to it.
class CupsDestinationTest : public ::testing::Test {
 protected:
  std::unique_ptr<Document> Start(IppResponder& server, DestinationOptions options) {
    UseCupsServer("127.0.0.1:" + std::to_string(server.Port()));
    destination_ = DestinationFor("office", options);
    DocumentStart start;
    start.title = "[Pagewire]a\x01.pdf";
    start.fileName = "a.pdf";
    return destination_->StartDocument(start);
  }
  void TearDown() override { UseCupsServer(""); }

  std::unique_ptr<Destination> destination_;
};

TEST_F(CupsDestinationTest, ARawJobReachesTheServerWholeWithItsIdAndItsEnd) {
  Printer office;
  office.jobId = 5;
  office.impressions = 1;
  IppResponder server(office.Script());
  Told told;
  DestinationOptions options = told.Options();
  options.wait = std::chrono::seconds(5);
  std::unique_ptr<Document> document = Start(server, options);
  ASSERT_TRUE(document) << (told.lines.empty() ? "" : told.lines[0]);
  const std::string data = Pattern(2 * 1024 * 1024 + 7);
  ASSERT_TRUE(WriteAll(*document, data, 100 * 4096));
  ASSERT_TRUE(document->Commit());

  const auto created = server.Requests(IPP_OP_CREATE_JOB);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0]->Text("job-name"), "[Pagewire]a?.pdf");
  // The queue is looked up by its name.
  const auto looked = server.Requests(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ASSERT_FALSE(looked.empty());
  const std::string queue = looked[0]->Text("printer-uri");
  EXPECT_EQ(queue.substr(queue.rfind('/')), "/office") << queue;
  const auto sent = server.Requests(IPP_OP_SEND_DOCUMENT);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0]->document == data) << sent[0]->document.size() << " bytes received";
  EXPECT_EQ(sent[0]->Text("document-format"), "application/vnd.cups-raw");
  EXPECT_EQ(document->JobId(), "office-5");
  const std::optional<PrinterEnd> end = EndOf(*document);
  ASSERT_TRUE(end);
  EXPECT_TRUE(end->printed);
  EXPECT_EQ(told.lines, std::vector<std::string>{"office: a.pdf: 1 impression printed"});
}

// A server that stops taking the document's data is told of as a printer
// that does; its job still goes whole.
TEST_F(CupsDestinationTest, AServerThatTakesNoDataIsToldOf) {
  IppResponder server(Printer{}.Script());
  server.pauseMillis = 1000;
  Told told;
  DestinationOptions options = told.Options();
  options.stalls.notice = std::chrono::milliseconds(100);
  std::unique_ptr<Document> document = Start(server, options);
  ASSERT_TRUE(document);
  const std::string data = Pattern(32 * 1024 * 1024);
  ASSERT_TRUE(WriteAll(*document, data, 0));
  ASSERT_TRUE(document->Commit());
  ASSERT_FALSE(told.lines.empty());
  EXPECT_EQ(told.lines[0], "office: The printer has not taken data for 0 s.");
  EXPECT_TRUE(server.Requests(IPP_OP_SEND_DOCUMENT).at(0)->document == data);
}

TEST_F(CupsDestinationTest, AJobTheServerWouldNotTakeIsToldInItsWordsOrOurs) {
  Printer refused, noId, busy;
  refused.jobStatus = IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS;
  refused.jobMessage = "Paused";
  noId.jobId = 0;
  Printer unsaid = refused;
  unsaid.jobMessage = "";
  busy.jobStatus = IPP_STATUS_ERROR_BUSY;  // Send-Document only
  busy.jobMessage = "Busy now";
  const struct {
    Printer server;
    const char* cause;
    bool started;
  } cases[] = {
      {refused, "Paused", false},
      {noId, "The job was not created.", false},
      {unsaid, "The job was not created.", false},
      {busy, "Busy now", true},
  };
  for (const auto& c : cases) {
    IppResponder server(c.server.Script());
    Told told;
    std::unique_ptr<Document> document = Start(server, told.Options());
    ASSERT_EQ(document != nullptr, c.started) << c.cause;
    SendFailure failure = destination_->StartFailure();
    if (document) {
      ASSERT_TRUE(document->Write("data", 4));
      EXPECT_FALSE(document->Commit());
      failure = document->Failure();
      EXPECT_TRUE(document->JobId().empty());
      // A document the server did not take is cancelled.
      EXPECT_EQ(server.Requests(IPP_OP_CANCEL_JOB).size(), 1u);
    }
    EXPECT_EQ(failure.kind, Kind::Printer);
    EXPECT_EQ(failure.cause, c.cause);
    EXPECT_TRUE(told.lines.empty()) << told.lines[0];
  }
}

TEST_F(CupsDestinationTest, TheServersDestinationsAndItsDefaultAreListed) {
  Printer office, forbidden;
  forbidden.printerStatus = IPP_STATUS_ERROR_FORBIDDEN;
  IppResponder server(office.Script());
  UseCupsServer("127.0.0.1:" + std::to_string(server.Port()));
  std::string cause;
  const std::optional<std::vector<CupsPrinter>> printers = ListCupsPrinters(cause);
  ASSERT_TRUE(printers) << cause;
  std::vector<std::string> listed;
  for (const CupsPrinter& printer : *printers) {
    listed.push_back(printer.name + " " + printer.details.port + " " + printer.details.driver);
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"lab socket://lab Laser", "office socket://office Laser"}));
  EXPECT_EQ(CupsDefaultPrinter(), "office");

  IppResponder refusing(forbidden.Script());
  UseCupsServer("127.0.0.1:" + std::to_string(refusing.Port()));
  EXPECT_FALSE(ListCupsPrinters(cause));
  EXPECT_FALSE(cause.empty());
}

}  // namespace
}  // namespace pagewire::transport
