// The service's printers on PAPPL: the driver for PJL printers at
// socket://HOST[:PORT], and how a job's document is sent to one.
#pragma once

#include <pappl/pappl.h>

#include <functional>
#include <vector>

#include "server/job_attributes.h"
#include "server/job_origin.h"

namespace pagewire::server {

inline constexpr const char* kDriverName = "pagewire";
inline constexpr int kDefaultEndWaitSeconds = 60;

// How long a printer has to tell that a job ended once it has every byte;
// then the job is completed with a message that the end was not confirmed.
void SetEndWait(int seconds);

// The drivers papplMainloop lists.
extern pappl_pr_driver_t kDrivers[1];

// Fills the driver data of a printer at `deviceUri`; false for another
// driver or a URI that names no raw socket printer.
bool DriverCallback(pappl_system_t* system, const char* driverName, const char* deviceUri,
                    const char* deviceId, pappl_pr_driver_data_t* data, ipp_t** attrs,
                    void* context);

// The setting attributes `find` gives, flattened, in the order they apply.
std::vector<IppValue> SettingValuesOf(const std::function<ipp_attribute_t*(const char*)>& find);

// Checks a spooled PDF held for it: true when it prints as it is or with
// the origin's password; else the job gets its reason and message, and the
// password, which opens nothing, is wiped.
bool PdfWillPrint(pappl_job_t* job, JobOrigin& origin);

// The format of a document sent as application/octet-stream that PAPPL
// does not know itself: TIFF.
const char* TypeOfContent(const unsigned char* header, size_t size, void* context);

// The filters that send a PDF with the header in front (PAPPL names PDF
// the preferred format when a filter takes it) and a TIFF unchanged.
bool SendPdf(pappl_job_t* job, pappl_device_t* device, void* context);
bool SendTiff(pappl_job_t* job, pappl_device_t* device, void* context);

}  // namespace pagewire::server
