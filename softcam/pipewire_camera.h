#pragma once

#include "frame_mailbox.h"

#include <cstdint>
#include <functional>
#include <memory>

// A PipeWire Video/Source node fed with BGR frames. It runs on a PipeWire
// thread loop of its own, attaches to the daemon whenever one is reachable
// and re-attaches after the daemon restarts; nothing here ever waits for
// PipeWire.
//
// Listed once: while another Video/Source node carries the camera's name
// (PipeWire's V4L2 monitor republishing our loopback device while we write
// to it), this node is withdrawn, and it returns when that node goes.
class PipeWireCamera {
public:
    // Node name other programs can target; stable across runs.
    static constexpr const char* kNodeName = "orvenna-camera";

    // Null when PipeWire's loop cannot be started. A missing daemon is not a
    // failure: the camera attaches when one appears. `connectionChanged` is
    // called on PipeWire's thread whenever isConnected() changes.
    static std::unique_ptr<PipeWireCamera> create(int width, int height, double framesPerSecond,
                                                  std::function<void()> connectionChanged);
    ~PipeWireCamera();

    // Has `draw` write one width * height * 3 BGR frame and sends it to the
    // consumers (dropped while detached); false when `draw` failed. `draw` may
    // run with the loop's lock held. Any thread; one caller at a time.
    bool publish(const DrawFrame& draw);

    // True while some consumer streams from the node.
    bool isConnected() const;

    struct State;

private:
    explicit PipeWireCamera(std::unique_ptr<State> state);

    std::unique_ptr<State> m_state;
};
