#include "shell/FoldedText.h"

#include <algorithm>

namespace zelk::view {

namespace {

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string FoldCase(std::string_view utf8) {
    if (IsAscii(utf8)) {
        std::string out(utf8);
        std::transform(out.begin(), out.end(), out.begin(), FoldAscii);
        return out;
    }
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
        .toCaseFolded()
        .toStdString();
}

TextFilter::TextFilter(const QString& text) : folded_(text.toCaseFolded().toStdString()) {
    ascii_ = IsAscii(folded_);
}

bool TextFilter::Matches(std::string_view cell) const {
    if (folded_.empty()) return true;
    // Only ASCII folds to ASCII both ways, so only then may the bytes be compared as they are.
    if (ascii_ && IsAscii(cell)) {
        const auto at = std::search(cell.begin(), cell.end(), folded_.begin(), folded_.end(),
                                    [](char a, char b) { return FoldAscii(a) == b; });
        return at != cell.end();
    }
    return FoldCase(cell).find(folded_) != std::string::npos;
}

} // namespace zelk::view
