#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

// Reads back the sound of tone_steps*.mkv (tests/fixtures): frame N of the clip,
// counted modulo 256 as its frame marks are, sounds a tone of kBaseHz + kStepHz *
// (N % kSteps), a whole number of periods long, so the pitch steps on the upward
// zero crossing that starts each frame.
namespace sound_marks {

inline constexpr double kBaseHz = 400.0;
inline constexpr double kStepHz = 100.0;
inline constexpr int kSteps = 25;

struct Boundary {
    double position;  // in frames of sound, fractional
    int step;         // N % kSteps of the clip frame that starts here
};

// The frame starts in `frames` frames of sound with `channels` channels at
// `rate`, read from the first channel: crossings where three periods of one
// step end and three of another begin. Silence and sound cut by a dropout
// give none.
inline std::vector<Boundary> findBoundaries(const float* samples, std::size_t frames, int channels, int rate)
{
    std::vector<double> crossings;
    for (std::size_t i = 1; i < frames; ++i) {
        const float a = samples[(i - 1) * channels], b = samples[i * channels];
        if (a < 0.0f && b >= 0.0f)
            crossings.push_back(double(i - 1) + a / (a - b));
    }
    // The step whose period this is, or -1.
    const auto stepOf = [&](std::size_t q) {
        const double step = (rate / (crossings[q + 1] - crossings[q]) - kBaseHz) / kStepHz;
        const long nearest = std::lround(step);
        return nearest >= 0 && nearest < kSteps && std::abs(step - double(nearest)) < 0.2 ? int(nearest) : -1;
    };
    std::vector<Boundary> found;
    for (std::size_t q = 3; q + 3 < crossings.size(); ++q) {
        const int before = stepOf(q - 1), after = stepOf(q);
        if (before < 0 || after < 0 || before == after || stepOf(q - 2) != before || stepOf(q - 3) != before ||
            stepOf(q + 1) != after || stepOf(q + 2) != after)
            continue;
        found.push_back({crossings[q], after});
    }
    return found;
}

}  // namespace sound_marks
