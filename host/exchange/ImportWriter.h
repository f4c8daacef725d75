#pragma once

#include "host/exchange/Importer.h"
#include "host/exchange/RowCheck.h"

#include <memory>
#include <utility>
#include <vector>

namespace zelk::host {
class DataService;
class Statement;
} // namespace zelk::host

namespace zelk::host::exchange {

// Saves the records that passed every check, each as the editor saves a new one, and
// returns the saved ones with their new IDs in file order. Records that fail go to the
// result's rejections; a cancel through the request's progress stops between records.
std::vector<std::pair<long, const CheckedArea*>>
SaveAccepted(const std::shared_ptr<DataService>& db, const ImportRequest& rq,
             const std::vector<CheckedArea>& accepted, Statement& codeLookup, ImportResult& r);

} // namespace zelk::host::exchange
