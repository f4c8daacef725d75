#include "shell/ImportWindow.h"

#include "host/ReferenceHost.h"
#include "host/exchange/ExchangeColumns.h"
#include "host/exchange/FileRows.h"
#include "host/exchange/RowCheck.h"
#include "platform/ui/UiDriver.h"
#include "view/HelpWindow.h"
#include "view/UserAction.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelk::view {

namespace ex = host::exchange;

namespace {

constexpr const char* kTitle = "Import";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

ImportWindow::ImportWindow(host::ReferenceHost& host, QWidget* parent)
    : StoppableDialog(parent), host_(host) {
    setObjectName("frmImport");
    setWindowTitle(tr("Import Managed Areas"));
    AddHelpKey(this, "exchange.html");

    path_ = new QLineEdit;
    path_->setObjectName("txtFile");
    path_->setPlaceholderText(tr("CSV, GeoJSON, GeoPackage or Shapefile"));
    browse_ = new QPushButton(tr("&Browse..."));
    browse_->setObjectName("cmdBrowse");
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(tr("F&ile:")));
    fileRow->addWidget(path_, 1);
    fileRow->addWidget(browse_);

    preview_ = new QTableWidget;
    preview_->setObjectName("grdPreview");
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->verticalHeader()->setDefaultSectionSize(preview_->fontMetrics().height() + 10);

    rejected_ = new QTableWidget(0, 5);
    rejected_->setObjectName("grdRejected");
    rejected_->setHorizontalHeaderLabels(
        {tr("Row"), tr("Column"), tr("Code"), tr("Message"), tr("Value")});
    rejected_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rejected_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rejected_->verticalHeader()->hide();
    rejected_->horizontalHeader()->setStretchLastSection(true);

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(preview_);
    split->addWidget(rejected_);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);

    summary_ = new QLabel;
    summary_->setObjectName("lblSummary");
    summary_->setWordWrap(true);
    progress_ = new QProgressBar;
    progress_->setObjectName("prgImport");
    progress_->setValue(0);

    check_ = new QPushButton(tr("C&heck"));
    check_->setObjectName("cmdCheck");
    import_ = new QPushButton(tr("&Import"));
    import_->setObjectName("cmdImport");
    report_ = new QPushButton(tr("Save &Report..."));
    report_->setObjectName("cmdSaveReport");
    cancel_ = new QPushButton(tr("Cancel"));
    cancel_->setObjectName("cmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(report_);
    buttons->addStretch(1);
    buttons->addWidget(check_);
    buttons->addWidget(import_);
    buttons->addWidget(cancel_);

    auto* top = new QVBoxLayout(this);
    top->addLayout(fileRow);
    top->addWidget(split, 1);
    top->addWidget(summary_);
    top->addWidget(progress_);
    top->addLayout(buttons);

    // Return in the file box reads the file; it presses no button.
    for (QPushButton* b : {browse_, check_, import_, report_, cancel_})
        b->setAutoDefault(false);
    connect(path_, &QLineEdit::returnPressed, this, [this] { LoadPreview(); });
    connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
    connect(check_, &QPushButton::clicked, this, [this] { Check(); });
    connect(import_, &QPushButton::clicked, this, [this] { Import(); });
    connect(report_, &QPushButton::clicked, this, [this] { BrowseReport(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
    UpdateButtons();
    resize(980, 640);
}

QComboBox* ImportWindow::MappingOf(int column) const {
    return qobject_cast<QComboBox*>(preview_->cellWidget(0, column));
}

void ImportWindow::Browse() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, tr("Import from"), path_->text(),
        tr("Managed areas (*.csv *.geojson *.json *.gpkg *.shp);;All files (*)"));
    if (chosen.isEmpty()) return;
    path_->setText(chosen);
    LoadPreview();
}

bool ImportWindow::LoadPreview() {
    header_.clear();
    haveResult_ = false;
    result_ = {};
    preview_->clear();
    preview_->setRowCount(0);
    preview_->setColumnCount(0);
    rejected_->setRowCount(0);
    progress_->setValue(0);
    summary_->clear();
    ex::FileContents file;
    const std::string path = path_->text().trimmed().toStdString();
    RunUserAction([&] { file = ex::ReadFile(path, kPreviewRows); });
    if (!file.error.empty() || file.header.empty()) {
        summary_->setText(file.error.empty()
                              ? tr("The file has no columns.")
                              : tr("The file cannot be read: %1").arg(Q(file.error)));
        UpdateButtons();
        return false;
    }
    header_ = file.header;
    const int columns = static_cast<int>(header_.size());
    preview_->setColumnCount(columns);
    preview_->setRowCount(1 + static_cast<int>(file.rows.size()));
    QStringList labels, rows{tr("Field")};
    for (const auto& h : header_)
        labels << Q(h);
    preview_->setHorizontalHeaderLabels(labels);

    // Seeded exactly as the import itself will match the headers.
    const ex::ColumnMap seeded = ex::MapColumns(header_, {});
    std::vector<int> fieldOf(header_.size(), -1);
    for (std::size_t f = 0; f < seeded.at.size(); ++f)
        if (seeded.at[f] >= 0)
            fieldOf[static_cast<std::size_t>(seeded.at[f])] = static_cast<int>(f);
    const auto& fields = ex::ExchangeColumns();
    for (int c = 0; c < columns; ++c) {
        auto* combo = new QComboBox;
        combo->setObjectName(QString("cboMap%1").arg(c));
        combo->addItem(kIgnore);
        for (const auto& f : fields)
            combo->addItem(f.name);
        const int f = fieldOf[static_cast<std::size_t>(c)];
        combo->setCurrentIndex(f < 0 ? 0 : f + 1);
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { MappingChanged(); });
        preview_->setCellWidget(0, c, combo);
    }
    for (std::size_t r = 0; r < file.rows.size(); ++r) {
        const auto& row = file.rows[r];
        rows << QString::number(row.number);
        for (std::size_t c = 0; c < row.values.size() && c < header_.size(); ++c)
            preview_->setItem(static_cast<int>(r) + 1, static_cast<int>(c), Cell(Q(row.values[c])));
    }
    preview_->setVerticalHeaderLabels(rows);
    preview_->resizeColumnsToContents();
    summary_->setText(
        file.rows.size() < static_cast<std::size_t>(kPreviewRows)
            ? tr("%n row(s) in the file.", nullptr, static_cast<int>(file.rows.size()))
            : tr("The first %1 rows of the file.").arg(kPreviewRows));
    UpdateButtons();
    return true;
}

