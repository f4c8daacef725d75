#pragma once

#include "platform/Error.h"

namespace zelk::testing {

// The error number a call raises, 0 when it raises none.
template <class F> int ErrorOf(F&& f) {
    try {
        f();
    } catch (const ComError& e) {
        return e.Number();
    }
    return 0;
}

} // namespace zelk::testing
