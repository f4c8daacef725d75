#pragma once

#include <QObject>

namespace zelk::view::testing {

// What a user does in the workbench, from the widgets down to the database.
class FlowTest : public QObject {
    Q_OBJECT
private slots:
    void theWorkingListSortsFiltersAndLosesDeletedRows();
    void cleanup();
    void layoutsAreKeptPerUser();
    void accessKeysAreUniqueAndTextFits();
    void databasesAreOpenedMadeAndRemembered();
    void aSearchFillsTheWorkingList();
    void aSlowSearchStopsOnCancelOrEscape();
    void anEditIsCheckedSavedAndShownInTheList();
    void closingWithUnsavedChangesAsks();
    void windowsCloseInAnyOrderWithTheirMenus();
};

} // namespace zelk::view::testing
