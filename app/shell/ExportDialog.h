#pragma once

#include "shell/StoppableDialog.h"

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace zelk::host {
class DataService;
}

namespace zelk::view {

// Writes a chosen set of managed areas to a file: a format, a file name (typed or chosen with
// Browse), then Export with a progress bar; Cancel stops between areas. The end says how many
// areas the file holds.
class ExportDialog : public StoppableDialog {
    Q_OBJECT
public:
    // `ids` are the areas to write; `what` names them in the caption ("the working list").
    ExportDialog(host::DataService& db, std::vector<long> ids, const QString& what,
                 QWidget* parent = nullptr);

    QComboBox* FormatBox() const { return format_; }
    QLineEdit* PathEdit() const { return path_; }
    QProgressBar* Progress() const { return progress_; }
    QLabel* Status() const { return status_; }
    QPushButton* ExportButton() const { return export_; }
    QPushButton* CancelButton() const { return cancel_; }
    const std::vector<long>& Ids() const { return ids_; }

    // Writes the file named in the path box; false when refused, failed or cancelled.
    bool Export();
    void Browse();

signals:
    // After each area written, while the export runs.
    void progressed(long done, long total);

private:
    void FormatChosen();
    void SetRunning(bool on);

    host::DataService& db_;
    std::vector<long> ids_;
    QComboBox* format_ = nullptr;
    QLineEdit* path_ = nullptr;
    QPushButton* browse_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace zelk::view
