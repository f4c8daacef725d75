#include "search/SearchDialogs.h"

#include "platform/Error.h"
#include "search/ManagedAreaSearch.h"

namespace zelk::search {

namespace {
[[noreturn]] void Unavailable(const char* what) {
    Raise(err::CannotCreateObject, std::string("ActiveX component can't create object: ") + what);
}
} // namespace

void ShowModalDetails(ManagedAreaSearch&, const ObjectPtr&, long) {
    Unavailable("frmModalDetail");
}

long NewModalDetails(ManagedAreaSearch&, const ObjectPtr&) {
    Unavailable("frmModalDetail");
}

void ShowSearchSql(ManagedAreaSearch&, const std::string&) {
    Unavailable("frmSQL");
}

} // namespace zelk::search
