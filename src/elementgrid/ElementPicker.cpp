#include "elementgrid/ElementPicker.h"

#include "platform/Error.h"

namespace zelk::elementgrid {

void ShowModalSearch(const std::string& progId, const std::string&, const std::string&,
                     const ObjectPtr&, RecordsetPtr&) {
    Raise(err::CannotCreateObject, "The search dialog for " + progId + " is not available");
}

} // namespace zelk::elementgrid