std::map<std::string, std::string> ImportWindow::Mapping() const {
    std::map<std::string, std::string> m;
    for (std::size_t c = 0; c < header_.size(); ++c) {
        const QComboBox* combo = MappingOf(static_cast<int>(c));
        const QString chosen = combo ? combo->currentText() : QString(kIgnore);
        m[header_[c]] = chosen == kIgnore ? std::string() : chosen.toStdString();
    }
    return m;
}

void ImportWindow::MappingChanged() {
    // A result found with the other mapping no longer says anything about this one.
    haveResult_ = false;
    result_ = {};
    rejected_->setRowCount(0);
    summary_->clear();
    UpdateButtons();
}

bool ImportWindow::Check() {
    return Run(true);
}

bool ImportWindow::Import() {
    return Run(false);
}

bool ImportWindow::Run(bool dryRun) {
    if (Running() || header_.empty()) return false;
    ex::ImportRequest rq;
    rq.path = path_->text().trimmed().toStdString();
    rq.mapping = Mapping();
    rq.dryRun = dryRun;
    rq.userName = host_.UserName();
    rq.orgUnitId = host_.App()->GetSystemOrgUnitID();
    if (!dryRun) rq.workingList = host_.WorkingList();
    rq.progress = [this](long done, long total) {
        progress_->setMaximum(static_cast<int>(total));
        progress_->setValue(static_cast<int>(done));
        emit progressed(done, total);
        // The import runs on the window's thread: Cancel is heard between records.
        QApplication::processEvents();
        return KeepGoing();
    };
    progress_->setValue(0);
    summary_->setText(dryRun ? tr("Checking...") : tr("Importing..."));
    SetRunning(true);
    ex::ImportResult r;
    const bool ran = RunUserAction([&] { r = ex::ImportAreas(host_.Db(), rq); });
    SetRunning(false);
    if (!ran) {
        summary_->setText(tr("The import failed."));
        return false;
    }
    result_ = std::move(r);
    haveResult_ = true;
    ShowResult(dryRun);
    if (!dryRun && result_.imported > 0) emit imported();
    UpdateButtons();
    return result_.error.empty() && !result_.cancelled;
}

void ImportWindow::ShowResult(bool dryRun) {
    const auto& r = result_;
    QString text = dryRun ? tr("Check: %1 read, %2 would be imported, %3 rejected.")
                                .arg(r.read)
                                .arg(r.error.empty() ? r.read - r.rejected : 0)
                                .arg(r.rejected)
                          : Q(r.Summary());
    if (dryRun && !r.error.empty()) text += " " + Q(r.error);
    if (!r.ignoredColumns.empty()) {
        QStringList ignored;
        for (const auto& c : r.ignoredColumns)
            ignored << Q(c);
        text += " " + tr("Ignored: %1.").arg(ignored.join(", "));
    }
    summary_->setText(text);
    rejected_->setRowCount(static_cast<int>(r.rejections.size()));
    for (std::size_t i = 0; i < r.rejections.size(); ++i) {
        const auto& j = r.rejections[i];
        const int row = static_cast<int>(i);
        rejected_->setItem(row, 0, Cell(QString::number(j.row)));
        rejected_->setItem(row, 1, Cell(Q(j.column)));
        rejected_->setItem(row, 2, Cell(Q(j.code)));
        rejected_->setItem(row, 3, Cell(Q(j.message)));
        rejected_->setItem(row, 4, Cell(Q(j.value)));
    }
    rejected_->resizeColumnsToContents();
}

bool ImportWindow::SaveReport(const QString& path) {
    if (!haveResult_ || path.isEmpty()) return false;
    return RunUserAction([&] { ex::WriteReport(result_, path.toStdString()); });
}

void ImportWindow::BrowseReport() {
    const QString chosen = QFileDialog::getSaveFileName(this, tr("Save the rejected rows"),
                                                        QString(), tr("CSV files (*.csv)"));
    if (!chosen.isEmpty()) SaveReport(chosen);
}

void ImportWindow::SetRunning(bool on) {
    SetWorking(on);
    UpdateButtons();
}

void ImportWindow::UpdateButtons() {
    const bool loaded = !header_.empty();
    path_->setEnabled(!Running());
    browse_->setEnabled(!Running());
    preview_->setEnabled(!Running());
    check_->setEnabled(loaded && !Running());
    import_->setEnabled(loaded && !Running());
    report_->setEnabled(haveResult_ && !result_.rejections.empty() && !Running());
    cancel_->setText(Running() ? tr("Cancel") : tr("Close"));
}

} // namespace zelk::view
