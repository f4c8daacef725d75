#include "view/Convert.h"

#include "platform/ui/Control.h"

#include <algorithm>
#include <cmath>

namespace zelk::view {

int Px(long twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / 15.0));
}

long Twips(int px) {
    return static_cast<long>(px) * 15L;
}

QRect GeometryOf(const Control& c) {
    return QRect(Px(c.Left()), Px(c.Top()), Px(c.Width()), Px(c.Height()));
}

long ByteOffset(const QString& text, int index) {
    index = std::clamp(index, 0, static_cast<int>(text.size()));
    return static_cast<long>(text.left(index).toUtf8().size());
}

int CharIndex(const std::string& text, long byteOffset) {
    auto n = static_cast<std::size_t>(std::clamp(byteOffset, 0L, static_cast<long>(text.size())));
    return static_cast<int>(QString::fromUtf8(text.data(), static_cast<qsizetype>(n)).size());
}

} // namespace zelk::view
