#include "shell/UsersWindow.h"

#include "host/data/DataService.h"
#include "host/security/Users.h"
#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ui/UiDriver.h"
#include "view/HelpWindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <functional>
#include <optional>

namespace zelk::view {

namespace {
namespace security = host::security;
using security::Access;
constexpr const char* kTitle = "Users";
} // namespace

UsersWindow::UsersWindow(host::DataService& db, QWidget* parent) : QDialog(parent), db_(db) {
    setWindowTitle(tr("Users"));
    setObjectName("frmUsers");
    AddHelpKey(this, "users.html");
    server_ = db_.Dialect() == host::sql::Dialect::PostgreSQL;

    list_ = new QTableWidget(0, 3);
    list_->setObjectName("lstUsers");
    list_->setHorizontalHeaderLabels({tr("User"), tr("Access"), tr("Organisation unit")});
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    connect(list_, &QTableWidget::itemSelectionChanged, this, [this] { ShowSelected(); });

    name_ = new QLineEdit;
    name_->setObjectName("txtUserName");
    access_ = new QComboBox;
    access_->setObjectName("cboAccess");
    for (Access a : {Access::Read, Access::Edit, Access::Admin})
        access_->addItem(security::AccessName(a), static_cast<int>(a));
    org_ = new QComboBox;
    org_->setObjectName("cboOrgUnit");
    auto units = db_.Query("SELECT org_unit_code, org_unit_name FROM org_unit ORDER BY "
                           "org_unit_code");
    for (; !units->EOF(); units->MoveNext())
        org_->addItem(QString::fromStdString(CStr(units->Value("org_unit_code")) + " - " +
                                             CStr(units->Value("org_unit_name"))),
                      QString::fromStdString(CStr(units->Value("org_unit_code"))));
    password_ = new QLineEdit;
    password_->setObjectName("txtPassword");
    password_->setEchoMode(QLineEdit::Password);
    // A file has no passwords: its protection is its file permissions.
    password_->setEnabled(server_);
    password_->setPlaceholderText(server_ ? tr("unchanged when empty") : tr("server logins only"));

    auto* form = new QFormLayout;
    form->addRow(tr("&Name:"), name_);
    form->addRow(tr("&Access:"), access_);
    form->addRow(tr("&Organisation unit:"), org_);
    form->addRow(tr("&Password:"), password_);

    auto* add = new QPushButton(tr("&Add"));
    add->setObjectName("cmdAdd");
    auto* change = new QPushButton(tr("&Save Changes"));
    change->setObjectName("cmdChange");
    auto* remove = new QPushButton(tr("&Remove"));
    remove->setObjectName("cmdRemove");
    auto* close = new QPushButton(tr("Close"));
    close->setObjectName("cmdClose");
    connect(add, &QPushButton::clicked, this, [this] { AddUser(); });
    connect(change, &QPushButton::clicked, this, [this] { ChangeUser(); });
    connect(remove, &QPushButton::clicked, this, [this] { RemoveUser(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(change);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(560, 420);
    Reload();
}

void UsersWindow::Reload() {
    const QString keep = name_->text();
    QSignalBlocker block(list_);
    list_->setRowCount(0);
    for (const security::User& u : security::UserDirectory(db_).List()) {
        int row = list_->rowCount();
        list_->insertRow(row);
        list_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(u.name)));
        list_->setItem(row, 1, new QTableWidgetItem(security::AccessName(u.access)));
        list_->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(u.orgUnit)));
        if (QString::fromStdString(u.name) == keep) list_->selectRow(row);
    }
    list_->resizeColumnsToContents();
}

void UsersWindow::ShowSelected() {
    auto rows = list_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return;
    int row = rows.first().row();
    name_->setText(list_->item(row, 0)->text());
    access_->setCurrentText(list_->item(row, 1)->text());
    int org = org_->findData(list_->item(row, 2)->text());
    if (org >= 0) org_->setCurrentIndex(org);
    password_->clear();
}

bool UsersWindow::Apply(const std::function<void()>& change) {
    try {
        change();
    } catch (const ComError& e) {
        Ui().MsgBox(e.Description(), vb::OKOnly | vb::Exclamation, kTitle);
        Reload();
        return false;
    }
    password_->clear();
    Reload();
    return true;
}

void UsersWindow::AddUser() {
    const std::string name = name_->text().toStdString();
    const auto access = static_cast<Access>(access_->currentData().toInt());
    const std::string org = org_->currentData().toString().toStdString();
    std::optional<std::string> password;
    if (!password_->text().isEmpty()) password = password_->text().toStdString();
    Apply([&] { security::UserDirectory(db_).Add(name, access, org, password); });
}

void UsersWindow::ChangeUser() {
    const std::string name = name_->text().toStdString();
    const auto access = static_cast<Access>(access_->currentData().toInt());
    std::optional<std::string> org = org_->currentData().toString().toStdString();
    if (org->empty()) org.reset();
    std::optional<std::string> password;
    if (!password_->text().isEmpty()) password = password_->text().toStdString();
    Apply([&] { security::UserDirectory(db_).Set(name, access, org, password); });
}

void UsersWindow::RemoveUser() {
    const std::string name = name_->text().toStdString();
    if (name.empty()) return;
    if (Ui().MsgBox("Remove the user " + name + "? On a server their login goes too.",
                    vb::YesNo | vb::Question | vb::DefaultButton2, kTitle) != vb::Yes)
        return;
    if (Apply([&] { security::UserDirectory(db_).Remove(name); })) name_->clear();
}

} // namespace zelk::view
