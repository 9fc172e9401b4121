#pragma once

#include <functional>
#include <memory>

struct pw_core;

// A connection to the PipeWire daemon on a thread loop of its own. It
// attaches whenever a daemon answers, and attaches anew after the daemon
// restarts or the user reports a failure (tried every half second). The user
// makes what lives on the daemon in `attach` and drops it in `detach`, so
// nothing is ever used across a broken connection; nothing here waits for the
// daemon.
class PipeWireConnection {
public:
    // Both run on the loop thread with the loop's lock held.
    struct Callbacks {
        // A new core to make things on; false gives this attachment up.
        std::function<bool(pw_core*)> attach;
        // The core is about to go: drop what lives on it.
        std::function<void()> detach;
    };

    // Null when the loop cannot be started; a missing daemon is no failure.
    // `name` names the loop's thread.
    static std::unique_ptr<PipeWireConnection> start(const char* name, Callbacks callbacks);
    // Detaches and ends the loop thread.
    ~PipeWireConnection();

    // On the loop thread: what lives on the core failed; it is torn down
    // (never inside the failing object's own callback) and made anew.
    void markBroken();

    struct State;

private:
    explicit PipeWireConnection(std::unique_ptr<State> state);

    std::unique_ptr<State> m_state;
};
