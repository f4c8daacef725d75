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
    std::string path; // replaced when it exists
    // Called after each area with the count written and the total; false stops the export
    // (the file then holds the areas written so far and the result says it was cancelled).
    std::function<bool(long done, long total)> progress;
};

struct ExportResult {
    long written = 0;
    bool cancelled = false;
    std::string error; // "" on success
};

ExportResult ExportAreas(DataService& db, const ExportRequest& request);

} // namespace zelk::host::exchange
