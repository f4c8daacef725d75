#include "host/gis/GeometryStore.h"

#include "host/data/DataService.h"
#include "host/data/SqliteDataService.h"
#include "host/data/SqliteSupport.h"
#include "host/gis/GisSchema.h"
#include "platform/Conv.h"
#include "platform/Error.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstring>

namespace zelk::host::gis {

namespace {

// A statement on the SQLite connection itself: geometries travel as BLOBs, which the
// data service's values do not carry.
class LiteStatement {
public:
    LiteStatement(sqlite3* db, const std::string& sql) : db_(db) {
        int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &s_, nullptr);
        if (rc != SQLITE_OK) RaiseSqlite(db, rc, "");
    }
    ~LiteStatement() { sqlite3_finalize(s_); }
    LiteStatement(const LiteStatement&) = delete;
    LiteStatement& operator=(const LiteStatement&) = delete;
    sqlite3_stmt* operator*() const { return s_; }
    void Reset() {
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
    }
    bool Step() {
        int rc = sqlite3_step(s_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) {
            sqlite3_reset(s_);
            RaiseSqlite(db_, rc, "");
        }
        return false;
    }

private:
    sqlite3* db_;
    sqlite3_stmt* s_ = nullptr;
};

std::string_view ColumnBlob(sqlite3_stmt* s, int i) {
    const void* p = sqlite3_column_blob(s, i);
    return p ? std::string_view(static_cast<const char*>(p),
                                static_cast<std::size_t>(sqlite3_column_bytes(s, i)))
             : std::string_view();
}

sqlite3* LiteHandle(DataService& db) {
    auto* lite = dynamic_cast<SqliteDataService*>(&db);
    return lite ? lite->Handle() : nullptr;
}

std::string RtreeOf(const SpatialTable& t) {
    return std::string("rtree_") + t.table + "_geom";
}

// EWKB: the WKB type word flagged as followed by an SRID, and the SRID after it.
std::string WithSrid(std::string wkb, std::uint32_t srid) {
    constexpr std::uint32_t kHasSrid = 0x20000000;
    std::uint32_t type = 0;
    std::memcpy(&type, wkb.data() + 1, sizeof type);
    type |= kHasSrid;
    std::memcpy(wkb.data() + 1, &type, sizeof type);
    char bytes[sizeof srid];
    std::memcpy(bytes, &srid, sizeof srid);
    wkb.insert(1 + sizeof type, bytes, sizeof bytes);
    return wkb;
}

} // namespace

struct GeometryWriter::Lite {
    Lite(sqlite3* h, const std::string& sql) : insert(h, sql) {}
    LiteStatement insert;
    std::unique_ptr<LiteStatement> rtree;
};

GeometryWriter::GeometryWriter(DataService& db, const SpatialTable& table, const char* nameColumn,
                               bool bulk)
    : db_(db), named_(nameColumn != nullptr) {
    std::string cols = std::string(table.key) + (named_ ? std::string(", ") + nameColumn : "");
    const std::string marks = named_ ? "?, ?" : "?";
    if (sqlite3* h = LiteHandle(db)) {
        lite_ = std::make_unique<Lite>(h, "INSERT INTO " + std::string(table.table) + " (" + cols +
                                              ", geom) VALUES (" + marks + ", ?)");
        if (bulk)
            lite_->rtree = std::make_unique<LiteStatement>(h, "INSERT INTO " + RtreeOf(table) +
                                                                  " VALUES (?, ?, ?, ?, ?)");
        return;
    }
    // PostGIS reads a geometry from the hex of its EWKB (WKB carrying its SRID), as a
    // parameter and in COPY alike, so a bulk load can send the rows with COPY.
    pg_ = db.Prepare("INSERT INTO " + std::string(table.table) + " (" + cols + ", geom) VALUES (" +
                     marks + ", ?)");
}

GeometryWriter::~GeometryWriter() = default;

