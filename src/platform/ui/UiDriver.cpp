#include "platform/ui/UiDriver.h"

#include "platform/Error.h"

namespace zelk {

namespace {
std::shared_ptr<UiDriver>& Current() {
    static std::shared_ptr<UiDriver> driver;
    return driver;
}
} // namespace

UiDriver& Ui() {
    auto& d = Current();
    if (!d) Raise(err::ObjectNotSet, "No user interface driver is set");
    return *d;
}

void SetUiDriver(std::shared_ptr<UiDriver> driver) {
    Current() = std::move(driver);
}

std::shared_ptr<UiDriver> CurrentUiDriver() {
    return Current();
}

} // namespace zelk
