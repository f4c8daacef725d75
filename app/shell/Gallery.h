#pragma once

#include <memory>

namespace zelk {
class Form;
}

namespace zelk::view {

// A form with one control of every kind, for reviewing the look of the view layer
// (zelk-workbench --gallery, and the screenshots).
std::shared_ptr<Form> MakeGalleryForm();

} // namespace zelk::view
