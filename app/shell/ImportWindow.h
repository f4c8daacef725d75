#pragma once

#include "host/exchange/Importer.h"

#include "shell/StoppableDialog.h"

#include <map>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace zelk::host {
class ReferenceHost;
}

namespace zelk::view {

// Brings managed areas in from a file: the first rows of the file with, above each column,
// the field it goes to (matched by header name as the command line matches them, changed with
// the column's combo); Check runs every rule and writes nothing; Import saves each accepted
// row with a progress bar, and Cancel stops between records. The rejected rows are listed and
// can be saved as a report.
class ImportWindow : public StoppableDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewRows = 20;
    static constexpr const char* kIgnore = "(ignore)";

    explicit ImportWindow(host::ReferenceHost& host, QWidget* parent = nullptr);

    QLineEdit* PathEdit() const { return path_; }
    // Row 0 holds the mapping combos; the file's rows follow.
    QTableWidget* Preview() const { return preview_; }
    QComboBox* MappingOf(int column) const;
    QTableWidget* RejectedList() const { return rejected_; }
    QLabel* Summary() const { return summary_; }
    QProgressBar* Progress() const { return progress_; }
    QPushButton* CheckButton() const { return check_; }
    QPushButton* ImportButton() const { return import_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* ReportButton() const { return report_; }
    const host::exchange::ImportResult& LastResult() const { return result_; }

    // Reads the first rows of the file named in the path box; false when it cannot be read.
    bool LoadPreview();
    // Header -> field as the combos say ("" for an ignored column).
    std::map<std::string, std::string> Mapping() const;
    // The dry run: every check, nothing written.
    bool Check();
    bool Import();
    bool SaveReport(const QString& path);
    void Browse();
    void BrowseReport();

signals:
    void progressed(long done, long total);
    // Records were imported and added to the host's working list.
    void imported();

private:
    bool Run(bool dryRun);
    void ShowResult(bool dryRun);
    void MappingChanged();
    void SetRunning(bool on);
    void UpdateButtons();

    host::ReferenceHost& host_;
    std::vector<std::string> header_;
    host::exchange::ImportResult result_;
    bool haveResult_ = false;
    QLineEdit* path_ = nullptr;
    QPushButton* browse_ = nullptr;
    QTableWidget* preview_ = nullptr;
    QTableWidget* rejected_ = nullptr;
    QLabel* summary_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* check_ = nullptr;
    QPushButton* import_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* report_ = nullptr;
};

} // namespace zelk::view
