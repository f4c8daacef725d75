#include "view/SendKeys.h"

#include "platform/Strings.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include <array>
#include <utility>

namespace zelk::view {

namespace {
constexpr std::array<std::pair<const char*, int>, 20> kNamed{{
    {"ENTER", Qt::Key_Return},  {"TAB", Qt::Key_Tab},       {"ESC", Qt::Key_Escape},
    {"ESCAPE", Qt::Key_Escape}, {"BS", Qt::Key_Backspace},  {"BACKSPACE", Qt::Key_Backspace},
    {"DEL", Qt::Key_Delete},    {"DELETE", Qt::Key_Delete}, {"HOME", Qt::Key_Home},
    {"END", Qt::Key_End},       {"LEFT", Qt::Key_Left},     {"RIGHT", Qt::Key_Right},
    {"UP", Qt::Key_Up},         {"DOWN", Qt::Key_Down},     {"PGUP", Qt::Key_PageUp},
    {"PGDN", Qt::Key_PageDown}, {"INSERT", Qt::Key_Insert}, {"INS", Qt::Key_Insert},
    {"SPACE", Qt::Key_Space},   {"BREAK", Qt::Key_Cancel},
}};

int NamedKey(const std::string& name) {
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        bool digits = true;
        for (std::size_t i = 1; i < name.size(); ++i)
            digits = digits && name[i] >= '0' && name[i] <= '9';
        if (digits) {
            int n = std::stoi(name.substr(1));
            if (n >= 1 && n <= 24) return Qt::Key_F1 + n - 1;
        }
    }
    for (auto [n, k] : kNamed)
        if (IEquals(name, n)) return k;
    return 0;
}

KeyStroke CharStroke(char ch, Qt::KeyboardModifiers mods) {
    KeyStroke s;
    s.modifiers = mods;
    QChar c = QChar::fromLatin1(ch);
    if (c.isLetter())
        s.key = Qt::Key_A + (c.toUpper().unicode() - 'A');
    else if (c.isDigit())
        s.key = Qt::Key_0 + (ch - '0');
    else
        s.key = c.unicode(); // Qt's codes for printable Latin-1 are the characters
    if (!(mods & (Qt::ControlModifier | Qt::AltModifier)))
        s.text = (mods & Qt::ShiftModifier) ? QString(c.toUpper()) : QString(c);
    return s;
}
} // namespace

std::vector<KeyStroke> ParseSendKeys(const std::string& keys) {
    std::vector<KeyStroke> out;
    Qt::KeyboardModifiers mods;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        char ch = keys[i];
        if (ch == '^') {
            mods |= Qt::ControlModifier;
            continue;
        }
        if (ch == '+') {
            mods |= Qt::ShiftModifier;
            continue;
        }
        if (ch == '%') {
            mods |= Qt::AltModifier;
            continue;
        }
        if (ch == '~') {
            out.push_back({Qt::Key_Return, mods, mods ? QString() : QStringLiteral("\r")});
        } else if (ch == '{') {
            // "{}}" names the closing brace itself.
            std::size_t close = keys.find('}', i + 2);
            if (close == std::string::npos) close = keys.find('}', i + 1);
            if (close == std::string::npos) break;
            std::string name = keys.substr(i + 1, close - i - 1);
            i = close;
            if (name.size() == 1) {
                out.push_back(CharStroke(name[0], mods));
            } else if (int k = NamedKey(name)) {
                QString text;
                if (!mods && k == Qt::Key_Return) text = "\r";
                if (!mods && k == Qt::Key_Tab) text = "\t";
                out.push_back({k, mods, text});
            }
        } else {
            out.push_back(CharStroke(ch, mods));
        }
        mods = {};
    }
    return out;
}

void SendKeysTo(QWidget* widget, const std::string& keys) {
    QPointer<QWidget> target(widget);
    for (const KeyStroke& s : ParseSendKeys(keys)) {
        if (!target) return;
        QKeyEvent press(QEvent::KeyPress, s.key, s.modifiers, s.text);
        QCoreApplication::sendEvent(target, &press);
        if (!target) return;
        QKeyEvent release(QEvent::KeyRelease, s.key, s.modifiers, s.text);
        QCoreApplication::sendEvent(target, &release);
    }
}

} // namespace zelk::view
