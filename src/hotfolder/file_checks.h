// What a hot folder asks of a file before it takes it: a name that is no
// hidden or temporary one, first bytes that say PDF or TIFF, no writer
// holding it open; and of the folder, whether events can be trusted there.
#pragma once

#include <string>
#include <string_view>

namespace pagewire::hotfolder {

// .*, ~*, *.part, *.tmp, Thumbs.db, desktop.ini, .DS_Store, @eaDir (the
// last three in any case, as the systems that leave them write them).
bool IsIgnoredName(std::string_view name);

// The files of `folder` waiting to be taken: regular, not ignored.
int CountWaiting(const std::string& folder);

enum class Kind { Pdf, Tiff, Other, Empty };
Kind KindOf(std::string_view firstBytes);

enum class Writers { None, Open, Unknown };
// Linux: a read lease (F_SETLEASE, F_RDLCK) is refused with EAGAIN while
// any process has the file open for writing; it is given back at once.
// Unknown where leases are not offered (network file systems) or the file
// is not the service's own and it lacks CAP_LEASE.
Writers WritersOf(int fd);

// NFS and CIFS/SMB deliver no inotify events for other clients' changes:
// there the folder is polled.
bool NeedsPolling(const std::string& folder);

}  // namespace pagewire::hotfolder
