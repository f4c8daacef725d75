#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zelk::host {
class DataService;
}

namespace zelk::view {

// The users of the database, for administrators: who may read, edit or administer, and in
// which organisation unit. Every change goes through the host's user directory, so on a
// server the server creates the logins and grants the rights (and refuses what an
// administrator may not do); refusals are shown and the list stays as the database has it.
class UsersWindow : public QDialog {
    Q_OBJECT
public:
    explicit UsersWindow(host::DataService& db, QWidget* parent = nullptr);

    QTableWidget* List() const { return list_; }
    // Fills the list from the database again.
    void Reload();
    void AddUser();
    void ChangeUser();
    void RemoveUser();

private:
    void ShowSelected();
    // Runs a change; a refusal is shown to the user. Answers whether it went through.
    bool Apply(const std::function<void()>& change);

    host::DataService& db_;
    bool server_ = false;
    QTableWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* access_ = nullptr;
    QComboBox* org_ = nullptr;
    QLineEdit* password_ = nullptr;
};

} // namespace zelk::view
