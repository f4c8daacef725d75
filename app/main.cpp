// zelk-workbench: the desktop program around the Managed Area module.
#include "shell/Gallery.h"
#include "view/FormWidget.h"
#include "view/QtUiDriver.h"

#include "platform/ProgIdRegistry.h"
#include "platform/ui/ControlRegistry.h"
#include "platform/ui/Form.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zelk::RegisterControls(zelk::ProgIdRegistry::Instance());
    zelk::SetUiDriver(std::make_shared<zelk::view::QtUiDriver>());
    auto form = zelk::view::MakeGalleryForm();
    zelk::view::FormWidget w(form);
    w.show();
    if (argc > 2 && QString(argv[1]) == "--screenshot") {
        QApplication::processEvents();
        QDir().mkpath(argv[2]);
        w.grab().save(QDir(argv[2]).filePath("gallery.png"));
        return 0;
    }
    return app.exec();
}
