#include "host/gis/Boundaries.h"
#include "host/gis/Geodesic.h"
#include "host/gis/GeometryStore.h"
#include "host/gis/SampleShapes.h"
#include "host/sample/OrderedWorker.h"
#include "host/sample/SampleNames.h"
#include "host/sample/SampleWriter.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <deque>

namespace zelk::host::sample {

namespace {

// INSERT for a child table: the managed area, the given columns, display order, user stamps.
std::string ChildSql(const std::string& table, const std::vector<std::string>& columns) {
    std::string cols = "managed_area_id", marks = "?";
    for (const std::string& c : columns) {
        cols += ", " + c;
        marks += ", ?";
    }
    cols += ", display_order, rec_create_user, rec_create_date, rec_last_mod_user, "
            "rec_last_mod_date";
    marks += ", ?, ?, ?, ?, ?";
    return "INSERT INTO " + table + " (" + cols + ") VALUES (" + marks + ")";
}

struct AreaStatements {
    explicit AreaStatements(DataService& db)
        : shape(db, "INSERT INTO shape (shape_id, has_shape_ind, digital_mapping_by, "
                    "digital_mapping_date, map_qc_status, org_unit_id, rec_create_user, "
                    "rec_create_date, rec_last_mod_user, rec_last_mod_date) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
          ma(db, "INSERT INTO ma (managed_area_id, shape_id, macode_bcd, managed_area_name, "
                 "managed_area_type, equi_site_id, equi_site_name, major_ma_id, nation_id, "
                 "d_state_id, latitude, longitude, north, south, east, west, managed_area_desc, "
                 "total_area_acres, total_area_hectares, area_in_state_acres, "
                 "area_in_state_hectares, multi_juris_ind, boundaries_mapped_ind, contiguous_ind, "
                 "d_protection_level_id, d_iucn_category_id, manager, manager_institution, "
                 "manager_state_id, manager_country, d_public_access_id, mgmt_plan_ind, "
                 "version_date, version_author_name, d_data_qc_status_id, data_qc_by, "
                 "org_unit_id, rec_create_user, rec_create_date, rec_last_mod_user, "
                 "rec_last_mod_date) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 1, ?, ?, ?, ?, ?, ?, ?, ?, "
                 "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'United States', ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                 "?, ?)"),
          owner(db, ChildSql("managed_area_owner",
                             {"d_owner_type_id", "owner_name", "primary_owner_ind"})),
          alias(db, ChildSql("managed_area_alias", {"managed_area_alias"})),
          county(db, ChildSql("managed_area_county", {"d_county_id"})),
          juris(db, ChildSql("managed_area_local_juris", {"d_local_jurisdiction_id"})),
          mapsheet(db, ChildSql("managed_area_mapsheet", {"d_mapsheet_id"})),
          site(db, ChildSql("managed_area_site", {"conservation_site_id"})),
          reference(db, ChildSql("managed_area_reference", {"reference_id"})),
          keyword(db, ChildSql("managed_area_keyword", {"d_managed_area_keyword_id"})),
          element(db,
                  ChildSql("element_managed_area",
                           {"element_global_id", "element_national_id", "element_subnational_id",
                            "reference_id", "d_origin_id", "d_regularity_id",
                            "d_dist_confidence_id", "d_curr_presence_absence_id", "d_population_id",
                            "status_in_ma", "ma_distribution_com"})) {}
    Insert shape, ma, owner, alias, county, juris, mapsheet, site, reference, keyword, element;
};

std::string Stamp(SampleRandom& r, int day) {
    int seconds = r.Below(9 * 3600) + 8 * 3600; // office hours
    char buf[40];
    std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return IsoDate(day) + buf;
}

// The name of an owner of the given type; "" for the county, whose name is known once the
// outline has found the county that holds the area.
std::string OwnerName(SampleRandom& r, int type, const SampleState& s) {
    static const std::vector<std::string> federal = {
        "U.S. Fish and Wildlife Service", "USDA Forest Service", "Bureau of Land Management",
        "National Park Service", "U.S. Army Corps of Engineers"};
    static const std::vector<std::string> nonprofit = {"The Nature Conservancy", "Audubon Society",
                                                       "Trust for Public Land", "Ducks Unlimited",
                                                       "Wildlands Conservancy"};
    switch (type) {
    case 1:
        return r.Pick(federal);
    case 2:
        return "State of " + s.name;
    case 3:
        return "";
    case 4:
        return r.Pick(LastNames()) + " Tribal Council";
    case 5:
        return r.Pick(nonprofit);
    case 6: {
        std::string family = r.Pick(LastNames());
        return family + (r.Chance(50) ? " Family Trust" : " Ranch LLC");
    }
    case 7:
        return "State of " + s.name + " and " + r.Pick(federal);
    default:
        return "Unknown owner";
    }
}

double Round2(double v) {
    return std::round(v * 100.0) / 100.0;
}

std::string Latitude(double degrees) {
    return Dms(degrees, 7, 'N');
}
// Every sample area lies west of Greenwich.
std::string Longitude(double degrees) {
    return Dms(-degrees, 8, 'W');
}

// What the outline of an area is drawn from: values of the record's stream.
struct OutlineOrder {
    const SampleState* state = nullptr;
    std::size_t county = 0; // position in the state's counties
    double acres = 0, ragged = 0, nearX = 0, nearY = 0;
    bool acrossCountyLine = false;
};

struct DrawnOutline {
    std::size_t county = 0; // the county the outline was drawn in, when the first had no boundary
    gis::GeneratedArea area;
};

// Every value of one managed area's record but its outline, drawn in the order the values
// have always been drawn in, so that a seed keeps giving the same names, people and codes.
struct DrawnArea {
    struct Owner {
        int type = 0;
        std::string name; // "" for the county
    };
    struct Element {
        int species = 0, level = 0;
        bool reference = false;
        std::array<int, 5> codes{}; // origin, regularity, confidence, presence, population
        bool resident = false, observed = false;
    };

