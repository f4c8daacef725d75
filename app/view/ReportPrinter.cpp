#include "view/ReportPrinter.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>

namespace zelk::view {

namespace {
ReportPictureSource& PictureSource() {
    static ReportPictureSource source;
    return source;
}

void Fill(QTextDocument& doc, ReportDocument report) {
    for (ReportSection& s : report.sections)
        std::erase_if(s.images, [&doc](const std::string& img) {
            if (MapPictureShape(img) < 0) return false; // a file, shown as it is
            const QImage picture = PictureSource() ? PictureSource()(img) : QImage();
            if (picture.isNull()) return true;
            doc.addResource(QTextDocument::ImageResource, QUrl(QString::fromStdString(img)),
                            picture);
            return false;
        });
    // Without ligatures, text copied or searched in the PDF reads as it was written.
    QFont font = doc.defaultFont();
    font.setStyleStrategy(QFont::PreferNoShaping);
    doc.setDefaultFont(font);
    doc.setDefaultStyleSheet("h1 { font-size: 16pt; } h2 { font-size: 13pt; margin-top: 12px; }"
                             " h3 { font-size: 11pt; } th { background-color: #e8e8e8; }");
    doc.setHtml(QString::fromStdString(report.Html()));
}
} // namespace

void SetReportPictureSource(ReportPictureSource source) {
    PictureSource() = std::move(source);
}

void RenderReport(const ReportDocument& document, QPagedPaintDevice& device) {
    QTextDocument doc;
    // The document lays itself out on the device's pages.
    Fill(doc, document);
    doc.print(&device);
}

bool WriteReportPdf(const ReportDocument& document, const QString& path) {
    {
        QPdfWriter writer(path);
        if (!writer.setPageSize(QPageSize(QPageSize::A4))) return false;
        writer.setTitle(QString::fromStdString(document.title));
        writer.setResolution(300);
        RenderReport(document, writer);
    } // the file is complete once the writer is gone
    return QFileInfo(path).size() > 0;
}

void PreviewReport(const ReportDocument& document, QWidget* parent,
                   const std::function<void(QDialog&)>& run) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(document.title));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QObject::tr("Print Preview - %1").arg(printer.docName()));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document](QPrinter* p) { RenderReport(document, *p); });
    // Save as PDF beside Print, without going through a printer dialog.
    if (auto* bar = preview.findChild<QToolBar*>()) {
        QAction* pdf = bar->addAction(QObject::tr("Save as PDF..."));
        QObject::connect(pdf, &QAction::triggered, &preview, [&preview, &document] {
            const QString path = QFileDialog::getSaveFileName(
                &preview, QObject::tr("Save as PDF"),
                QString::fromStdString(document.title) + ".pdf", QObject::tr("PDF (*.pdf)"));
            if (!path.isEmpty()) WriteReportPdf(document, path);
        });
    }
    if (run)
        run(preview);
    else
        preview.exec();
}

} // namespace zelk::view
