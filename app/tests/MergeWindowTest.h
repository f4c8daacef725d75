#pragma once

#include <QObject>

namespace zelk::view::testing {

// The window that lists what two users changed differently, drawn and used as real widgets.
class MergeWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void conflictsAreListedAndChosenThroughTheWidgets();
};

} // namespace zelk::view::testing
