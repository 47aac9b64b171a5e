// The benchmark model, generated from a seed exactly as bench/java/BenchModel.java
// generates it, so the C++ floor and the Java drivers time the same program.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace kestrovan::bench {

// splitmix64: small, fast and easy to write identically in Java.
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number in 0..bound-1 (bound > 0).
    std::int32_t below(std::int64_t bound) {
        return static_cast<std::int32_t>(next() % static_cast<std::uint64_t>(bound));
    }

private:
    std::uint64_t state_;
};

inline constexpr int kEntriesPerColumn = 10;
inline constexpr std::uint64_t kSeed = 20261211;

// The nine arrays of a call, 0-based as Java hands them over.
struct Model {
    std::vector<double> obj;
    std::vector<std::int32_t> ai, aj;
    std::vector<double> amatrix;
    std::vector<double> rhs;
    std::vector<std::int8_t> type;
    std::vector<double> lb, ub;
};

// About `entries` matrix entries: entries/10 columns, half as many rows,
// ten distinct rows in each column. Values have up to five significant
// digits; a quarter of the rows are equalities; every bound is finite.
inline Model generateModel(std::int64_t entries) {
    const auto n = static_cast<std::int32_t>(entries / kEntriesPerColumn);
    const std::int32_t m = n / 2;
    SplitMix64 rng(kSeed);
    Model model;
    model.obj.resize(static_cast<std::size_t>(n));
    for (auto& c : model.obj) c = (rng.below(200001) - 100000) / 1000.0;
    for (std::int32_t j = 0; j < n; ++j) {
        std::int32_t rows[kEntriesPerColumn];
        for (int t = 0; t < kEntriesPerColumn; ++t) {
            bool repeated = true;
            while (repeated) {
                rows[t] = rng.below(m);
                repeated = false;
                for (int s = 0; s < t; ++s) repeated = repeated || rows[s] == rows[t];
            }
            const double sign = rng.below(2) == 0 ? 1.0 : -1.0;
            model.ai.push_back(rows[t]);
            model.aj.push_back(j);
            model.amatrix.push_back(sign * (1 + rng.below(99000)) / 1000.0);
        }
    }
    for (std::int32_t i = 0; i < m; ++i) {
        model.rhs.push_back((1 + rng.below(999999)) / 100.0);
        model.type.push_back(static_cast<std::int8_t>(rng.below(4) == 0 ? 0 : 1));
    }
    for (std::int32_t j = 0; j < n; ++j) {
        const double lower = rng.below(1000) / 100.0;
        model.lb.push_back(lower);
        model.ub.push_back(lower + (1 + rng.below(99999)) / 100.0);
    }
    return model;
}

// A fingerprint of every value, printed by both languages to show they agree.
inline std::uint64_t fingerprint(const Model& model) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 0x100000001B3ull; };
    auto bits = [](double d) { return std::bit_cast<std::uint64_t>(d); };
    for (double v : model.obj) mix(bits(v));
    for (std::size_t k = 0; k < model.ai.size(); ++k) {
        mix(static_cast<std::uint64_t>(model.ai[k]));
        mix(static_cast<std::uint64_t>(model.aj[k]));
        mix(bits(model.amatrix[k]));
    }
    for (std::size_t i = 0; i < model.rhs.size(); ++i) {
        mix(bits(model.rhs[i]));
        mix(static_cast<std::uint64_t>(model.type[i]));
    }
    for (std::size_t j = 0; j < model.lb.size(); ++j) {
        mix(bits(model.lb[j]));
        mix(bits(model.ub[j]));
    }
    return h;
}

}  // namespace kestrovan::bench
