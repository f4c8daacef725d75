#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace zelk::view {

// UTF-8 text with case folded away, as Qt folds it for comparisons without regard to case.
// Most cells are plain ASCII: those are folded byte by byte, without a trip through UTF-16.
std::string FoldCase(std::string_view utf8);

// "The cell shows this text", without regard to case, for filtering many rows. The text is
// folded once here; a cell of plain ASCII is searched where it lies.
class TextFilter {
public:
    TextFilter() = default;
    explicit TextFilter(const QString& text);

    bool Empty() const { return folded_.empty(); }
    bool Matches(std::string_view cellUtf8) const;

private:
    std::string folded_;
    bool ascii_ = true;
};

} // namespace zelk::view
