#include "host/gis/Boundaries.h"
#include "host/gis/Geodesic.h"
#include "host/gis/GeometryStore.h"
#include "host/gis/SampleShapes.h"
#include "host/sample/SampleNames.h"
#include "host/sample/SampleWriter.h"

#include <cmath>
#include <cstdio>

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

    void SetWriter(WriterThread* w) {
        for (Insert* i : {&shape, &ma, &owner, &alias, &county, &juris, &mapsheet, &site,
                          &reference, &keyword, &element})
            i->SetWriter(w);
    }
};

std::string Stamp(SampleRandom& r, int day) {
    int seconds = r.Below(9 * 3600) + 8 * 3600; // office hours
    char buf[40];
    std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return IsoDate(day) + buf;
}

std::string OwnerName(SampleRandom& r, int type, const SampleState& s,
                      const std::string& countyName) {
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
        return countyName;
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

} // namespace

void WriteManagedAreas(DataService& db, const SampleCatalogue& c, int areas, SampleRandom& r) {
    AreaStatements q(db);
    gis::SampleShapes shapes(gis::UsBoundaries());
    gis::GeometryWriter outlines(db, gis::ShapeTable(), nullptr, true);
    // The outlines draw from a stream of their own: the records' other values stay those of
    // the same seed.
    SampleRandom g(c.seed * 0x9E3779B97F4A7C15ull + 0x5EEDull);
    // Declared after the statements it runs, so that it stops before they go.
    WriterThread writer;
    q.SetWriter(&writer);
    const int sites = static_cast<int>(c.siteNames.size());
    for (int id = 1; id <= areas; ++id) {
        const SampleState& st = r.Pick(c.states);
        const std::string type = r.Pick(Designations());
        const std::string place = PlaceName(r);
        const std::string name = place + " " + type;
        const int created = 10957 + r.Below(7300); // 2000 to 2019
        const int modified = created + r.Below(1500);
        const std::string createdAt = Stamp(r, created), modifiedAt = Stamp(r, modified);
        const std::string creator = PersonName(r), editor = r.Chance(60) ? creator : PersonName(r);
        const int orgUnit = r.Range(1, 3);

        const bool mapped = r.Chance(70);
        q.shape.Row({id, mapped ? "Y" : "N", mapped ? Variant(PersonName(r)) : Null(),
                     mapped ? Variant(Stamp(r, created + r.Below(200))) : Null(),
                     mapped ? r.Range(2, 3) : 1, orgUnit, creator, createdAt, editor, modifiedAt});

        // The wanted size; the drawn outline, cut to the county, gives the acres recorded.
        const double wanted = std::exp(r.Unit() * std::log(60000.0)) + 1.0;
        const double ragged = r.Chance(90) ? 0.0 : 0.3 + 0.6 * r.Unit();
        const double nearY = r.Unit(), nearX = r.Unit();
        const bool acrossCountyLine = r.Chance(25);
        std::size_t firstCounty =
            static_cast<std::size_t>(r.Below(static_cast<int>(st.counties.size())));
        if (!shapes.Drawable(st.counties[firstCounty]))
            firstCounty = static_cast<std::size_t>(g.Pick(st.drawable));
        const gis::GeneratedArea area = shapes.Make(st.counties[firstCounty], st.counties, wanted,
                                                    acrossCountyLine, nearX, nearY, ragged, g);
        if (mapped) writer.Post([&outlines, id, shape = area.shape] { outlines.Write(id, shape); });
        // Both figures from the measured area, so neither carries the other's rounding.
        const double acres = Round2(area.acres),
                     hectares = Round2(area.squareMetres / gis::kSquareMetresPerHectare);
        // The outline lies within counties of its own state: all of it is in the state.
        const double inState = acres, inStateHectares = hectares;
        const std::string& countyName = st.countyNames[firstCounty];
        const bool equi = id % 4 == 0 && id / 4 <= sites;
        const int equiSite = id / 4;
        char code[40];
        std::snprintf(code, sizeof code, "%s%07d", st.code.c_str(), id);
        std::string desc = "A " + std::to_string(std::lround(acres)) + "-acre " + type + " in " +
                           countyName + ", " + st.name + ".";
        // Drawn in the order the values have always been drawn in, so a seed gives the same
        // names, people and codes as before the outlines; contiguity was drawn here once and is
        // the outline's answer now, but its draw stays for the same reason.
        const Variant majorArea = id > 20 && r.Chance(5) ? Variant(r.Range(1, id - 1)) : Null();
        r.Chance(85);
        const int protection = r.Range(1, 4), iucn = r.Range(1, 8);
        const std::string manager = PersonName(r);
        const int access = r.Range(1, 4);
        const bool plan = r.Chance(40);
        const int dataQc = r.Range(1, 4);
        const Variant dataQcBy = r.Chance(50) ? Variant(PersonName(r)) : Null();
        q.ma.Row({id,
                  id,
                  code,
                  name,
                  type,
                  equi ? Variant(std::to_string(equiSite)) : Null(),
                  equi ? Variant(c.siteNames[static_cast<std::size_t>(equiSite - 1)]) : Null(),
                  majorArea,
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
                  mapped ? "Y" : "N",
                  area.shape.size() == 1 ? "Y" : "N",
                  protection,
                  iucn,
                  manager,
                  st.name + " Department of Natural Resources",
                  st.id,
                  access,
                  plan ? "Y" : "N",
                  IsoDate(modified),
                  editor,
                  dataQc,
                  dataQcBy,
                  orgUnit,
                  creator,
                  createdAt,
                  editor,
                  modifiedAt});

        // The stamps are the same on every child row of the area.
        const Variant idV(id), creatorV(creator), createdV(createdAt), editorV(editor),
            modifiedV(modifiedAt);
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

        const int owners = r.Chance(30) ? 2 : 1;
        for (int k = 1; k <= owners; ++k) {
            int ownerType = r.Range(1, 7);
            child(q.owner, {ownerType, OwnerName(r, ownerType, st, countyName), k == 1 ? "Y" : "N"},
                  k);
        }
        if (r.Chance(30)) child(q.alias, {place + (r.Chance(50) ? " Preserve" : " Tract")}, 1);
        for (std::size_t k = 0; k < area.counties.size(); ++k)
            child(q.county, {area.counties[k]}, static_cast<int>(k) + 1);
        if (r.Chance(20)) child(q.juris, {r.Pick(st.localJurisdictions)}, 1);
        if (r.Chance(50)) child(q.mapsheet, {r.Range(1, c.mapsheets)}, 1);
        int order = 0;
        if (equi) child(q.site, {equiSite}, ++order);
        if (r.Chance(10)) {
            int other = r.Range(1, sites);
            if (!(equi && other == equiSite)) child(q.site, {other}, ++order);
        }
        const int refs = r.Range(0, 2);
        const int firstRef = r.Range(1, c.references);
        for (int k = 0; k < refs; ++k)
            child(q.reference, {(firstRef + k - 1) % c.references + 1}, k + 1);
        if (r.Chance(25)) child(q.keyword, {r.Range(1, c.keywords)}, 1);
        const int elements = r.Range(0, 3);
        const int firstSpecies = r.Range(1, c.species);
        for (int k = 0; k < elements; ++k) {
            // One level per row: the element is named at the global, national or state level.
            const int sp = (firstSpecies + k - 1) % c.species + 1;
            const int level = r.Range(0, 2);
            child(q.element,
                  {level == 0 ? Variant(sp) : Null(), level == 1 ? Variant(sp) : Null(),
                   level == 2 ? Variant(st.id * 100 + sp) : Null(),
                   refs > 0 && r.Chance(50) ? Variant(firstRef) : Null(), r.Range(1, 4),
                   r.Range(1, 4), r.Range(1, 4), r.Range(1, 4), r.Range(1, 5),
                   r.Chance(50) ? Variant("Resident") : Null(),
                   r.Chance(20) ? Variant("Observed along the " + place + ".") : Null()},
                  k + 1);
        }
    }
    writer.Finish();
}

} // namespace zelk::host::sample
