#include "view/Icons.h"

#include "platform/Strings.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QStyle>

#include <array>
#include <utility>

namespace zelk::view {

namespace {

// Parts of a name and the standard icon they stand for; the first match wins.
constexpr std::array<std::pair<const char*, QStyle::StandardPixmap>, 19> kStandard{{
    {"save", QStyle::SP_DialogSaveButton},
    {"open", QStyle::SP_DialogOpenButton},
    {"new", QStyle::SP_FileIcon},
    {"delete", QStyle::SP_TrashIcon},
    {"find", QStyle::SP_FileDialogContentsView},
    {"search", QStyle::SP_FileDialogContentsView},
    {"first", QStyle::SP_MediaSkipBackward},
    {"last", QStyle::SP_MediaSkipForward},
    {"prev", QStyle::SP_ArrowBack},
    {"back", QStyle::SP_ArrowBack},
    {"next", QStyle::SP_ArrowForward},
    {"forward", QStyle::SP_ArrowForward},
    {"refresh", QStyle::SP_BrowserReload},
    {"reload", QStyle::SP_BrowserReload},
    {"close", QStyle::SP_DialogCloseButton},
    {"exit", QStyle::SP_DialogCloseButton},
    {"cancel", QStyle::SP_DialogCancelButton},
    {"ok", QStyle::SP_DialogOkButton},
    {"list", QStyle::SP_FileDialogListView},
}};

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
    std::string lower = LCase(name);
    for (auto [part, pixmap] : kStandard)
        if (lower.starts_with(part) || lower.ends_with(part))
            return QApplication::style()->standardIcon(pixmap);
    QIcon icon;
    icon.addPixmap(Badge(name, 16));
    icon.addPixmap(Badge(name, 24));
    return icon;
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
