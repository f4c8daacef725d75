#pragma once

#include <QIcon>
#include <QPixmap>

#include <string>

namespace zelk::view {

// Pictures are named in the model (an image list key, or a file). A name that is an existing
// image file is loaded; a known command name gets the style's standard icon; anything else a
// small drawn badge with the name's initials, so every button shows something.
QIcon IconFor(const std::string& name);
// The picture of a picture box; "PleaseWait" is the wait panel.
QPixmap PictureFor(const std::string& name, QSize size);

} // namespace zelk::view
