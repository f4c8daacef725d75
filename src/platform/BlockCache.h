#pragma once

#include <memory_resource>

namespace zelk {

// The upstream of the records' arenas. A large result fills its arena with big blocks; when
// the recordset goes they are kept for the next arena instead of going back to the system, so
// running a large search again costs no fresh pages. Small blocks and anything beyond a fixed
// total go straight to the heap. Safe to use from several threads.
std::pmr::memory_resource* RecycledBlocks();

} // namespace zelk