    int id = 0;
    const SampleState* state = nullptr;
    const std::string* type = nullptr;
    std::string place, name, createdAt, modifiedAt, creator, editor;
    int modified = 0, orgUnit = 0;
    bool mapped = false;
    std::string mappedBy, mappedAt;
    int mapQc = 1;
    OutlineOrder outline;
    int majorArea = 0; // none when 0
    int protection = 0, iucn = 0, access = 0, dataQc = 0;
    std::string manager, dataQcBy;
    bool plan = false;
    std::vector<Owner> owners;
    std::string alias;
    int juris = 0, mapsheet = 0, otherSite = 0, keyword = 0; // none when 0
    int references = 0, firstReference = 0;
    std::vector<Element> elements;
};

DrawnArea Draw(SampleRandom& r, const SampleCatalogue& c, int id) {
    DrawnArea d;
    d.id = id;
    const SampleState& st = r.Pick(c.states);
    d.state = &st;
    d.type = &r.Pick(Designations());
    d.place = PlaceName(r);
    d.name = d.place + " " + *d.type;
    const int created = 10957 + r.Below(7300); // 2000 to 2019
    d.modified = created + r.Below(1500);
    d.createdAt = Stamp(r, created);
    d.modifiedAt = Stamp(r, d.modified);
    d.creator = PersonName(r);
    d.editor = r.Chance(60) ? d.creator : PersonName(r);
    d.orgUnit = r.Range(1, 3);

    d.mapped = r.Chance(70);
    if (d.mapped) {
        d.mappedBy = PersonName(r);
        d.mappedAt = Stamp(r, created + r.Below(200));
        d.mapQc = r.Range(2, 3);
    }

    // The wanted size; the drawn outline, cut to the county, gives the acres recorded.
    OutlineOrder& o = d.outline;
    o.state = &st;
    o.acres = std::exp(r.Unit() * std::log(60000.0)) + 1.0;
    o.ragged = r.Chance(90) ? 0.0 : 0.3 + 0.6 * r.Unit();
    o.nearY = r.Unit();
    o.nearX = r.Unit();
    o.acrossCountyLine = r.Chance(25);
    o.county = static_cast<std::size_t>(r.Below(static_cast<int>(st.counties.size())));

    // Contiguity was drawn here once and is the outline's answer now, but its draw stays.
    if (id > 20 && r.Chance(5)) d.majorArea = r.Range(1, id - 1);
    r.Chance(85);
    d.protection = r.Range(1, 4);
    d.iucn = r.Range(1, 8);
    d.manager = PersonName(r);
    d.access = r.Range(1, 4);
    d.plan = r.Chance(40);
    d.dataQc = r.Range(1, 4);
    if (r.Chance(50)) d.dataQcBy = PersonName(r);

    const int owners = r.Chance(30) ? 2 : 1;
    for (int k = 1; k <= owners; ++k) {
        const int type = r.Range(1, 7);
        d.owners.push_back({type, OwnerName(r, type, st)});
    }
    if (r.Chance(30)) d.alias = d.place + (r.Chance(50) ? " Preserve" : " Tract");
    if (r.Chance(20)) d.juris = r.Pick(st.localJurisdictions);
    if (r.Chance(50)) d.mapsheet = r.Range(1, c.mapsheets);
    if (r.Chance(10)) d.otherSite = r.Range(1, static_cast<int>(c.siteNames.size()));
    d.references = r.Range(0, 2);
    d.firstReference = r.Range(1, c.references);
    if (r.Chance(25)) d.keyword = r.Range(1, c.keywords);
    const int elements = r.Range(0, 3);
    const int firstSpecies = r.Range(1, c.species);
    for (int k = 0; k < elements; ++k) {
        // One level per row: the element is named at the global, national or state level.
        DrawnArea::Element e;
        e.species = (firstSpecies + k - 1) % c.species + 1;
        e.level = r.Range(0, 2);
        e.reference = d.references > 0 && r.Chance(50);
        for (std::size_t n = 0; n < 4; ++n)
            e.codes[n] = r.Range(1, 4);
        e.codes[4] = r.Range(1, 5);
        e.resident = r.Chance(50);
        e.observed = r.Chance(20);
        d.elements.push_back(e);
    }
    return d;
}

void Write(AreaStatements& q, gis::GeometryWriter& outlines, const SampleCatalogue& c,
           const DrawnArea& d, DrawnOutline& o) {
    const int id = d.id;
    const SampleState& st = *d.state;
    const std::string& type = *d.type;
    gis::GeneratedArea& area = o.area;
    q.shape.Row({id, d.mapped ? "Y" : "N", d.mappedBy, d.mappedAt, d.mapQc, d.orgUnit, d.creator,
                 d.createdAt, d.editor, d.modifiedAt});
    if (d.mapped) outlines.Write(id, area.shape);

    area.Measure();
    // Both figures from the measured area, so neither carries the other's rounding.
    const double acres = Round2(area.acres),
                 hectares = Round2(area.squareMetres / gis::kSquareMetresPerHectare);
    // The outline lies within counties of its own state: all of it is in the state.
    const double inState = acres, inStateHectares = hectares;
    const std::string& countyName = st.countyNames[o.county];
    const int sites = static_cast<int>(c.siteNames.size());
    const bool equi = id % 4 == 0 && id / 4 <= sites;
    const int equiSite = id / 4;
    char code[40];
    std::snprintf(code, sizeof code, "%s%07d", st.code.c_str(), id);
    std::string desc = "A " + std::to_string(std::lround(acres)) + "-acre " + type + " in " +
                       countyName + ", " + st.name + ".";
    q.ma.Row({id,
              id,
              code,
              d.name,
              type,
              equi ? Variant(std::to_string(equiSite)) : Null(),
              equi ? Variant(c.siteNames[static_cast<std::size_t>(equiSite - 1)]) : Null(),
              d.majorArea > 0 ? Variant(d.majorArea) : Null(),
              st.id,
              Latitude(area.point.lat),
              Longitude(area.point.lon),
              Latitude(area.bounds.maxLat),
              Latitude(area.bounds.minLat),
              Longitude(area.bounds.maxLon),
              Longitude(area.bounds.minLon),
              desc,
              acres,
              hectares,
              inState,
              inStateHectares,
              area.counties.size() > 1 ? "Y" : "N",
              d.mapped ? "Y" : "N",
              area.shape.size() == 1 ? "Y" : "N",
              d.protection,
              d.iucn,
              d.manager,
              st.name + " Department of Natural Resources",
              st.id,
              d.access,
              d.plan ? "Y" : "N",
              IsoDate(d.modified),
              d.editor,
              d.dataQc,
              d.dataQcBy,
              d.orgUnit,
              d.creator,
              d.createdAt,
              d.editor,
              d.modifiedAt});

    // The stamps are the same on every child row of the area.
    const Variant idV(id), creatorV(d.creator), createdV(d.createdAt), editorV(d.editor),
        modifiedV(d.modifiedAt);
    auto child = [&](Insert& ins, std::initializer_list<Variant> values, int order) {
        int i = 1;
        ins.Bind(i++, idV);
        for (const Variant& v : values)
            ins.Bind(i++, v);
        ins.Bind(i++, order);
        ins.Bind(i++, creatorV);
        ins.Bind(i++, createdV);
        ins.Bind(i++, editorV);
        ins.Bind(i++, modifiedV);
        ins.Run();
    };

    int k = 0;
    for (const DrawnArea::Owner& owner : d.owners) {
        ++k;
        child(q.owner, {owner.type, owner.type == 3 ? countyName : owner.name, k == 1 ? "Y" : "N"},
              k);
    }
    if (!d.alias.empty()) child(q.alias, {d.alias}, 1);
    for (std::size_t n = 0; n < area.counties.size(); ++n)
        child(q.county, {area.counties[n]}, static_cast<int>(n) + 1);
    if (d.juris) child(q.juris, {d.juris}, 1);
    if (d.mapsheet) child(q.mapsheet, {d.mapsheet}, 1);
    int order = 0;
    if (equi) child(q.site, {equiSite}, ++order);
    if (d.otherSite && !(equi && d.otherSite == equiSite)) child(q.site, {d.otherSite}, ++order);
    for (int n = 0; n < d.references; ++n)
        child(q.reference, {(d.firstReference + n - 1) % c.references + 1}, n + 1);
    if (d.keyword) child(q.keyword, {d.keyword}, 1);
    k = 0;
    for (const DrawnArea::Element& e : d.elements) {
        ++k;
        child(q.element,
              {e.level == 0 ? Variant(e.species) : Null(),
               e.level == 1 ? Variant(e.species) : Null(),
               e.level == 2 ? Variant(st.id * 100 + e.species) : Null(),
               e.reference ? Variant(d.firstReference) : Null(), e.codes[0], e.codes[1], e.codes[2],
               e.codes[3], e.codes[4], e.resident ? Variant("Resident") : Null(),
               e.observed ? Variant("Observed along the " + d.place + ".") : Null()},
              k);
    }
}

// Drawn records waiting for their outlines: enough that the outline thread always has work,
// few enough to keep the memory small.
constexpr std::size_t kAhead = 512;

} // namespace

void WriteManagedAreas(DataService& db, const SampleCatalogue& c, int areas, SampleRandom& r) {
    AreaStatements q(db);
    gis::GeometryWriter outlines(db, gis::ShapeTable(), nullptr, true);
    gis::SampleShapes shapes(gis::UsBoundaries());
    // The outlines draw from a stream of their own, so the records' other values stay those
    // of the same seed; drawn one after the other on a thread of their own, they keep the
    // stream's order while this thread draws the records and writes the rows.
    SampleRandom g(c.seed * 0x9E3779B97F4A7C15ull + 0x5EEDull);
    OrderedWorker<OutlineOrder, DrawnOutline> outliner([&shapes, &g](const OutlineOrder& o) {
        const SampleState& st = *o.state;
        DrawnOutline d;
        d.county = o.county;
        if (!shapes.Drawable(st.counties[d.county]))
            d.county = static_cast<std::size_t>(g.Pick(st.drawable));
        d.area = shapes.Make(st.counties[d.county], st.counties, o.acres, o.acrossCountyLine,
                             o.nearX, o.nearY, o.ragged, g);
        return d;
    });
    std::deque<DrawnArea> waiting;
    for (int id = 1; id <= areas; ++id) {
        waiting.push_back(Draw(r, c, id));
        outliner.Push(waiting.back().outline);
        if (waiting.size() < kAhead && id < areas) continue;
        // Written up to the last drawn, once all are drawn.
        while (!waiting.empty() && (waiting.size() >= kAhead || id == areas)) {
            DrawnOutline o = outliner.Pop();
            Write(q, outlines, c, waiting.front(), o);
            waiting.pop_front();
        }
    }
}

} // namespace zelk::host::sample
