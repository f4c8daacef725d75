#pragma once

#include <QString>
#include <Qt>

#include <string>
#include <vector>

class QWidget;

namespace zelk::view {

struct KeyStroke {
    int key = 0; // Qt::Key
    Qt::KeyboardModifiers modifiers;
    QString text;
};

// Parses the key notation of SendKeys: "^" Ctrl, "+" Shift, "%" Alt before a key; "{F1}",
// "{ENTER}", "{TAB}", "{DEL}", "{BS}", "{ESC}", "{HOME}", "{END}", "{LEFT}" ...; "~" Enter;
// "{{}" and "{}}" for braces; other characters type themselves. Unknown names are skipped.
std::vector<KeyStroke> ParseSendKeys(const std::string& keys);

// Sends the keys to the widget as presses and releases (nothing when it is null).
void SendKeysTo(QWidget* widget, const std::string& keys);

} // namespace zelk::view
