#pragma once
#include <functional>

namespace patchfile {

// Called between chunks of work; returning false stops the work.
using WorkTick = std::function<bool()>;

} // namespace patchfile
