#pragma once

#include <QString>
#include <QStringList>

namespace zelk::view {

struct StartupOptions {
    QString database;      // "" = the sample database in the user's data folder
    QString user;          // "" = the user of the operating system
    QString screenshotDir; // render the windows to PNG files there and exit
    bool gallery = false;  // show the control gallery instead of the workbench
    QString error;         // what was wrong with the command line
};

StartupOptions ParseStartup(const QStringList& arguments);
// $XDG_DATA_HOME/wayfold/managed-areas.db (~/.local/share/... when unset).
QString DefaultDatabasePath();

} // namespace zelk::view
