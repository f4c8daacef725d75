// The coordinate check behind ValidateCoord: any text, both widths and hemisphere pairs, and
// a text it accepts is written as the check says.
#include "FuzzSupport.h"

#include "host/app/Coordinates.h"
#include "platform/Strings.h"

#include <cctype>

using namespace zelk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzz::Text(data, size);
    for (auto [width, hemispheres] :
         {std::pair{7, "NS"}, std::pair{8, "EW"}, std::pair{7, ""}, std::pair{9, "NS"}}) {
        const std::string problem = host::CoordinateProblem(text, "Latitude", width, hemispheres);
        const std::string t = Trim(text);
        if (!problem.empty() || t.empty()) continue;
        if (static_cast<int>(t.size()) != width) fuzz::Broken("accepted at the wrong width", text);
        for (int i = 0; i + 1 < width; ++i)
            if (!std::isdigit(static_cast<unsigned char>(t[static_cast<std::size_t>(i)])))
                fuzz::Broken("accepted a coordinate with a non-digit", text);
    }
    return 0;
}
