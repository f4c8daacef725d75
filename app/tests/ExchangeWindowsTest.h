#pragma once

#include <QObject>

namespace zelk::view::testing {

// Managed areas out to files and in from them through the workbench's windows.
class ExchangeWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void exportWritesTheWorkingListAndTheSearchResults();
    void cancelledExportLeavesTheFileAsItWas();
    void importPreviewsMapsChecksAndImportsWholeRecords();
};

} // namespace zelk::view::testing
