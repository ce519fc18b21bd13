// The socket destination against a loopback listener, its name checks and
// the CUPS job titles. CUPS itself is tested with a private cupsd.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "transport/linux_destinations.h"
#include "transport/loopback_host.h"
#include "transport/pjl_job_status.h"
#include "transport/send_interrupt.h"
#include "transport/socket_destination.h"

namespace pagewire::transport {
namespace {

// A socket bound to 127.0.0.1 on a free port.
int BoundSocket(std::uint16_t& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    ADD_FAILURE() << "bind: " << std::strerror(errno);
  }
  port = ntohs(address.sin_port);
  return fd;
}

// Takes one connection and reads it to its end: a clean close, or the
// error that ended it.
class Listener {
 public:
  Listener() : fd_(BoundSocket(port_)) {
    listen(fd_, 1);
    thread_ = std::thread([this] { Receive(); });
  }
  ~Listener() {
    if (thread_.joinable()) thread_.join();
    close(fd_);
  }

  std::string Name() const { return "socket://127.0.0.1:" + std::to_string(port_); }
  void Wait() { thread_.join(); }

  std::vector<unsigned char> received;
  bool closedCleanly = false;
  int error = 0;

 private:
  void Receive() {
    pollfd wait{fd_, POLLIN, 0};
    if (poll(&wait, 1, 10000) != 1) return;
    const int connection = accept(fd_, nullptr, nullptr);
    const timeval limit{10, 0};
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    unsigned char piece[8192];
    for (;;) {
      const ssize_t got = recv(connection, piece, sizeof piece, 0);
      if (got > 0) {
        received.insert(received.end(), piece, piece + got);
        continue;
      }
      closedCleanly = got == 0;
      error = got < 0 ? errno : 0;
      break;
    }
    close(connection);
  }

