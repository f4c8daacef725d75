// Linked into every program built with mimalloc (see the top-level CMakeLists.txt).
#include <mimalloc.h>

namespace {

// mimalloc hands freed pages back to the system after a few milliseconds. A search drops one
// large result and reads the next straight away, which then faults every page in afresh;
// keeping them two seconds lets the next result reuse them.
struct TuneAllocator {
    TuneAllocator() { mi_option_set(mi_option_decommit_delay, 2000); }
} tune;

} // namespace
