#pragma once

#include <QRect>
#include <QString>

#include <string>

namespace zelk {
class Control;
}

namespace zelk::view {

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
    return s.toStdString();
}

// Twips to logical pixels (15 twips a pixel at 96 dpi); Qt scales logical pixels on
// high-density screens.
int Px(long twips);
long Twips(int px);
// Position and size of a control inside its container, in pixels.
QRect GeometryOf(const Control& control);

// The model counts text positions in bytes of UTF-8, Qt in UTF-16 units.
long ByteOffset(const QString& text, int index);
int CharIndex(const std::string& text, long byteOffset);

} // namespace zelk::view
