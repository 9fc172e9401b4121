#pragma once

#include <cstdint>
#include <memory>

// A PipeWire Audio/Source node fed with interleaved float sound, each block
// stamped with the time it is to be heard. The node follows whatever drives
// its graph: at each of the graph's cycles it hands over the sound due when
// that cycle's samples reach their reader (the graph's own delay counted), so
// the quantum and the buffering in between add nothing to the sound's timing.
// It attaches whenever a daemon is reachable and again after a restart;
// nothing here ever waits for PipeWire.
class PipeWireMicrophone {
public:
    // Node name other programs can target; stable across runs.
    static constexpr const char* kNodeName = "orvenna-microphone";

    // Null when PipeWire's loop cannot be started; a missing daemon is not a
    // failure.
    static std::unique_ptr<PipeWireMicrophone> create(int rate, int channels);
    ~PipeWireMicrophone();

    // Queues sound to be heard from `timeNs` (CLOCK_MONOTONIC) on, as
    // SoundQueue::write does. Any thread; one caller at a time.
    void send(const float* samples, int frames, int64_t timeNs);

    struct State;

private:
    explicit PipeWireMicrophone(std::unique_ptr<State> state);

    std::unique_ptr<State> m_state;
};
