#include "job/job_header.h"

#include "job/text_format.h"
#include "settings/setting_tables.h"

namespace pagewire::job {
namespace {

using settings::Duplex;
using settings::Layout;
using settings::PaperSize;
using settings::PaperType;

// A line feed or escape in a file, user or host name would end its line and
// start a PJL command, or a job, of the name's own. '?' marks the loss where
// a space would hide it, as ls shows such bytes. No control byte is the trail
// byte of a double-byte character, so such names keep every character.
std::string HeaderValue(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return text;
}

std::string CommentPiece(const JobComments& c, const std::string& fileName) {
  const std::string user = HeaderValue(c.userName);
  return FormatText(
      "@PJL COMMENT DNAME=%s\n@PJL COMMENT UNAME=%s\n@PJL COMMENT HNAME=%s\n"
      "@PJL COMMENT UID=%s\n@PJL COMMENT IP=%03d.%03d.%03d.%03d\n",
      HeaderValue(fileName).c_str(), user.c_str(), HeaderValue(c.hostName).c_str(),
      user.c_str(), c.address[0], c.address[1], c.address[2], c.address[3]);
}

std::string PageRangePiece(const settings::PrintJobSettings& s) {
  int first = 0;
  int last = 0;
  if (s.selectPages && s.layout != Layout::Booklet) {
    first = s.fromPage;
    last = s.toLastPage ? 0 : s.toPage;
  }
  return FormatText("@PJL SET JOBATTR=\"@FSTP=%d\"\n@PJL SET JOBATTR=\"@LSTP=%d\"\n", first,
                    last);
}

// A booklet prints on both sides, long edge unless short edge was chosen.
Duplex DuplexWritten(const settings::PrintJobSettings& s) {
  const bool twoSided = s.duplexMode == Duplex::LongEdge || s.duplexMode == Duplex::ShortEdge;
  return s.layout == Layout::Booklet && !twoSided ? Duplex::LongEdge : s.duplexMode;
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

std::vector<std::string> JobHeaderPieces(const settings::PrintJobSettings& s, const JobComments& c,
                                         const JobHeaderFacts& facts) {
  std::vector<std::string> pieces;
  pieces.push_back("\x1B%-12345X");
  pieces.push_back(FormatText(
      "@PJL COMMENT DATE=%02d/%02d/%04d\n@PJL COMMENT TIME=%02d:%02d:%02d\n", c.time.month,
      c.time.day, c.time.year, c.time.hour, c.time.minute, c.time.second));
  pieces.push_back(CommentPiece(c, facts.fileName));
  if (facts.keyMode != KeyMode::None) {
    pieces.push_back(facts.keyMode == KeyMode::FixedKey
                         ? "@PJL SET JOBATTR=\"@EPKY=FK\"\n"
                         : "@PJL SET JOBATTR=\"@EPKY=MA\"\n");
    pieces.push_back(FormatText("@PJL SET JOBATTR=\"@EPWD=%s\"\n",
                                HeaderValue(facts.passwordHex).c_str()));
  }
  pieces.push_back(PjlOf(settings::kCollations, s.collate) + std::to_string(s.copies) + "\n");
  pieces.push_back("@PJL SET JOBATTR=\"@FSIZ=" + std::to_string(facts.fileLength) + "\"\n");
  pieces.push_back(PageRangePiece(s));
  // A booklet is printed on plain paper.
  const char* mediaType = PjlOf(settings::kPaperTypes,
                                s.layout == Layout::Booklet ? PaperType::Plain : s.paperType);
  if (*mediaType != '\0') pieces.push_back(mediaType);
  const PaperSize paperSize = settings::IsNUp(s.layout) ? PaperSize::A4 : s.paperSize;
  pieces.push_back(FormatText(
      "@PJL SET JOBATTR=\"@LOUT=%s\"\n@PJL SET JOBATTR=\"@DIPQ=%s\"\n@PJL SET RENDERMODE=%s\n"
      "@PJL SET PAPER=%s\n@PJL SET AUTOSELECT=ON\n@PJL SET TIMEOUT=0\n",
      PjlOf(settings::kLayouts, s.layout), PjlOf(settings::kPrintModes, s.printMode),
      PjlOf(settings::kOutputColors, s.outputColor), PjlOf(settings::kPaperSizes, paperSize)));
  pieces.push_back(PjlOf(settings::kDuplexModes, DuplexWritten(s)));
  if (facts.singleFileCommand) pieces.push_back("@PJL ENTER LANGUAGE = PDF\n");
  return pieces;
}

}  // namespace pagewire::job
