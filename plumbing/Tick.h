#pragma once
#include <functional>

namespace plumbing {

// Called between pieces of long work, so that the caller's window stays responsive;
// returning false stops the work. Every codec and reader takes this one type; an empty tick
// is never called.
using Tick = std::function<bool()>;

} // namespace plumbing
