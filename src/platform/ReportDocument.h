#pragma once

#include <string>
#include <vector>

namespace zelk {

// A document for the host to print: a title, notes under it, and sections of labelled fields,
// tables and pictures. Plain data, so the library builds it without any printing system and
// the host renders it as it likes.
struct ReportTable {
    std::string caption;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

struct ReportField {
    std::string label;
    std::string value;
};

struct ReportSection {
    std::string heading;
    std::vector<ReportField> fields;
    std::vector<ReportTable> tables;
    // Pictures below the tables: PNG files, or a shape's map (MapPicture) that the host draws
    // when the shape has a geometry and leaves out otherwise.
    std::vector<std::string> images;
};

struct ReportDocument {
    std::string title;
    std::vector<std::string> notes;
    std::vector<ReportSection> sections;

    // The document as one HTML page (text escaped), for renderers that take HTML.
    std::string Html() const;
    // Every heading, label, value and cell as lines of text, for logs and scripts.
    std::string Text() const;
};

// The picture source naming the map of a shape, and back (-1 when `source` names none).
std::string MapPicture(long shapeId);
long MapPictureShape(const std::string& source);

// Text made safe inside HTML: markup characters as entities, line breaks as <br>.
std::string HtmlEscaped(const std::string& text);

} // namespace zelk
