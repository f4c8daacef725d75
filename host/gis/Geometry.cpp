#include "host/gis/Geometry.h"

#include "platform/Error.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace zelk::host::gis {

namespace {

constexpr std::uint32_t kWkbPolygon = 3, kWkbMultiPolygon = 6;
constexpr std::int32_t kWgs84 = 4326;

[[noreturn]] void Bad(const std::string& what) {
    Raise(err::InvalidArgument, "The geometry cannot be read: " + what + ".", "Geometry");
}

template <class T> void Put(std::string& out, T v) {
    char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T)); // the host is little endian, as the written form says
    out.append(b, sizeof(T));
}

class Reader {
public:
    explicit Reader(std::string_view s) : s_(s) {}
    void Order() { little_ = Byte() == 1; }
    std::uint8_t Byte() {
        Need(1);
        return static_cast<std::uint8_t>(s_[pos_++]);
    }
    std::uint32_t U32() {
        Need(4);
        std::uint32_t v = 0;
        std::memcpy(&v, s_.data() + pos_, 4);
        pos_ += 4;
        if (!little_) v = __builtin_bswap32(v);
        return v;
    }
    double F64() {
        Need(8);
        std::uint64_t v = 0;
        std::memcpy(&v, s_.data() + pos_, 8);
        pos_ += 8;
        if (!little_) v = __builtin_bswap64(v);
        double d = 0;
        std::memcpy(&d, &v, 8);
        return d;
    }
    void Need(std::size_t n) const {
        if (s_.size() - pos_ < n) Bad("it ends early");
    }
    std::size_t Left() const { return s_.size() - pos_; }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
    bool little_ = true;
};

Polygon ReadPolygonBody(Reader& r) {
    Polygon p;
    std::uint32_t rings = r.U32();
    if (rings > r.Left() / 4) Bad("it counts more rings than it holds");
    p.rings.resize(rings);
    for (Ring& ring : p.rings) {
        std::uint32_t n = r.U32();
        if (n > r.Left() / 16) Bad("it counts more points than it holds");
        ring.resize(n);
        for (LonLat& pt : ring) {
            pt.lon = r.F64();
            pt.lat = r.F64();
        }
    }
    return p;
}

// The geometry type without its Z/M flags; only plain 2D types are accepted.
std::uint32_t ReadType(Reader& r) {
    r.Order();
    std::uint32_t t = r.U32();
    if (t != kWkbPolygon && t != kWkbMultiPolygon) Bad("it is no polygon");
    return t;
}

// Envelope and flags of a GeoPackage header; the offset of the WKB behind it.
struct Header {
    bool empty = false;
    std::optional<Extent> envelope;
    std::size_t wkbOffset = 0;
};

Header ReadHeader(std::string_view blob) {
    if (blob.size() < 8 || blob[0] != 'G' || blob[1] != 'P') Bad("it is no GeoPackage geometry");
    const auto flags = static_cast<std::uint8_t>(blob[3]);
    const bool little = flags & 1;
    const int envelope = (flags >> 1) & 7;
    static const int sizes[] = {0, 32, 48, 48, 64};
    if (envelope > 4) Bad("its envelope kind is unknown");
    Header h;
    h.empty = (flags >> 4) & 1;
    h.wkbOffset = 8 + static_cast<std::size_t>(sizes[envelope]);
    if (blob.size() < h.wkbOffset) Bad("it ends early");
    if (envelope > 0) {
        auto f64 = [&](std::size_t at) {
            std::uint64_t v = 0;
            std::memcpy(&v, blob.data() + at, 8);
            if (!little) v = __builtin_bswap64(v);
            double d = 0;
            std::memcpy(&d, &v, 8);
            return d;
        };
        Extent e;
        e.minLon = f64(8);
        e.maxLon = f64(16);
        e.minLat = f64(24);
        e.maxLat = f64(32);
        e.empty = false;
        h.envelope = e;
    }
    return h;
}

} // namespace

