// The simulated classroom as a receiver backend: one interface, "sim", whose
// device hands out the class's reports paced by the clock (a frame's report
// can be read once the frame has ended), so the search and the reader treat
// it as the real receiver.
#pragma once

#include "Clock.h"
#include "Platform.h"

#include <memory>
#include <string_view>

namespace penlynx {

// options: "tablets=N,writing=N,..." as ParseSimOptions (SimClassroom.h) reads them.
std::unique_ptr<Platform> MakeSimPlatform(std::string_view options, Clock &clock);

} // namespace penlynx
