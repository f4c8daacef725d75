#include "shell/ExportDialog.h"

#include "host/exchange/Exporter.h"
#include "platform/ui/UiDriver.h"
#include "view/HelpWindow.h"
#include "view/UserAction.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelk::view {

namespace ex = host::exchange;

namespace {

constexpr const char* kTitle = "Export";

struct FormatChoice {
    ex::Format format;
    const char* caption;
    const char* suffix;
    const char* filter;
};
const FormatChoice kFormats[] = {
    {ex::Format::Csv, "CSV", "csv", "CSV files (*.csv)"},
    {ex::Format::GeoJson, "GeoJSON", "geojson", "GeoJSON files (*.geojson *.json)"},
    {ex::Format::GeoPackage, "GeoPackage", "gpkg", "GeoPackages (*.gpkg)"},
    {ex::Format::Shapefile, "Shapefile", "shp", "Shapefiles (*.shp)"},
};

} // namespace

ExportDialog::ExportDialog(host::DataService& db, std::vector<long> ids, const QString& what,
                           QWidget* parent)
    : StoppableDialog(parent), db_(db), ids_(std::move(ids)) {
    setObjectName("frmExport");
    setWindowTitle(tr("Export %1").arg(what));
    AddHelpKey(this, "exchange.html");

    format_ = new QComboBox;
    format_->setObjectName("cboFormat");
    for (const auto& f : kFormats)
        format_->addItem(f.caption, static_cast<int>(f.format));
    path_ = new QLineEdit;
    path_->setObjectName("txtFile");
    path_->setText(QDir::home().filePath("managed-areas.csv"));
    browse_ = new QPushButton(tr("&Browse..."));
    browse_->setObjectName("cmdBrowse");
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(path_, 1);
    fileRow->addWidget(browse_);

    auto* form = new QFormLayout;
    form->addRow(tr("Managed areas:"), new QLabel(QString::number(ids_.size())));
    form->addRow(tr("&Format:"), format_);
    form->addRow(tr("F&ile:"), fileRow);

    progress_ = new QProgressBar;
    progress_->setObjectName("prgExport");
    progress_->setRange(0, static_cast<int>(ids_.size()));
    progress_->setValue(0);
    status_ = new QLabel;
    status_->setObjectName("lblStatus");
    status_->setWordWrap(true);

    export_ = new QPushButton(tr("&Export"));
    export_->setObjectName("cmdExport");
    export_->setDefault(true);
    cancel_ = new QPushButton(tr("Cancel"));
    cancel_->setObjectName("cmdCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(export_);
    buttons->addWidget(cancel_);

    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(progress_);
    top->addWidget(status_);
    top->addStretch(1);
    top->addLayout(buttons);

    connect(format_, &QComboBox::currentIndexChanged, this, [this] { FormatChosen(); });
    connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
    connect(export_, &QPushButton::clicked, this, [this] { Export(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
    resize(520, 220);
}

void ExportDialog::FormatChosen() {
    // The file keeps its name and takes the new format's extension.
    const QString text = path_->text().trimmed();
    if (text.isEmpty()) return;
    const QFileInfo info(text);
    const QString suffix = kFormats[format_->currentIndex()].suffix;
    path_->setText(QDir(info.path()).filePath(info.completeBaseName() + "." + suffix));
}

void ExportDialog::Browse() {
    const auto& f = kFormats[format_->currentIndex()];
    const QString chosen =
        QFileDialog::getSaveFileName(this, tr("Export to"), path_->text(), tr(f.filter));
    if (!chosen.isEmpty()) path_->setText(chosen);
}

void ExportDialog::SetRunning(bool on) {
    SetWorking(on);
    format_->setEnabled(!on);
    path_->setEnabled(!on);
    browse_->setEnabled(!on);
    export_->setEnabled(!on);
    cancel_->setText(on ? tr("Cancel") : tr("Close"));
}

bool ExportDialog::Export() {
    if (Running()) return false;
    const QString path = path_->text().trimmed();
    if (path.isEmpty()) {
        Ui().MsgBox("Choose the file to write.", vb::Exclamation, kTitle);
        return false;
    }
    progress_->setRange(0, static_cast<int>(ids_.size()));
    progress_->setValue(0);
    status_->setText(tr("Writing %1...").arg(path));
    SetRunning(true);
    ex::ExportRequest rq;
    rq.ids = ids_;
    rq.format = static_cast<ex::Format>(format_->currentData().toInt());
    rq.path = path.toStdString();
    rq.progress = [this](long done, long total) {
        progress_->setMaximum(static_cast<int>(total));
        progress_->setValue(static_cast<int>(done));
        emit progressed(done, total);
        // The work runs here, on the window's thread: the Cancel button is heard in between.
        QApplication::processEvents();
        return KeepGoing();
    };
    ex::ExportResult r;
    const bool ran = RunUserAction([&] { r = ex::ExportAreas(db_, rq); });
    SetRunning(false);
    if (!ran) {
        status_->setText(tr("The export failed."));
        return false;
    }
    if (!r.error.empty()) {
        status_->setText(tr("The export failed: %1").arg(QString::fromStdString(r.error)));
        Ui().MsgBox("The managed areas could not be exported:\r\n\r\n" + r.error, vb::Exclamation,
                    kTitle);
        return false;
    }
    if (r.cancelled) {
        status_->setText(tr("Cancelled: nothing was written to %1.").arg(path));
        return false;
    }
    status_->setText(
        tr("%n managed area(s) written to %1.", nullptr, static_cast<int>(r.written)).arg(path));
    return true;
}

} // namespace zelk::view
