#pragma once

#include "host/exchange/FileRows.h"

#include <string>

namespace zelk::host::exchange {

// A CSV file by RFC 4180: a header row, fields quoted with doubled quotes inside, newlines
// inside quoted fields, CRLF or LF line ends, an optional UTF-8 byte order mark. The bytes of
// each field are kept as they are, so that a file in another encoding is reported per field.
// A column named "WKT" holds the geometry (WGS 84) and is not a value column.
FileContents ReadCsv(const std::string& path, long maxRows);

} // namespace zelk::host::exchange
