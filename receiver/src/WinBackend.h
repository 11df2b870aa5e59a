// The USB receiver on Windows: the device setup and HID class functions find
// it, overlapped reads with an event read it.
#pragma once

#include "Platform.h"

#include <memory>

namespace penlynx {

// Every present HID interface of the system. Reads deliver the report ID in
// byte 0, as the layout the decoder expects.
std::unique_ptr<Platform> MakeWinPlatform();

} // namespace penlynx