  std::uint16_t port_ = 0;
  int fd_;
  std::thread thread_;
};

std::vector<unsigned char> Pattern(std::size_t size) {
  std::vector<unsigned char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
  return bytes;
}

struct Reports {
  std::vector<std::string> lines;
  DestinationOptions Options(StallPolicy stalls = {}) {
    DestinationOptions options;
    options.report = [this](const std::string& line) { lines.push_back(line); };
    options.stalls = stalls;
    return options;
  }
};

std::unique_ptr<Document> Start(const std::string& name, const DestinationOptions& options) {
  return DestinationFor(name, options)->StartDocument(DocumentStart{});
}

TEST(DestinationNames, ABadDestinationWasNoUsageErrorAndOtherSchemesDidNotExist) {
  const struct {
    const char* name;
    const char* problem;  // null: none
  } cases[] = {
      {"socket://h:9101/", "Bad port \"9101/\""},
      {"socket://h:99999", "Bad port \"99999\""},
      {"ipp://h:99999/ipp/print", "not a printer address like ipp://HOST[:PORT]/PATH (Bad port"},
      {"lpd://h/queue", "pagewire does not send to lpd:// URIs; give socket://HOST[:PORT], ipp://"},
      {"socket://h:9101", nullptr},
      {"ipps://h/ipp/print", nullptr},
      {"Office_Laser", nullptr},
  };
  for (const auto& c : cases) {
    const std::optional<std::string> problem = DestinationNameProblem(c.name);
    EXPECT_EQ(problem.has_value(), c.problem != nullptr) << c.name;
    if (problem && c.problem) {
      EXPECT_EQ(problem->rfind(c.problem, 0), 0u) << *problem;
    }
  }
}

TEST(SocketDestination, DeliversEveryByteInOrderAndClosesAtTheEnd) {
  Listener listener;
  Reports reports;
  std::unique_ptr<Document> document = Start(listener.Name(), reports.Options());
  ASSERT_TRUE(document);

  // 1 MiB in the program's pieces, then pieces around the buffer's size.
  const std::vector<unsigned char> data = Pattern((1 << 20) + 1 + 100000 + 262144 + 3);
  std::vector<std::size_t> pieces(256, 4096);
  pieces.insert(pieces.end(), {1, 100000, 262144, 3});
  std::size_t offset = 0;
  for (const std::size_t piece : pieces) {
    ASSERT_TRUE(document->Write(data.data() + offset, piece));
    offset += piece;
  }
  ASSERT_EQ(offset, data.size());
  EXPECT_TRUE(document->Commit());
  listener.Wait();

  EXPECT_TRUE(listener.closedCleanly);
  EXPECT_TRUE(listener.received == data) << listener.received.size() << " bytes received";
  EXPECT_TRUE(reports.lines.empty());
}

TEST(SocketDestination, AbortResetsTheConnectionAndDropsWhatIsBuffered) {
  Listener listener;
  Reports reports;
  std::unique_ptr<Document> document = Start(listener.Name(), reports.Options());
  ASSERT_TRUE(document);
  const std::vector<unsigned char> data = Pattern(3 * 262144 + 5000);
  for (std::size_t offset = 0; offset < data.size(); offset += 5000) {
    ASSERT_TRUE(document->Write(data.data() + offset, std::min<std::size_t>(5000, data.size() - offset)));
  }
  document.reset();
  listener.Wait();

  EXPECT_FALSE(listener.closedCleanly);
  EXPECT_EQ(listener.error, ECONNRESET);
  // At most the full buffers went out, and only as a start of the data.
  ASSERT_LE(listener.received.size(), 3u * 262144);
  EXPECT_TRUE(std::equal(listener.received.begin(), listener.received.end(), data.begin()));
  EXPECT_TRUE(reports.lines.empty());
}

// A printer that accepts the connection and then reads nothing until told.
class StalledPrinter {
 public:
  // `receiveBuffer`: the connection's, small to keep sent bytes unacknowledged.
  explicit StalledPrinter(int receiveBuffer = 0) : fd_(BoundSocket(port_)) {
    if (receiveBuffer > 0) {
      setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    listen(fd_, 1);
    thread_ = std::thread([this] {
      pollfd wait{fd_, POLLIN, 0};
      if (poll(&wait, 1, 10000) != 1) return;
      connection_ = accept(fd_, nullptr, nullptr);
    });
  }
  ~StalledPrinter() {
    if (thread_.joinable()) thread_.join();
    if (connection_ >= 0) close(connection_);
    close(fd_);
  }
  std::string Name() const { return "socket://127.0.0.1:" + std::to_string(port_); }
  // Reads what arrived until the connection ends; the error that ended it.
  int Drain() {
    thread_.join();
    const timeval limit{10, 0};
    setsockopt(connection_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    unsigned char piece[65536];
    for (;;) {
      const ssize_t got = recv(connection_, piece, sizeof piece, 0);
      if (got <= 0) return got < 0 ? errno : 0;
    }
  }

 private:
  std::uint16_t port_ = 0;
  int fd_;
  int connection_ = -1;
  std::thread thread_;
};

TEST(SocketDestination, APrinterThatTakesNoDataIsToldOfAndItsJobEndedAtTheTimeout) {
  StalledPrinter printer;
  Reports reports;
  using std::chrono::milliseconds;
  std::unique_ptr<Document> document =
      Start(printer.Name(), reports.Options(StallPolicy{milliseconds(100), milliseconds(450)}));
  ASSERT_TRUE(document);
  // Far more than the socket buffers hold; the writes must stop failing.
  const std::vector<unsigned char> piece = Pattern(1 << 20);
  bool failed = false;
  for (int i = 0; i < 256 && !failed; ++i) failed = !document->Write(piece.data(), piece.size());
  ASSERT_TRUE(failed);
  EXPECT_EQ(document->Failure().kind, SendFailure::Kind::Printer);
  EXPECT_NE(document->Failure().cause.find(
                "The printer has taken no data for 0 s: the job is ended."),
            std::string::npos)
      << document->Failure().cause;
  document.reset();
  EXPECT_EQ(printer.Drain(), ECONNRESET);

  // Only the notices are reports: the failure is the document's.
  ASSERT_GE(reports.lines.size(), 1u);
  for (const std::string& line : reports.lines) {
    EXPECT_EQ(line.rfind(printer.Name() + ": The printer has not taken data for", 0), 0u) << line;
  }
}

TEST(SocketDestination, AnInterruptedSendClosedCleanlyAsIfTheJobWereWhole) {
  CatchSendInterrupts();
  StalledPrinter printer;
  Reports reports;
  std::unique_ptr<Document> document = Start(printer.Name(), reports.Options());
  ASSERT_TRUE(document);
  // Ctrl-C while the writes wait for a printer that takes nothing, and
  // would wait for ever.
  std::thread interrupter([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(getpid(), SIGINT);
  });
  const std::vector<unsigned char> piece = Pattern(1 << 20);
  bool failed = false;
  for (int i = 0; i < 256 && !failed; ++i) failed = !document->Write(piece.data(), piece.size());
  interrupter.join();
  EXPECT_TRUE(failed);
  EXPECT_EQ(SendInterruptSignal(), SIGINT);
  EXPECT_EQ(document->Failure().kind, SendFailure::Kind::Interrupted);
  EXPECT_EQ(document->Failure().cause, "interrupted by SIGINT: the job is ended.");
  document.reset();
  EXPECT_EQ(printer.Drain(), ECONNRESET);
  EXPECT_TRUE(reports.lines.empty()) << reports.lines[0];
  ClearSendInterrupt();
}

// Ctrl-C while the last bytes wait for a printer that reads nothing: the
// commit ends as interrupted, not when the stall would end it.
TEST(SocketDestination, AnInterruptEndsTheWaitForTheLastBytes) {
  CatchSendInterrupts();
  StalledPrinter printer(4096);
  Reports reports;
  using std::chrono::milliseconds;
  std::unique_ptr<Document> document =
      Start(printer.Name(), reports.Options(StallPolicy{milliseconds(0), milliseconds(5000)}));
  ASSERT_TRUE(document);
  const std::vector<unsigned char> piece = Pattern(12 * 1024);
  ASSERT_TRUE(document->Write(piece.data(), piece.size()));
  std::thread interrupter([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(getpid(), SIGINT);
  });
  EXPECT_FALSE(document->Commit());
  interrupter.join();
  EXPECT_EQ(document->Failure().kind, SendFailure::Kind::Interrupted);
  EXPECT_EQ(document->Failure().cause, "interrupted by SIGINT: the job is ended.");
  document.reset();
  ClearSendInterrupt();
}

TEST(SocketDestination, ARefusedConnectionOrABadAddressIsReported) {
  std::uint16_t port = 0;
  const int bound = BoundSocket(port);  // not listening: connections are refused
  const std::string name = "socket://127.0.0.1:" + std::to_string(port);
  Reports reports;
  const std::unique_ptr<Destination> refused = DestinationFor(name, reports.Options());
  EXPECT_FALSE(refused->StartDocument(DocumentStart{}));
  EXPECT_EQ(refused->StartFailure().kind, SendFailure::Kind::Printer);
  EXPECT_EQ(refused->StartFailure().cause, "Connection refused");
  close(bound);
  const std::unique_ptr<Destination> badPort = DestinationFor("socket://host:0", reports.Options());
  EXPECT_FALSE(badPort->StartDocument(DocumentStart{}));
  EXPECT_EQ(badPort->StartFailure().cause, "Bad port \"0\": it must be 1 to 65535.");
  EXPECT_TRUE(reports.lines.empty()) << reports.lines[0];
}

// A printer that tells the job's status: it reads up to the job's end
// command, answers `reply`, reads to the end and closes, or with `holdOpen`
// keeps its side open until told; with `resetAfter`, it resets the
// connection once it has read that many bytes.
class PjlPrinter {
 public:
  PjlPrinter(std::string reply, bool holdOpen = false, std::size_t resetAfter = 0)
      : fd_(BoundSocket(port_)), reply_(std::move(reply)), holdOpen_(holdOpen),
        resetAfter_(resetAfter) {
    listen(fd_, 1);
    thread_ = std::thread([this] { Serve(); });
  }
  ~PjlPrinter() {
    Release();
    thread_.join();
    close(fd_);
  }
  std::string Name() const { return "socket://127.0.0.1:" + std::to_string(port_); }
  void Release() { released_ = true; }
  std::string Received() {
    thread_.join();
    thread_ = std::thread([] {});
    return received_;
  }

 private:
  void Serve() {
    pollfd wait{fd_, POLLIN, 0};
    if (poll(&wait, 1, 10000) != 1) return;
    const int connection = accept(fd_, nullptr, nullptr);
    const timeval limit{10, 0};
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    bool answered = false;
    char piece[65536];
    for (ssize_t got; (got = recv(connection, piece, sizeof piece, 0)) > 0;) {
      received_.append(piece, static_cast<std::size_t>(got));
      if (resetAfter_ > 0 && received_.size() >= resetAfter_) {
        const linger abortive{1, 0};
        setsockopt(connection, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        break;
      }
      const std::size_t eoj = received_.find("@PJL EOJ");
      if (!answered && eoj != std::string::npos && received_.size() - eoj > 20 &&
          received_.compare(received_.size() - 9, 9, "\x1b%-12345X") == 0) {
        answered = true;
        if (reply_.empty()) break;
        send(connection, reply_.data(), reply_.size(), MSG_NOSIGNAL);
      }
    }
    for (int i = 0; holdOpen_ && !released_ && i < 200; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    close(connection);
  }

  std::uint16_t port_ = 0;
  int fd_;
  std::string reply_;
  bool holdOpen_;
  std::size_t resetAfter_;
  std::atomic<bool> released_{false};
  std::string received_;
  std::thread thread_;
};

TEST(SocketDestination, AWaitedJobIsFramedForItsStatusAndAwaitEndReadsHowItEnded) {
  const std::string ended = "@PJL USTATUS JOB\r\nEND\r\nNAME=\"[Pagewire]a?b.pdf\"\r\n";
  const struct {
    std::string reply;
    bool printed;
    const char* reason;
  } cases[] = {
      {ended + "RESULT=OK\r\n\f", true, ""},
      {ended + "RESULT=USER_CANCELED\r\n\f", false, "END (RESULT=USER_CANCELED)"},
      {"", false, "the printer closed the connection before the job's end"},
  };
  for (const auto& c : cases) {
    PjlPrinter printer(c.reply);
    Reports reports;
    DestinationOptions options = reports.Options();
    options.wait = std::chrono::seconds(10);
    DocumentStart start;
    start.title = "[Pagewire]a\"b.pdf";
    start.fileName = "a\"b.pdf";
    std::unique_ptr<Document> document = DestinationFor(printer.Name(), options)->StartDocument(start);
    ASSERT_TRUE(document);
    ASSERT_TRUE(document->Write("%PDF", 4));
    ASSERT_TRUE(document->Commit());
    EXPECT_EQ(document->JobId(), "");
    std::optional<PrinterEnd> end;
    EXPECT_TRUE(document->AwaitEnd(end));
    ASSERT_TRUE(end);
    EXPECT_EQ(end->printed, c.printed);
    EXPECT_EQ(end->reason, c.reason);
    const std::string name = "[Pagewire]a?b.pdf";
    EXPECT_EQ(printer.Received(), PjlJobOpening(name) + "%PDF" + PjlJobClosing(name));
    EXPECT_TRUE(reports.lines.empty()) << reports.lines[0];
  }
}

// A printer that resets the connection before the job's end command: the
// job is not whole, and Commit says so.
TEST(SocketDestination, APrinterThatResetsBeforeTheJobsEndFailsTheCommit) {
  const std::vector<unsigned char> data = Pattern(300 * 1024);
  const std::string opening = PjlJobOpening("[Pagewire]");
  PjlPrinter printer("", false, opening.size() + data.size());
  Reports reports;
  DestinationOptions options = reports.Options();
  options.wait = std::chrono::seconds(10);
  DocumentStart start;
  start.title = "[Pagewire]";
  std::unique_ptr<Document> document = DestinationFor(printer.Name(), options)->StartDocument(start);
  ASSERT_TRUE(document);
  ASSERT_TRUE(document->Write(data.data(), data.size()));
  EXPECT_EQ(printer.Received().size(), opening.size() + data.size());
  EXPECT_FALSE(document->Commit());
  EXPECT_EQ(document->Failure().kind, SendFailure::Kind::Printer);
  EXPECT_FALSE(document->Failure().cause.empty());
  EXPECT_TRUE(reports.lines.empty()) << reports.lines[0];
}

// A printer that has read every byte but never closes its side: the job
// ends after a while all the same, and a stall's timeout does not end it.
TEST(SocketDestination, APrinterThatNeverClosesStillHasItsWholeJob) {
  PjlPrinter printer("", true);
  Reports reports;
  using std::chrono::milliseconds;
  std::unique_ptr<Document> document =
      Start(printer.Name(), reports.Options(StallPolicy{milliseconds(100), milliseconds(450)}));
  ASSERT_TRUE(document);
  ASSERT_TRUE(document->Write("data", 4));
  EXPECT_TRUE(document->Commit());
  printer.Release();
  EXPECT_EQ(printer.Received(), "data");
  EXPECT_TRUE(reports.lines.empty()) << reports.lines[0];
}

TEST(ParseSocketName, TakesOnlyWellFormedAddresses) {
  const std::pair<const char*, bool> cases[] = {
      {"socket://printer.example", true},   {"SOCKET://10.0.0.5:9100", true},
      {"socket://[::1]:9100", true},        {"socket://[fe80::1]", true},
      {"socket://", false},                 {"socket://:9100", false},
      {"socket://host:", false},            {"socket://host:0", false},
      {"socket://host:65536", false},       {"socket://host:9100x", false},
      {"socket://host:-1", false},          {"socket://host:000009100", false},
      {"socket://host/queue", false},       {"socket://ho st", false},
      {"socket://::1", false},              {"socket://[::1", false},
      {"socket://[printer]:9100", false},   {"socket://[::1]9100", false},
      {"socket://az.AZ_09-", true},         {"socket://a`", false},
      {"socket://a{", false},               {"socket://a@", false},
      {"socket://a[", false},               {"socket://a;", false},
  };
  for (const auto& [name, valid] : cases) {
    std::string cause;
    EXPECT_EQ(ParseSocketName(name, cause).has_value(), valid) << name;
    EXPECT_EQ(cause.empty(), valid) << name << ": " << cause;
  }
}

// Plain ipp:// carried a document-password in clear to any host. It goes
// only to this machine without --allow-plain-password, and the refusal comes
// before a connection is made (203.0.113.1 is a documentation address).
TEST(IppDestination, APasswordCrossedPlainIppToAnotherHost) {
  const std::pair<const char*, bool> hosts[] = {
      {"127.0.0.1", true},    {"127.1.2.3", true},           {"::1", true},
      {"localhost", true},    {"::ffff:127.0.0.1", true},    {"/run/cups/cups.sock", true},
      {"203.0.113.1", false}, {"::ffff:203.0.113.1", false}, {"2001:db8::1", false},
  };
  for (const auto& [host, loopback] : hosts) EXPECT_EQ(IsLoopbackHost(host), loopback) << host;

  Reports reports;
  const DestinationOptions options = reports.Options();
  DocumentStart start;
  start.fileName = "secret.pdf";
  start.format = DocumentFormat::Pdf;
  start.password = "user3";
  const auto before = std::chrono::steady_clock::now();
  const std::unique_ptr<Destination> remote = DestinationFor("ipp://203.0.113.1/ipp/print", options);
  EXPECT_FALSE(remote->StartDocument(start));
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
  EXPECT_EQ(remote->StartFailure().kind, SendFailure::Kind::Refused);
  EXPECT_EQ(remote->StartFailure().refusal, Refusal::PlainPassword);
  EXPECT_EQ(remote->StartFailure().cause,
            "plain ipp:// would carry the password of secret.pdf in clear to 203.0.113.1; give "
            "ipps://, or --allow-plain-password");

  // To this machine it goes on to connect (nothing listens on the port).
  std::uint16_t port = 0;
  const int bound = BoundSocket(port);
  const std::unique_ptr<Destination> local =
      DestinationFor("ipp://127.0.0.1:" + std::to_string(port) + "/ipp/print", options);
  EXPECT_FALSE(local->StartDocument(start));
  close(bound);
  EXPECT_EQ(local->StartFailure().kind, SendFailure::Kind::Printer);
  EXPECT_NE(local->StartFailure().cause.find("cannot connect"), std::string::npos)
      << local->StartFailure().cause;
  EXPECT_TRUE(reports.lines.empty()) << reports.lines[0];
}

}  // namespace
}  // namespace pagewire::transport
