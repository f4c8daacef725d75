#pragma once

#include "platform/ReportDocument.h"

#include <QImage>
#include <QString>

#include <functional>
#include <string>

class QDialog;
class QPagedPaintDevice;
class QWidget;

namespace zelk::view {

// Draws the pictures a report names that are no files (a shape's map); a null image leaves
// the picture out. Without a source such pictures are left out.
using ReportPictureSource = std::function<QImage(const std::string& source)>;
void SetReportPictureSource(ReportPictureSource source);

// Lays the report out on pages of the device (a printer or a PDF writer).
void RenderReport(const ReportDocument& document, QPagedPaintDevice& device);
// Writes the report as a PDF file; false when the file cannot be written.
bool WriteReportPdf(const ReportDocument& document, const QString& path);
// Qt's print preview, with Print and Save as PDF. `run` (when given) is handed the dialog in
// place of running it modally, as a screenshot wants it.
void PreviewReport(const ReportDocument& document, QWidget* parent,
                   const std::function<void(QDialog&)>& run = {});

} // namespace zelk::view
