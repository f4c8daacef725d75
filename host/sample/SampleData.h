#pragma once

namespace zelk::host {

class DataService;

// Fills a database that holds the schema and nothing else: nations, the U.S. states and
// counties with their FIPS codes, every coded domain, organisation units, mapsheets,
// conservation sites, references, elements at the three levels, and `areas` generated managed
// areas with shapes, owners, aliases, counties, local jurisdictions, mapsheets, references,
// sites and elements. The same seed gives the same data on every platform. One transaction:
// on failure nothing is written and ComError is raised. Loading is not audited; changes made
// afterwards are.
void WriteSampleData(DataService& db, int areas, unsigned seed);

} // namespace zelk::host
