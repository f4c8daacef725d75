#include "platform/ReportDocument.h"

#include <algorithm>
#include <string_view>

namespace zelk {

namespace {
constexpr std::size_t kColumnsPerPart = 6;

} // namespace

std::string HtmlEscaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\n':
            out += "<br>";
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {
std::string Escaped(const std::string& text) {
    return HtmlEscaped(text);
}
} // namespace

std::string ReportDocument::Html() const {
    std::string h = "<html><head><meta charset=\"utf-8\"><title>" + Escaped(title) +
                    "</title></head><body>\n<h1>" + Escaped(title) + "</h1>\n";
    for (const auto& n : notes)
        h += "<p><b>" + Escaped(n) + "</b></p>\n";
    for (const auto& s : sections) {
        h += "<h2>" + Escaped(s.heading) + "</h2>\n";
        if (!s.fields.empty()) {
            h += "<table cellpadding=\"2\" cellspacing=\"0\">\n";
            for (const auto& f : s.fields)
                h += "<tr><td valign=\"top\"><i>" + Escaped(f.label) + "</i></td><td>" +
                     Escaped(f.value) + "</td></tr>\n";
            h += "</table>\n";
        }
        for (const auto& t : s.tables) {
            if (!t.caption.empty()) h += "<h3>" + Escaped(t.caption) + "</h3>\n";
            if (t.rows.empty()) {
                h += "<p><i>none</i></p>\n";
                continue;
            }
            // A page is narrow: a wide table goes in parts of a few columns each, every part
            // led by the first column so its rows can be told apart.
            const std::size_t n = t.columns.size();
            for (std::size_t from = n > 0 ? 1 : 0; from < std::max<std::size_t>(n, 2);
                 from += kColumnsPerPart - 1) {
                std::vector<std::size_t> cols;
                if (n > 0) cols.push_back(0);
                for (std::size_t c = from; c < n && cols.size() < kColumnsPerPart; ++c)
                    cols.push_back(c);
                h += "<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\" "
                     "width=\"100%\">\n<tr>";
                for (std::size_t c : cols)
                    h += "<th align=\"left\">" + Escaped(t.columns[c]) + "</th>";
                h += "</tr>\n";
                for (const auto& r : t.rows) {
                    h += "<tr>";
                    for (std::size_t c : cols)
                        h += "<td>" + Escaped(c < r.size() ? r[c] : std::string()) + "</td>";
                    h += "</tr>\n";
                }
                h += "</table><br>\n";
                if (n <= 1) break;
            }
        }
        for (const auto& img : s.images)
            h += "<p><img src=\"" + Escaped(img) + "\"></p>\n";
    }
    return h + "</body></html>\n";
}

namespace {
constexpr std::string_view kMapPicture = "map:shape/";
}

std::string MapPicture(long shapeId) {
    return std::string(kMapPicture) + std::to_string(shapeId);
}

long MapPictureShape(const std::string& source) {
    if (source.rfind(kMapPicture, 0) != 0 || source.size() == kMapPicture.size()) return -1;
    long id = 0;
    for (char c : source.substr(kMapPicture.size())) {
        if (c < '0' || c > '9' || id > 100000000000L) return -1;
        id = id * 10 + (c - '0');
    }
    return id;
}

std::string ReportDocument::Text() const {
    std::string t = title + "\n";
    for (const auto& n : notes)
        t += n + "\n";
    for (const auto& s : sections) {
        t += "\n" + s.heading + "\n";
        for (const auto& f : s.fields)
            t += f.label + ": " + f.value + "\n";
        for (const auto& table : s.tables) {
            if (!table.caption.empty()) t += table.caption + "\n";
            std::string header;
            for (const auto& c : table.columns)
                header += (header.empty() ? "" : " | ") + c;
            t += header + "\n";
            if (table.rows.empty()) t += "none\n";
            for (const auto& r : table.rows) {
                std::string line;
                for (const auto& cell : r)
                    line += (line.empty() ? "" : " | ") + cell;
                t += line + "\n";
            }
        }
    }
    return t;
}

} // namespace zelk
