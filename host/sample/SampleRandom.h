#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelk::host::sample {

// A small generator with a fixed algorithm (splitmix64), so that one seed gives the same
// database on every platform and standard library.
class SampleRandom {
public:
    explicit SampleRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    int Below(int n) {
        return n <= 1 ? 0 : static_cast<int>((Next() >> 16) % static_cast<unsigned>(n));
    }
    // lo .. hi inclusive
    int Range(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Chance(int percent) { return Below(100) < percent; }
    double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }
    template <class T> const T& Pick(const std::vector<T>& v) {
        return v[static_cast<std::size_t>(Below(static_cast<int>(v.size())))];
    }

private:
    std::uint64_t state_;
};

} // namespace zelk::host::sample
