#include "view/Icons.h"

#include "platform/Strings.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>

#include <array>
#include <utility>

namespace zelk::view {

namespace {

// Words in a picture's or command's name (lower case, spaces and "&" removed) and the built-in
// icon they stand for; the first match wins, so longer words come before their prefixes.
constexpr std::array<std::pair<const char*, const char*>, 34> kNamed{{
    {"printpreview", "document-print-preview"},
    {"print", "document-print"},
    {"saveas", "document-save"},
    {"save", "document-save"},
    {"opendatabase", "drive-harddisk"},
    {"newdatabase", "folder-new"},
    {"connect", "network-server"},
    {"server", "network-server"},
    {"open", "document-open"},
    {"new", "document-new"},
    {"copy", "edit-copy"},
    {"paste", "edit-paste"},
    {"cut", "edit-cut"},
    {"undo", "edit-undo"},
    {"delete", "edit-delete"},
    {"remove", "list-remove"},
    {"find", "edit-find"},
    {"search", "edit-find"},
    {"goto", "go-jump"},
    {"viewshape", "mark-location"},
    {"map", "mark-location"},
    {"texteditor", "accessories-text-editor"},
    {"spellcheck", "tools-check-spelling"},
    {"spelling", "tools-check-spelling"},
    {"help", "help-browser"},
    {"first", "go-first"},
    {"last", "go-last"},
    {"previous", "go-previous"},
    {"prev", "go-previous"},
    {"next", "go-next"},
    {"refresh", "view-refresh"},
    {"users", "system-users"},
    {"exit", "application-exit"},
    {"close", "window-close"},
}};

std::string Squeezed(const std::string& name) {
    std::string out;
    for (char ch : LCase(name))
        if (ch != ' ' && ch != '&' && ch != '.' && ch != '_' && ch != '-') out += ch;
    return out;
}

// The built-in icon at 24 and 48 pixels: Qt takes the 48 one on a screen of twice the
// density, and scales one of them for other sizes.
QIcon Builtin(const char* file) {
    QIcon icon;
    for (const char* size : {"24", "48"}) {
        const QString path = QStringLiteral(":/icons/%1/%2.png").arg(size, file);
        if (QFileInfo::exists(path)) icon.addFile(path);
    }
    return icon;
}

QString Initials(const std::string& name) {
    if (LCase(name).starts_with("help")) return QStringLiteral("?");
    QString out;
    for (std::size_t i = 0; i < name.size() && out.size() < 2; ++i) {
        char ch = name[i];
        bool start =
            i == 0 || (ch >= 'A' && ch <= 'Z' && !(name[i - 1] >= 'A' && name[i - 1] <= 'Z'));
        if (start && ch != ' ' && ch != '_') out += QChar(ch).toUpper();
    }
    return out.isEmpty() ? QStringLiteral("?") : out;
}

QPixmap Badge(const std::string& name, int side) {
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    uint hue = qHash(QString::fromStdString(LCase(name))) % 360;
    p.setBrush(QColor::fromHsv(static_cast<int>(hue), 90, 170));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, side - 2, side - 2), 3, 3);
    QFont f = p.font();
    f.setPixelSize(side / 2);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, side, side), Qt::AlignCenter, Initials(name));
    return pm;
}

QPixmap WaitPicture(QSize size) {
    QPixmap pm(size.isEmpty() ? QSize(160, 48) : size);
    pm.fill(QColor(255, 255, 225));
    QPainter p(&pm);
    p.setPen(QColor(120, 120, 90));
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("Please wait..."));
    return pm;
}

} // namespace

QIcon IconFor(const std::string& name) {
    if (name.empty()) return {};
    QString file = QString::fromStdString(name);
    if (QFileInfo(file).isFile()) return QIcon(file);
    if (QIcon named = CommandIcon(name); !named.isNull()) return named;
    QIcon icon;
    icon.addPixmap(Badge(name, 16));
    icon.addPixmap(Badge(name, 24));
    return icon;
}

QIcon CommandIcon(const std::string& name) {
    const std::string key = Squeezed(name);
    if (key.empty()) return {};
    for (auto [word, file] : kNamed)
        if (key.starts_with(word) || key.ends_with(word)) return Builtin(file);
    return {};
}

QPixmap PictureFor(const std::string& name, QSize size) {
    if (name.empty()) return {};
    if (IEquals(name, "PleaseWait")) return WaitPicture(size);
    QString file = QString::fromStdString(name);
    if (QFileInfo(file).isFile()) return QPixmap(file);
    int side = std::min(size.width(), size.height());
    return IconFor(name).pixmap(side > 0 ? std::min(side, 32) : 32);
}

} // namespace zelk::view
