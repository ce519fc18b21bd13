#include "hotfolder/recovery.h"

namespace pagewire::hotfolder {

Recovery RecoveryFor(std::optional<Step> last, Found where) {
  const bool inProcessing = where == Found::Processing;
  if (!last) return inProcessing ? Recovery::ReturnToFolder : Recovery::Nothing;
  switch (*last) {
    case Step::Claimed:
      return inProcessing ? Recovery::ReturnToFolder : Recovery::EndRecord;
    case Step::Sending:
      return inProcessing ? Recovery::FailMayHavePrinted : Recovery::EndRecord;
    case Step::Sent:
      return inProcessing ? Recovery::MoveToDone : Recovery::EndRecord;
    case Step::Failed:
      return inProcessing ? Recovery::FinishFailed : Recovery::EndRecord;
    case Step::Returned:
    case Step::Done:
      break;
  }
  // Ended records are not open; a file left in processing/ goes back.
  return inProcessing ? Recovery::ReturnToFolder : Recovery::Nothing;
}

}  // namespace pagewire::hotfolder
