#pragma once

#include <QIcon>
#include <QPixmap>

#include <string>

namespace zelk::view {

// Pictures are named in the model (an image list key, or a file). A name that is an existing
// image file is loaded; a known command name gets its built-in icon; anything else a small
// drawn badge with the name's initials, so every button shows something.
QIcon IconFor(const std::string& name);
// The built-in icon of a command named by a picture key or a menu caption ("&Save",
// "SpellCheck", "Goto Record..."); null when no icon stands for it.
QIcon CommandIcon(const std::string& name);
// The picture of a picture box; "PleaseWait" is the wait panel.
QPixmap PictureFor(const std::string& name, QSize size);

} // namespace zelk::view
