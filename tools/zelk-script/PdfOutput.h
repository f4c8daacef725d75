#pragma once

#include "script/Interpreter.h"

namespace zelk::script {

// Renders reports with the workbench's printer, offscreen; Qt starts on the first use.
PdfWriter QtPdfWriter();

} // namespace zelk::script
