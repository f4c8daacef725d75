// zelk-workbench [--db FILE] [--user NAME] [--screenshot DIR] [--gallery]
#include "shell/Startup.h"
#include "shell/Workbench.h"

#include <QApplication>

#include <iostream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("wayfold");
    zelk::view::StartupOptions options = zelk::view::ParseStartup(QApplication::arguments());
    if (!options.error.isEmpty()) {
        std::cerr << "zelk-workbench: " << options.error.toStdString()
                  << "\nusage: zelk-workbench [--db FILE] [--user NAME] [--screenshot DIR]\n";
        return 2;
    }
    return zelk::view::RunWorkbench(options);
}
