#include "host/sample/SampleNames.h"

#include <cmath>
#include <cstdio>

namespace zelk::host::sample {

const std::vector<std::string>& PlaceWords() {
    static const std::vector<std::string> v = {
        "Oak",        "White Oak", "Burr Oak",  "Oakwood",    "Cedar",    "Pine",     "Willow",
        "Eagle",      "Bear",      "Elk",       "Laramie",    "Blue",     "Red",      "Silver",
        "Maple",      "Aspen",     "Heron",     "Fox",        "Hawk",     "Clear",    "Stone",
        "Spring",     "Sandy",     "Cypress",   "Magnolia",   "Juniper",  "Otter",    "Beaver",
        "Turkey",     "Crane",     "Lost",      "Hidden",     "Big",      "Little",   "Grand",
        "Cottonwood", "Sycamore",  "Hickory",   "Walnut",     "Chestnut", "Pinyon",   "Sage",
        "Buffalo",    "Wolf",      "Lone Pine", "Black Rock", "Granite",  "Crystal",  "Mill",
        "Round",      "Twin",      "Kettle",    "Shadow",     "Thunder",  "La Plata", "Lamoille"};
    return v;
}

const std::vector<std::string>& LandformWords() {
    static const std::vector<std::string> v = {
        "Hollow",  "River",   "Creek", "Ridge",  "Lake",   "Marsh",   "Bluff", "Valley",
        "Springs", "Prairie", "Woods", "Canyon", "Mesa",   "Bottoms", "Point", "Island",
        "Flats",   "Knob",    "Glade", "Swamp",  "Falls",  "Meadows", "Dunes", "Pond",
        "Bayou",   "Gap",     "Butte", "Hills",  "Slough", "Barrens"};
    return v;
}

const std::vector<std::string>& Designations() {
    static const std::vector<std::string> v = {"State Park",
                                               "Wildlife Refuge",
                                               "National Wildlife Refuge",
                                               "Natural Area",
                                               "Nature Preserve",
                                               "Wildlife Management Area",
                                               "State Forest",
                                               "Conservation Easement",
                                               "Wilderness Area",
                                               "Research Natural Area",
                                               "State Natural Area",
                                               "County Park",
                                               "Land Trust Preserve"};
    return v;
}

const std::vector<std::string>& FirstNames() {
    static const std::vector<std::string> v = {
        "Mary",  "James",  "Linda", "Robert", "Susan",  "Michael", "Karen", "David",
        "Nancy", "Thomas", "Ruth",  "Daniel", "Sharon", "Paul",    "Laura", "Mark",
        "Ellen", "Steven", "Joan",  "Andrew", "Carol",  "Brian",   "Diane", "Kevin"};
    return v;
}

const std::vector<std::string>& LastNames() {
    static const std::vector<std::string> v = {
        "Smith",   "Johnson", "Williams", "Brown",  "Jones",    "Miller",  "Davis",
        "Garcia",  "Wilson",  "Anderson", "Taylor", "Thomas",   "Moore",   "Martin",
        "Jackson", "White",   "Harris",   "Clark",  "Lewis",    "Walker",  "Hall",
        "Young",   "King",    "Wright",   "O'Neil", "Lopez",    "Hill",    "Green",
        "Adams",   "Baker",   "Nelson",   "Carter", "Mitchell", "Roberts", "Turner"};
    return v;
}

const std::vector<Species>& SpeciesList() {
    static const std::vector<Species> v = {
        {"Quercus alba", "White Oak"},
        {"Quercus macrocarpa", "Bur Oak"},
        {"Pinus ponderosa", "Ponderosa Pine"},
        {"Haliaeetus leucocephalus", "Bald Eagle"},
        {"Grus americana", "Whooping Crane"},
        {"Ursus arctos horribilis", "Grizzly Bear"},
        {"Cervus canadensis", "Elk"},
        {"Lynx canadensis", "Canada Lynx"},
        {"Castor canadensis", "American Beaver"},
        {"Lontra canadensis", "North American River Otter"},
        {"Bison bison", "American Bison"},
        {"Canis lupus", "Gray Wolf"},
        {"Ambystoma tigrinum", "Tiger Salamander"},
        {"Lithobates pipiens", "Northern Leopard Frog"},
        {"Danaus plexippus", "Monarch"},
        {"Bombus affinis", "Rusty-patched Bumble Bee"},
        {"Cypripedium candidum", "Small White Lady's-slipper"},
        {"Asclepias tuberosa", "Butterfly Milkweed"},
        {"Taxodium distichum", "Bald Cypress"},
        {"Picea glauca", "White Spruce"},
        {"Populus tremuloides", "Quaking Aspen"},
        {"Artemisia tridentata", "Big Sagebrush"},
        {"Centrocercus urophasianus", "Greater Sage-Grouse"},
        {"Tympanuchus cupido", "Greater Prairie-Chicken"},
        {"Charadrius melodus", "Piping Plover"},
        {"Falco peregrinus", "Peregrine Falcon"},
        {"Gopherus polyphemus", "Gopher Tortoise"},
        {"Acipenser fulvescens", "Lake Sturgeon"},
        {"Salvelinus confluentus", "Bull Trout"},
        {"Platanthera leucophaea", "Eastern Prairie Fringed Orchid"},
    };
    return v;
}

// Each draw is its own statement: the operands of + have no fixed order of evaluation.
std::string PlaceName(SampleRandom& r) {
    std::string place = r.Pick(PlaceWords());
    return place + " " + r.Pick(LandformWords());
}

std::string PersonName(SampleRandom& r) {
    std::string first = r.Pick(FirstNames());
    return first + " " + r.Pick(LastNames());
}

std::string IsoDate(int days) {
    // Civil date from a day count (proleptic Gregorian calendar).
    int z = days + 719468;
    int era = (z >= 0 ? z : z - 146096) / 146097;
    int doe = z - era * 146097;
    int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int y = yoe + era * 400;
    int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int mp = (5 * doy + 2) / 153;
    int d = doy - (153 * mp + 2) / 5 + 1;
    int m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    return buf;
}

std::string Dms(double degrees, int width, char hemisphere) {
    long total = std::lround(std::fabs(degrees) * 3600.0);
    int d = static_cast<int>(total / 3600), m = static_cast<int>(total / 60 % 60),
        s = static_cast<int>(total % 60);
    char buf[40];
    std::snprintf(buf, sizeof buf, width == 8 ? "%03d%02d%02d%c" : "%02d%02d%02d%c", d, m, s,
                  hemisphere);
    return buf;
}

} // namespace zelk::host::sample