void GeometryWriter::Write(long id, const MultiPolygon& g, const std::string& name) {
    if (lite_) {
        const std::string blob = ToGpkgBlob(g);
        LiteStatement& s = lite_->insert;
        s.Reset();
        int i = 1;
        sqlite3_bind_int64(*s, i++, id);
        if (named_) sqlite3_bind_text(*s, i++, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_blob(*s, i++, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
        s.Step();
        s.Reset();
        if (lite_->rtree) {
            const Extent e = ExtentOf(g);
            if (e.empty) return;
            LiteStatement& r = *lite_->rtree;
            r.Reset();
            sqlite3_bind_int64(*r, 1, id);
            sqlite3_bind_double(*r, 2, e.minLon);
            sqlite3_bind_double(*r, 3, e.maxLon);
            sqlite3_bind_double(*r, 4, e.minLat);
            sqlite3_bind_double(*r, 5, e.maxLat);
            r.Step();
        }
        return;
    }
    int i = 1;
    pg_->Bind(i++, Variant(static_cast<int>(id)));
    if (named_) pg_->Bind(i++, Variant(name));
    pg_->Bind(i++, Variant(ToHex(WithSrid(ToWkb(g), 4326))));
    pg_->Execute();
}

std::optional<MultiPolygon> ReadGeometry(DataService& db, const SpatialTable& table, long id) {
    if (sqlite3* h = LiteHandle(db)) {
        LiteStatement s(h, "SELECT geom FROM " + std::string(table.table) + " WHERE " + table.key +
                               " = ?");
        sqlite3_bind_int64(*s, 1, id);
        if (!s.Step() || sqlite3_column_type(*s, 0) == SQLITE_NULL) return std::nullopt;
        return FromGpkgBlob(ColumnBlob(*s, 0));
    }
    auto rs = db.Query("SELECT encode(ST_AsBinary(geom), 'hex') AS wkb FROM " +
                           std::string(table.table) + " WHERE " + table.key + " = ?",
                       {Variant(static_cast<int>(id))});
    if (rs->EOF() || rs->Value("wkb").IsNull()) return std::nullopt;
    return FromWkb(FromHex(CStr(rs->Value("wkb"))));
}

std::vector<KeyedGeometry> GeometriesIn(DataService& db, const SpatialTable& table, const Extent& e,
                                        int limit) {
    std::vector<KeyedGeometry> out;
    if (e.empty) return out;
    if (sqlite3* h = LiteHandle(db)) {
        LiteStatement s(h, "SELECT t." + std::string(table.key) + ", t.geom FROM " +
                               RtreeOf(table) + " r JOIN " + table.table + " t ON t." + table.key +
                               " = r.id WHERE r.minx <= ? AND r.maxx >= ? AND r.miny <= ? AND "
                               "r.maxy >= ? LIMIT ?");
        sqlite3_bind_double(*s, 1, e.maxLon);
        sqlite3_bind_double(*s, 2, e.minLon);
        sqlite3_bind_double(*s, 3, e.maxLat);
        sqlite3_bind_double(*s, 4, e.minLat);
        sqlite3_bind_int(*s, 5, limit);
        while (s.Step())
            out.push_back(
                {static_cast<long>(sqlite3_column_int64(*s, 0)), FromGpkgBlob(ColumnBlob(*s, 1))});
        return out;
    }
    auto rs = db.Query("SELECT " + std::string(table.key) +
                           " AS id, encode(ST_AsBinary(geom), 'hex') AS wkb FROM " + table.table +
                           " WHERE geom && ST_MakeEnvelope(?, ?, ?, ?, 4326) LIMIT ?",
                       {Variant(e.minLon), Variant(e.minLat), Variant(e.maxLon), Variant(e.maxLat),
                        Variant(limit)});
    for (; !rs->EOF(); rs->MoveNext())
        out.push_back(
            {static_cast<long>(CLng(rs->Value("id"))), FromWkb(FromHex(CStr(rs->Value("wkb"))))});
    return out;
}

const SpatialTable& ShapeTable() {
    return SpatialTables()[0];
}
const SpatialTable& CountyTable() {
    return SpatialTables()[1];
}
const SpatialTable& StateTable() {
    return SpatialTables()[2];
}

} // namespace zelk::host::gis