void Extent::Add(LonLat p) {
    if (empty) {
        minLon = maxLon = p.lon;
        minLat = maxLat = p.lat;
        empty = false;
        return;
    }
    minLon = std::min(minLon, p.lon);
    maxLon = std::max(maxLon, p.lon);
    minLat = std::min(minLat, p.lat);
    maxLat = std::max(maxLat, p.lat);
}

void Extent::Add(const Extent& e) {
    if (e.empty) return;
    Add(LonLat{e.minLon, e.minLat});
    Add(LonLat{e.maxLon, e.maxLat});
}

Extent ExtentOf(const MultiPolygon& g) {
    Extent e;
    for (const Polygon& p : g)
        if (!p.rings.empty())
            for (const LonLat& pt : p.rings.front())
                e.Add(pt);
    return e;
}

std::size_t PointCount(const MultiPolygon& g) {
    std::size_t n = 0;
    for (const Polygon& p : g)
        for (const Ring& r : p.rings)
            n += r.size();
    return n;
}

std::string ToWkb(const MultiPolygon& g) {
    std::string out;
    out.reserve(9 + PointCount(g) * 16 + g.size() * 13);
    out += '\1';
    Put<std::uint32_t>(out, kWkbMultiPolygon);
    Put<std::uint32_t>(out, static_cast<std::uint32_t>(g.size()));
    for (const Polygon& p : g) {
        out += '\1';
        Put<std::uint32_t>(out, kWkbPolygon);
        Put<std::uint32_t>(out, static_cast<std::uint32_t>(p.rings.size()));
        for (const Ring& r : p.rings) {
            Put<std::uint32_t>(out, static_cast<std::uint32_t>(r.size()));
            for (const LonLat& pt : r) {
                Put(out, pt.lon);
                Put(out, pt.lat);
            }
        }
    }
    return out;
}

MultiPolygon FromWkb(std::string_view wkb) {
    Reader r(wkb);
    MultiPolygon g;
    if (ReadType(r) == kWkbPolygon) {
        g.push_back(ReadPolygonBody(r));
        return g;
    }
    std::uint32_t n = r.U32();
    if (n > r.Left() / 9) Bad("it counts more polygons than it holds");
    g.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        if (ReadType(r) != kWkbPolygon) Bad("a part is no polygon");
        g.push_back(ReadPolygonBody(r));
    }
    return g;
}

std::string ToGpkgBlob(const MultiPolygon& g) {
    const Extent e = ExtentOf(g);
    std::string out = "GP";
    out += '\0'; // version 1
    // Little endian; an XY envelope unless empty, which has none and says so.
    out += static_cast<char>(e.empty ? 0x11 : 0x03);
    Put(out, kWgs84);
    if (!e.empty) {
        Put(out, e.minLon);
        Put(out, e.maxLon);
        Put(out, e.minLat);
        Put(out, e.maxLat);
    }
    out += ToWkb(g);
    return out;
}

MultiPolygon FromGpkgBlob(std::string_view blob) {
    Header h = ReadHeader(blob);
    return FromWkb(blob.substr(h.wkbOffset));
}

std::optional<Extent> GpkgBlobExtent(std::string_view blob) {
    Header h = ReadHeader(blob);
    if (h.empty) return std::nullopt;
    if (h.envelope) return h.envelope;
    Extent e = ExtentOf(FromWkb(blob.substr(h.wkbOffset)));
    if (e.empty) return std::nullopt;
    return e;
}

bool GpkgBlobIsEmpty(std::string_view blob) {
    return !GpkgBlobExtent(blob).has_value();
}

std::string ToHex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.resize(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[2 * i] = digits[b >> 4];
        out[2 * i + 1] = digits[b & 15];
    }
    return out;
}

std::string FromHex(std::string_view hex) {
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        Bad("its hexadecimal text holds other characters");
    };
    if (hex.size() % 2) Bad("its hexadecimal text has an odd length");
    std::string out(hex.size() / 2, '\0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(nibble(hex[2 * i]) * 16 + nibble(hex[2 * i + 1]));
    return out;
}

} // namespace zelk::host::gis
