// Linked into every program built with mimalloc (see the top-level CMakeLists.txt).
#include <mimalloc.h>

namespace {

struct TuneAllocator {
    TuneAllocator() {
        // mimalloc hands freed pages back to the system after a few milliseconds. A search
        // drops one large result and reads the next straight away, which then faults every
        // page in afresh; keeping them two seconds lets the next result reuse them.
        mi_option_set(mi_option_decommit_delay, 2000);
        // A million-row result touches about a gigabyte of fresh memory. In 4 KiB pages the
        // faults cost more than the database takes to read the rows; asking for transparent
        // huge pages makes that one fault per 2 MiB. Where the system offers none, nothing
        // changes.
        mi_option_enable(mi_option_large_os_pages);
    }
} tune;

} // namespace
