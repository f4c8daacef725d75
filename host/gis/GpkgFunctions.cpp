#include "host/gis/GpkgFunctions.h"

#include "host/gis/Geometry.h"
#include "platform/Error.h"

#include <sqlite3.h>

#include <string_view>

namespace zelk::host::gis {

namespace {

enum class Part { MinX, MaxX, MinY, MaxY };

std::string_view BlobOf(sqlite3_value* v) {
    const void* p = sqlite3_value_blob(v);
    const int n = sqlite3_value_bytes(v);
    return p ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n))
             : std::string_view();
}

void IsEmpty(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    try {
        sqlite3_result_int(ctx, GpkgBlobIsEmpty(BlobOf(argv[0])) ? 1 : 0);
    } catch (const ComError& e) {
        sqlite3_result_error(ctx, e.Description().c_str(), -1);
    }
}

template <Part P> void Bound(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    try {
        auto e = GpkgBlobExtent(BlobOf(argv[0]));
        if (!e) {
            sqlite3_result_null(ctx);
            return;
        }
        double v = P == Part::MinX   ? e->minLon
                   : P == Part::MaxX ? e->maxLon
                   : P == Part::MinY ? e->minLat
                                     : e->maxLat;
        sqlite3_result_double(ctx, v);
    } catch (const ComError& e) {
        sqlite3_result_error(ctx, e.Description().c_str(), -1);
    }
}

} // namespace

void RegisterGpkgFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "ST_IsEmpty", 1, flags, nullptr, IsEmpty, nullptr, nullptr);
    sqlite3_create_function(db, "ST_MinX", 1, flags, nullptr, Bound<Part::MinX>, nullptr, nullptr);
    sqlite3_create_function(db, "ST_MaxX", 1, flags, nullptr, Bound<Part::MaxX>, nullptr, nullptr);
    sqlite3_create_function(db, "ST_MinY", 1, flags, nullptr, Bound<Part::MinY>, nullptr, nullptr);
    sqlite3_create_function(db, "ST_MaxY", 1, flags, nullptr, Bound<Part::MaxY>, nullptr, nullptr);
}

} // namespace zelk::host::gis
