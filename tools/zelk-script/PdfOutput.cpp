#include "PdfOutput.h"

#include "map/MapImage.h"
#include "platform/ReportDocument.h"
#include "view/ReportPrinter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace zelk::script {

namespace {
void StartQt() {
    // A script has no display: the pages are drawn offscreen unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zelk-script";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}
} // namespace

PdfWriter QtPdfWriter() {
    return [](const ReportDocument& report, const std::string& path,
              const std::shared_ptr<host::DataService>& db) -> std::string {
        StartQt();
        const QString file = QString::fromStdString(path);
        const QFileInfo info(file);
        if (info.isDir()) return "it is a folder";
        if (!info.absoluteDir().exists()) return "its folder does not exist";
        view::ShowMapsInReports(db);
        const bool written = view::WriteReportPdf(report, file);
        view::ShowMapsInReports(nullptr);
        return written ? std::string() : "the file cannot be written";
    };
}

} // namespace zelk::script
