#pragma once

#include "platform/Recordset.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zelk::host {
class DataService;
}

namespace zelk::host::exchange {

struct ImportRequest {
    std::string path;
    // Header in the file -> exchange column, for headers that are not the editor's names.
    std::map<std::string, std::string> mapping;
    bool dryRun = false;  // check everything, write nothing
    bool atomic = false;  // all records in one transaction: one rejected row imports nothing
    std::string userName; // the signed-in user, stamped on every record
    long orgUnitId = -1;
    RecordsetPtr workingList; // each imported record is added (ID, name, description)
    // After each record: records done and the total; false stops cleanly before the next.
    std::function<bool(long done, long total)> progress;
};

// A row that was not imported, as the report lists it.
struct Rejection {
    long row = 0;
    std::string column, code, message, value;
};

struct ImportResult {
    long read = 0, imported = 0, rejected = 0;
    bool cancelled = false;
    std::string error; // the file could not be read at all
    std::vector<Rejection> rejections;
    std::vector<std::string> ignoredColumns;
    std::vector<long> importedIds;
    std::string Summary() const;
};

// Reads the file, checks every row with the editor's rules and saves each accepted row through
// the business objects, audited as an import by the session's user.
ImportResult ImportAreas(const std::shared_ptr<DataService>& db, const ImportRequest& request);

// "header = Column" lines; "#" starts a comment. Raises ComError on a line that is neither.
std::map<std::string, std::string> ReadMapping(const std::string& path);
// The rejected rows as CSV: row, column, code, message, value.
void WriteReport(const ImportResult& result, const std::string& path);

} // namespace zelk::host::exchange
