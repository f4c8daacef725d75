#pragma once

#include "host/sample/SampleRandom.h"

#include <string>
#include <vector>

namespace zelk::host::sample {

// Word lists that make generated records read like real ones.
struct Species {
    const char* scientific;
    const char* common;
};

const std::vector<std::string>& PlaceWords();    // "Oak", "Laramie", ...
const std::vector<std::string>& LandformWords(); // "Hollow", "River", ...
const std::vector<std::string>& Designations();  // "State Park", "Wildlife Refuge", ...
const std::vector<std::string>& FirstNames();
const std::vector<std::string>& LastNames();
const std::vector<Species>& SpeciesList();

// "Oak Hollow": a place word and a landform.
std::string PlaceName(SampleRandom& r);
std::string PersonName(SampleRandom& r);

// 'YYYY-MM-DD' for a day counted from 1 January 1970.
std::string IsoDate(int daysSince1970);
// Degrees, minutes and seconds: "DDMMSSN" (width 7) or "DDDMMSSW" (width 8).
std::string Dms(double degrees, int width, char hemisphere);

} // namespace zelk::host::sample
