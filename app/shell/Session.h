#pragma once

#include <QInputDialog>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace zelk::host {
class ReferenceHost;
}

namespace zelk::view {

class MainWindow;
class MapWindows;

// The database the workbench works on and the main window over it. Another database replaces
// both: the windows close first (asking to save as closing does), then the new one opens.
class Session : public QObject {
    Q_OBJECT
public:
    // `user` is the name to sign in with on a file ("" = the operating system's user).
    explicit Session(QString user, QObject* parent = nullptr);
    ~Session() override;

    // Opens a SQLite file or a server URL and shows its windows. False, with the old windows
    // back, when the user kept them open or the database could not be opened (the message is
    // shown through the UI driver).
    bool Open(const QString& database);
    // Makes a new SQLite file, empty (`sampleAreas` 0) or with that many sample areas, with a
    // progress bar while it is written, and opens it. A file that exists is refused.
    bool Create(const QString& file, int sampleAreas);
    // Opens a server database as `user` (none: the URL's own); the password is asked for by
    // `password` when the server wants one and is never kept.
    bool Connect(const QString& url, const QString& user, const std::function<QString()>& password);

    MainWindow* Main() const { return main_.get(); }
    host::ReferenceHost* Host() const { return host_.get(); }
    // The databases opened last, newest first, at most 8; a server's without its password.
    static QStringList RecentDatabases();
    // The sizes New Database offers for sample data.
    static QList<int> SampleSizes() { return {0, 100, 500, 5000, 50000}; }
    // The first question of New Database...: what the new file holds, one of SampleSizes()
    // in the order given.
    static std::unique_ptr<QInputDialog> NewDatabaseDialog(QWidget* parent);

    // Shown while a new database is written, 0..100 (for a progress bar or a test).
    std::function<void(int percent)> progress;

signals:
    void opened(const QString& database);

private:
    bool OpenWith(const QString& database, int sampleAreas, bool sampleData);
    void Show();
    void AskOpen();
    void AskCreate();
    void AskConnect();
    void Remember(const QString& database);

    QString user_;
    std::unique_ptr<host::ReferenceHost> host_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<MapWindows> maps_;
    QString database_;
};

} // namespace zelk::view
