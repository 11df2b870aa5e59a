// The USB receiver through hidapi.
#pragma once

#include "Platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace penlynx {

// Every HID interface of the system; reads are normalised so that byte 0 is
// the report ID position (0 for a device that does not number its reports).
std::unique_ptr<Platform> MakeHidPlatform();

// Why a device node could not be opened, from the error number of the open,
// with the remedy for missing permission (the udev rule).
std::string OpenFailureReason(int error);

// Whether a HID report descriptor declares report IDs, in which case every
// report read starts with its ID.
bool DescriptorNumbersReports(const uint8_t *descriptor, size_t length);

} // namespace penlynx
