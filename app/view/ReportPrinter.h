#pragma once

#include "platform/ReportDocument.h"

#include <QString>

class QPagedPaintDevice;
class QWidget;

namespace zelk::view {

// Lays the report out on pages of the device (a printer or a PDF writer).
void RenderReport(const ReportDocument& document, QPagedPaintDevice& device);
// Writes the report as a PDF file; false when the file cannot be written.
bool WriteReportPdf(const ReportDocument& document, const QString& path);
// Qt's print preview, with Print and Save as PDF.
void PreviewReport(const ReportDocument& document, QWidget* parent);

} // namespace zelk::view
