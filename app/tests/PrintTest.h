#pragma once

#include <QObject>

namespace zelk::view::testing {

// Print: the record and the working list as documents, checked in the PDF a reader sees.
class PrintTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void aRecordPrintsEveryPageAsShown();
};

} // namespace zelk::view::testing
