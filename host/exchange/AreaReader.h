#pragma once

#include "host/gis/Geometry.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zelk::host {
class DataService;
}

namespace zelk::host::exchange {

// One managed area in its exchange form: the text of every column of ExchangeColumns (same
// order; "" for nothing) and its boundary when it has one.
struct ExchangeArea {
    long id = 0;
    std::vector<std::string> values;
    std::optional<gis::MultiPolygon> shape;
};

// Reads managed areas in their exchange form, with one statement for the records and one per
// child list for all of them, so that a whole database reads in seconds. `ids` empty reads
// every managed area; otherwise those, in ID order. `each` is called once per area.
void ReadAreas(DataService& db, const std::vector<long>& ids,
               const std::function<void(ExchangeArea&)>& each);

// ReadAreas on a thread of its own while `each` runs on the caller's, so that reading the
// database and writing a file overlap; areas come in the same order. `each` returns false to
// stop, and reading stops soon after. Nothing else may use `db` until this returns.
void ReadAreasAhead(DataService& db, const std::vector<long>& ids,
                    const std::function<bool(ExchangeArea&)>& each);

// The IDs of the managed areas whose name holds `text`, case folded as the search folds it.
std::vector<long> IdsByName(DataService& db, const std::string& text);

// How a stored number and date read as text in every file: the shortest text that reads
// back as the same double; dates as yyyy-mm-dd (with the time when there is one).
std::string NumberText(double v);
std::string DateText(const std::string& stored);

} // namespace zelk::host::exchange
