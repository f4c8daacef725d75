#pragma once

#include "platform/ReportDocument.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace zelk::view {

class FormWidget;
class MainWindow;

// Renders a widget to DIR/NAME.png; returns the file written ("" on failure).
QString SaveShot(QWidget& widget, const QString& dir, const QString& name);
// Renders the form once per page of each of its tab controls (the first page of the others).
void SaveFormPages(FormWidget& view, const QString& dir, const QString& base, QStringList& saved);
// Writes the report to DIR/BASE.pdf and its first pages as DIR/BASE-N.png (with poppler's
// pdftoppm, when installed).
void SaveReportPages(const ReportDocument& report, const QString& dir, const QString& base,
                     QStringList& saved);
// The main window, then every search and record window with each page, then the control
// gallery. Returns the files written.
QStringList SaveWorkbenchShots(MainWindow& main, const QString& dir);

} // namespace zelk::view
