#include "dialogs/RecordsetGrid.h"

#include "platform/Conv.h"
#include "platform/Strings.h"

#include <cctype>

namespace zelk::dialogs {

namespace {
std::string CellText(const Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : CStr(v);
}
} // namespace

void ShowRecordset(VSFlexGrid& grid, Recordset& rs) {
    int redraw = grid.Redraw();
    grid.SetRedraw(0);
    Fields fields = rs.GetFields();
    const long cols = fields.Count();
    const long records = rs.State() == ad::StateOpen ? rs.RecordCount() : 0;
    grid.SetRows(0);
    grid.SetCols(cols);
    grid.SetRows(records + 1);
    grid.SetFixedRows(1);
    for (long c = 0; c < cols; ++c)
        grid.SetTextMatrix(0, c, fields.Item(static_cast<std::size_t>(c)).Name());
    if (records > 0) {
        rs.MoveFirst();
        for (long r = 1; !rs.EOF() && r <= records; ++r, rs.MoveNext())
            for (long c = 0; c < cols; ++c)
                grid.SetTextMatrix(r, c,
                                   CellText(fields.Item(static_cast<std::size_t>(c)).Value()));
        rs.MoveFirst();
    }
    grid.SetRedraw(redraw);
}

std::string ReadableHeader(const std::string& fieldName) {
    std::vector<std::string> words;
    for (const std::string& piece : Split(LCase(fieldName), " "))
        words.push_back(Trim(piece));
    std::vector<std::string> pieces = Split(Join(words, "_"), "_");
    for (std::string& piece : pieces) {
        if (!piece.empty())
            piece[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(piece[0])));
        if (IEquals(Trim(piece), "id")) piece = "ID";
    }
    return Trim(Join(pieces, " "));
}

} // namespace zelk::dialogs
