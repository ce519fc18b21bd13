#include "transport/pjl_header.h"

#include "settings/effective_settings.h"
#include "settings/setting_tables.h"
#include "transport/job_names.h"

namespace pagewire::transport {
namespace {

using settings::PrintJobSettings;

// `value` in decimal, with leading zeros to `width` digits, as printf's %0*d.
std::string Padded(int value, std::size_t width) {
  if (value < 0) return "-" + Padded(-value, width > 1 ? width - 1 : 1);
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

std::string HeaderValue(const std::string& text) {
  return CleanName(text, NameUse::HeaderComment);
}

std::string CommentPiece(const JobComments& c, const std::string& fileName) {
  const std::string user = HeaderValue(c.userName);
  std::string ip;
  for (const std::uint8_t part : c.address) ip += (ip.empty() ? "" : ".") + Padded(part, 3);
  return "@PJL COMMENT DNAME=" + HeaderValue(fileName) + "\n@PJL COMMENT UNAME=" + user +
         "\n@PJL COMMENT HNAME=" + HeaderValue(c.hostName) + "\n@PJL COMMENT UID=" + user +
         "\n@PJL COMMENT IP=" + ip + "\n";
}

std::string PageRangePiece(const PrintJobSettings& s) {
  const bool range = settings::PrintsPageRange(s);
  const int first = range ? s.fromPage : 0;
  const int last = range && !s.toLastPage ? s.toPage : 0;
  return "@PJL SET JOBATTR=\"@FSTP=" + std::to_string(first) +
         "\"\n@PJL SET JOBATTR=\"@LSTP=" + std::to_string(last) + "\"\n";
}

}  // namespace

JobComments CollectJobComments(platform::SystemFacts& system) {
  JobComments comments;
  comments.time = system.LocalNow();
  comments.userName = system.UserName().value_or("unknown");
  const platform::HostFacts host = system.Host();
  comments.hostName = host.hostName.value_or("");
  comments.address = host.address.value_or(platform::Ipv4Address{});
  return comments;
}

std::vector<std::string> JobHeaderPieces(const PrintJobSettings& s, const JobComments& c,
                                         const JobHeaderFacts& facts) {
  std::vector<std::string> pieces;
  pieces.push_back("\x1B%-12345X");
  pieces.push_back("@PJL COMMENT DATE=" + Padded(c.time.month, 2) + "/" + Padded(c.time.day, 2) +
                   "/" + Padded(c.time.year, 4) + "\n@PJL COMMENT TIME=" +
                   Padded(c.time.hour, 2) + ":" + Padded(c.time.minute, 2) + ":" +
                   Padded(c.time.second, 2) + "\n");
  pieces.push_back(CommentPiece(c, facts.fileName));
  if (facts.keyMode != KeyMode::None) {
    pieces.push_back(facts.keyMode == KeyMode::FixedKey
                         ? "@PJL SET JOBATTR=\"@EPKY=FK\"\n"
                         : "@PJL SET JOBATTR=\"@EPKY=MA\"\n");
    pieces.push_back("@PJL SET JOBATTR=\"@EPWD=" + HeaderValue(facts.passwordHex) + "\"\n");
  }
  pieces.push_back(PjlOf(settings::kCollations, s.collate) + std::to_string(s.copies) + "\n");
  pieces.push_back("@PJL SET JOBATTR=\"@FSIZ=" + std::to_string(facts.fileLength) + "\"\n");
  pieces.push_back(PageRangePiece(s));
  const char* mediaType = PjlOf(settings::kPaperTypes, settings::PrintedPaperType(s));
  if (*mediaType != '\0') pieces.push_back(mediaType);
  pieces.push_back(std::string("@PJL SET JOBATTR=\"@LOUT=") + PjlOf(settings::kLayouts, s.layout) +
                   "\"\n@PJL SET JOBATTR=\"@DIPQ=" + PjlOf(settings::kPrintModes, s.printMode) +
                   "\"\n@PJL SET RENDERMODE=" + PjlOf(settings::kOutputColors, s.outputColor) +
                   "\n@PJL SET PAPER=" +
                   PjlOf(settings::kPaperSizes, settings::PrintedPaperSize(s)) +
                   "\n@PJL SET AUTOSELECT=ON\n@PJL SET TIMEOUT=0\n");
  pieces.push_back(PjlOf(settings::kDuplexModes, settings::PrintedDuplex(s)));
  if (facts.singleFileCommand) pieces.push_back("@PJL ENTER LANGUAGE = PDF\n");
  return pieces;
}

}  // namespace pagewire::transport
