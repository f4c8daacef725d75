#include "shell/Startup.h"

#include <QDir>

namespace zelk::view {

StartupOptions ParseStartup(const QStringList& args) {
    StartupOptions o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) {
            if (i + 1 >= args.size() || args[i + 1].startsWith("--")) {
                o.error = QString("%1 needs a value").arg(a);
                return;
            }
            into = args[++i];
        };
        if (a == "--db")
            value(o.database);
        else if (a == "--user")
            value(o.user);
        else if (a == "--screenshot")
            value(o.screenshotDir);
        else if (a == "--gallery")
            o.gallery = true;
        else
            o.error = QString("unknown argument %1").arg(a);
        if (!o.error.isEmpty()) break;
    }
    return o;
}

QString DefaultDatabasePath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) base = QDir::home().filePath(".local/share");
    return QDir(base).filePath("wayfold/managed-areas.db");
}

} // namespace zelk::view
