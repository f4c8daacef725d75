#pragma once

#include "host/data/DataService.h"
#include "host/sample/SampleRandom.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace zelk::host::sample {

// A prepared INSERT run once per row.
class Insert {
public:
    Insert(DataService& db, const std::string& sql) : stmt_(db.Prepare(sql)) {}
    void Row(std::initializer_list<Variant> values) {
        int i = 1;
        for (const Variant& v : values)
            stmt_->Bind(i++, v);
        stmt_->Execute();
    }
    // For rows that share values: bind one by one, then run.
    void Bind(int index, const Variant& v) { stmt_->Bind(index, v); }
    void Run() { stmt_->Execute(); }

private:
    std::unique_ptr<Statement> stmt_;
};

struct SampleState {
    int id = 0; // FIPS code
    std::string code, name;
    std::vector<int> counties;
    std::vector<std::string> countyNames;
    std::vector<int> localJurisdictions;
    std::vector<int> drawable; // positions in counties of those with a boundary to draw in
};

// What the generated managed areas can refer to.
struct SampleCatalogue {
    std::vector<SampleState> states;    // the 50 states and DC
    std::vector<std::string> siteNames; // conservation_site_id = position + 1
    int references = 0;
    int mapsheets = 0;
    int species = 0;
    int keywords = 0;
    unsigned seed = 0; // of the whole load; the outlines draw from a stream of their own
};

// Domains and the records of other modules, sized for `areas` managed areas.
// The counties and states come with their boundaries.
SampleCatalogue WriteReferenceData(DataService& db, int areas, SampleRandom& r);
void WriteManagedAreas(DataService& db, const SampleCatalogue& c, int areas, SampleRandom& r);

inline Variant Null() {
    return Variant::Null();
}

} // namespace zelk::host::sample
