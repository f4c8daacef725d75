#pragma once

#include <QByteArray>
#include <QMap>
#include <QRect>
#include <QSettings>
#include <QString>

#include <string>

namespace zelk::view {

// The workbench's settings: an INI file in the user's configuration folder, so tests can point
// it elsewhere (QSettings::setPath for the INI format).
QSettings WorkbenchSettings();

// What the workbench keeps of one user's window layout between sessions: window geometry,
// splitter positions, the last tab of a window and the column widths the user set. Two users
// on one machine keep their own.
class Remembered {
public:
    explicit Remembered(const std::string& userName);

    QByteArray Bytes(const QString& key) const;
    void SetBytes(const QString& key, const QByteArray& value);
    // An invalid rectangle when nothing is kept.
    QRect Rect(const QString& key) const;
    void SetRect(const QString& key, const QRect& value);
    // -1 when nothing is kept.
    int Number(const QString& key) const;
    void SetNumber(const QString& key, int value);
    QMap<QString, int> Widths(const QString& key) const;
    void SetWidths(const QString& key, const QMap<QString, int>& widths);

private:
    QString group_;
};

} // namespace zelk::view
