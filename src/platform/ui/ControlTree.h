#pragma once

#include <string>

namespace zelk {

class Form;

// A readable outline of a form's controls, one per line, indented by container:
// kind, name, the text the user sees and the states that differ from the default.
std::string DescribeTree(Form& form);

} // namespace zelk
