#pragma once

#include "host/exchange/Formats.h"

#include <functional>
#include <string>
#include <vector>

namespace zelk::host {
class DataService;
}

namespace zelk::host::exchange {

struct ExportRequest {
    std::vector<long> ids; // empty: every managed area of the database
    Format format = Format::GeoPackage;
    std::string path; // replaced when the export is complete
    // Called after each area with the count written and the total; false stops the export:
    // the result says it was cancelled, nothing is written under `path`, and a file that was
    // there before is left as it was. The same holds for an export that fails.
    std::function<bool(long done, long total)> progress;
};

struct ExportResult {
    long written = 0;
    bool cancelled = false;
    std::string error; // "" on success
};

ExportResult ExportAreas(DataService& db, const ExportRequest& request);

} // namespace zelk::host::exchange
