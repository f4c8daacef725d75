#include "shell/Remembered.h"

#include <QUrl>

namespace zelk::view {

QSettings WorkbenchSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "wayfold", "workbench");
}

namespace {
QSettings Store() {
    return WorkbenchSettings();
}
} // namespace

Remembered::Remembered(const std::string& userName)
    // Encoded: a user name may hold characters QSettings reads as key separators.
    : group_("user-" + QString::fromLatin1(QUrl::toPercentEncoding(
                           QString::fromStdString(userName.empty() ? "-" : userName)))) {}

QByteArray Remembered::Bytes(const QString& key) const {
    return Store().value(group_ + "/" + key).toByteArray();
}

void Remembered::SetBytes(const QString& key, const QByteArray& value) {
    Store().setValue(group_ + "/" + key, value);
}

QRect Remembered::Rect(const QString& key) const {
    return Store().value(group_ + "/" + key).toRect();
}

void Remembered::SetRect(const QString& key, const QRect& value) {
    Store().setValue(group_ + "/" + key, value);
}

int Remembered::Number(const QString& key) const {
    bool ok = false;
    const int n = Store().value(group_ + "/" + key).toInt(&ok);
    return ok ? n : -1;
}

void Remembered::SetNumber(const QString& key, int value) {
    Store().setValue(group_ + "/" + key, value);
}

QMap<QString, int> Remembered::Widths(const QString& key) const {
    QMap<QString, int> out;
    QSettings s = Store();
    s.beginGroup(group_ + "/" + key);
    for (const QString& k : s.childKeys())
        if (const int w = s.value(k).toInt(); w > 0)
            out.insert(QUrl::fromPercentEncoding(k.toLatin1()), w);
    return out;
}

void Remembered::SetWidths(const QString& key, const QMap<QString, int>& widths) {
    QSettings s = Store();
    s.remove(group_ + "/" + key);
    s.beginGroup(group_ + "/" + key);
    for (auto it = widths.begin(); it != widths.end(); ++it)
        s.setValue(QString::fromLatin1(QUrl::toPercentEncoding(it.key())), it.value());
}

} // namespace zelk::view
