// Our own CSV reader: GDAL's refuses a file with a single column and guesses separators and
// types, where an import wants every value as the user wrote it.
#include "host/exchange/CsvRows.h"

#include "platform/Strings.h"

#include <ogr_geometry.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace zelk::host::exchange {

namespace {

class CsvParser {
public:
    CsvParser(std::string text, char separator) : text_(std::move(text)), sep_(separator) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    // The fields of the next record; false with `error` set when a quote is never closed.
    bool Next(std::vector<std::string>& fields, std::size_t maxFields, std::string& error) {
        fields.clear();
        std::string field;
        bool quoted = false, wasQuoted = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (quoted) {
                if (c != '"') {
                    field += c;
                } else if (pos_ < text_.size() && text_[pos_] == '"') {
                    field += '"';
                    ++pos_;
                } else {
                    quoted = false;
                }
                continue;
            }
            if (c == '"' && !wasQuoted && Trim(field).empty()) {
                quoted = wasQuoted = true;
                field.clear();
            } else if (c == sep_) {
                fields.push_back(std::move(field));
                field.clear();
                wasQuoted = false;
                if (fields.size() > maxFields) {
                    error = "the header has more than " + std::to_string(maxFields) + " columns";
                    return false;
                }
            } else if (c == '\r' || c == '\n') {
                if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
                break;
            } else {
                field += c;
            }
        }
        if (quoted) {
            error = "a quoted field is never closed";
            return false;
        }
        fields.push_back(std::move(field));
        return true;
    }

private:
    std::string text_;
    char sep_;
    std::size_t pos_ = 0;
};

// Comma, unless the header has none but semicolons or tabs (spreadsheets saved in some
// locales).
char SeparatorOf(const std::string& text) {
    const std::string line = text.substr(0, text.find_first_of("\r\n"));
    if (line.find(',') != std::string::npos) return ',';
    if (line.find(';') != std::string::npos) return ';';
    if (line.find('\t') != std::string::npos) return '\t';
    return ',';
}

std::optional<gis::MultiPolygon> ShapeOfWkt(const std::string& wkt, std::string& problem) {
    if (Trim(wkt).empty()) return std::nullopt;
    OGRGeometry* raw = nullptr;
    const char* p = wkt.c_str();
    if (OGRGeometryFactory::createFromWkt(&p, nullptr, &raw) != OGRERR_NONE || !raw) {
        problem = "it is no well-known text";
        return std::nullopt;
    }
    std::unique_ptr<OGRGeometry> g(raw);
    return TakeShape(g.get(), nullptr, problem);
}

} // namespace

FileContents ReadCsv(const std::string& path, long maxRows) {
    FileContents out;
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    if (Trim(text).empty()) {
        out.error = "the file is empty";
        return out;
    }
    CsvParser csv(text, SeparatorOf(text));
    std::vector<std::string> fields;
    if (!csv.Next(fields, kMaxColumns, out.error)) return out;
    int wkt = -1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (wkt < 0 && IEquals(Trim(fields[i]), "WKT"))
            wkt = static_cast<int>(i);
        else
            out.header.push_back(Trim(fields[i]));
    }
    long number = 0;
    while (!csv.AtEnd()) {
        if (!csv.Next(fields, std::string::npos, out.error)) {
            out.error = "it could not be read to its end (" + out.error + ")";
            out.rows.clear();
            return out;
        }
        if (fields.size() == 1 && fields[0].empty()) continue; // a blank line
        FileRow row;
        row.number = ++number;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (static_cast<int>(i) == wkt)
                row.shape = ShapeOfWkt(fields[i], row.shapeProblem);
            else
                row.values.push_back(std::move(fields[i]));
        }
        out.rows.push_back(std::move(row));
        if (maxRows > 0 && number >= maxRows) break;
    }
    return out;
}

} // namespace zelk::host::exchange
