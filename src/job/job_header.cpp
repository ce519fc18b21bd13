#include "job/job_header.h"

#include "job/text_format.h"

namespace pagewire::job {
namespace {

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

const char* LayoutKeyword(std::int32_t layout) {
  switch (layout) {
    case 1: return "NOSCALING";
    case 2: return "BOOKLET";
    case 3: return "N2";
    case 4: return "N4";
    default: return "AUTOSCALING";
  }
}

const char* PrintModeKeyword(std::int32_t printMode) {
  switch (printMode) {
    case 1: return "SPEED";
    case 2: return "QUALITY2";
    default: return "STANDARD";
  }
}

const char* PaperKeyword(const settings::PrintJobSettings& s) {
  if (s.layout == settings::kLayout2Up || s.layout == settings::kLayout4Up) return "A4";
  return s.paperSize == 1 ? "AUTO" : "A4";
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
  if (s.selectPages != 0 && s.layout != settings::kLayoutBooklet) {
    first = s.fromPage;
    last = s.toLastPage != 0 ? 0 : s.toPage;
  }
  return FormatText("@PJL SET JOBATTR=\"@FSTP=%d\"\n@PJL SET JOBATTR=\"@LSTP=%d\"\n", first,
                    last);
}

std::string DuplexPiece(const settings::PrintJobSettings& s) {
  if (s.duplexMode == 1 || (s.duplexMode != 2 && s.layout == settings::kLayoutBooklet)) {
    return "@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE\n";
  }
  if (s.duplexMode == 2) return "@PJL SET DUPLEX=ON\n@PJL SET BINDING=SHORTEDGE\n";
  return "@PJL SET DUPLEX=OFF\n";
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
  pieces.push_back(s.collate != 0
                       ? FormatText("@PJL SET COLLATE = COLLATENORMAL\n@PJL SET QTY =%d\n",
                                    s.copies)
                       : FormatText("@PJL SET COLLATE = OFF\n@PJL SET COPIES=%d\n", s.copies));
  pieces.push_back("@PJL SET JOBATTR=\"@FSIZ=" + std::to_string(facts.fileLength) + "\"\n");
  pieces.push_back(PageRangePiece(s));
  if (s.paperType == 0 || s.layout == settings::kLayoutBooklet) {
    pieces.push_back("@PJL SET MEDIATYPE=NORMAL\n");
  }
  pieces.push_back(FormatText(
      "@PJL SET JOBATTR=\"@LOUT=%s\"\n@PJL SET JOBATTR=\"@DIPQ=%s\"\n@PJL SET RENDERMODE=%s\n"
      "@PJL SET PAPER=%s\n@PJL SET AUTOSELECT=ON\n@PJL SET TIMEOUT=0\n",
      LayoutKeyword(s.layout), PrintModeKeyword(s.printMode),
      s.outputColor == 1 ? "GRAYSCALE" : "AUTOCOLOR", PaperKeyword(s)));
  pieces.push_back(DuplexPiece(s));
  if (facts.singleFileCommand) pieces.push_back("@PJL ENTER LANGUAGE = PDF\n");
  return pieces;
}

}  // namespace pagewire::job
