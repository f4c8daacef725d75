#pragma once

#include <QObject>

namespace zelk::view::testing {

// An administrator's Users window, and the workbench as the reader and the editor it adds.
class UsersTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void anAdministratorAddsAReaderAndAnEditorWhoWorkAsSuch();
    void hostileNamesAreTakenLiterallyOrRefused();
};

} // namespace zelk::view::testing
