// What a restart does with a file, from its last journal record and where
// the file is found: nothing is lost and nothing may print twice.
#pragma once

#include <optional>

#include "hotfolder/journal.h"

namespace pagewire::hotfolder {

enum class Found { Processing, Elsewhere };

enum class Recovery {
  ReturnToFolder,      // never sent: back into the folder, to print once
  FailMayHavePrinted,  // a job existed: to failed/, never sent again on its own
  MoveToDone,          // printed: to done/
  FinishFailed,        // to failed/ with the recorded reason
  EndRecord,           // already moved: the record ends
  Nothing,             // no record, not in processing/
};

// `last`: the file's last open record, none when it has no record.
Recovery RecoveryFor(std::optional<Step> last, Found where);

inline constexpr const char* kMayHavePrinted = "may have printed";

}  // namespace pagewire::hotfolder
