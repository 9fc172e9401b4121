#pragma once

#include <functional>
#include <memory>

struct pw_core;
struct pw_loop;

// A connection to the PipeWire daemon on a thread loop of its own. It
// attaches whenever a daemon answers, and attaches anew after the daemon
// restarts or the user reports a failure (tried every half second). The user
// makes what lives on the daemon in `attach` and drops it in `detach`, so
// nothing is ever used across a broken connection; nothing here waits for the
// daemon.
//
// The user's objects live on the loop thread: the callbacks run there with the
// loop's lock held, and other threads take the lock (lock, unlock) to touch
// them.
class PipeWireConnection {
public:
    // Both run on the loop thread with the loop's lock held.
    struct Callbacks {
        // A new core to make things on; false gives this attachment up.
        std::function<bool(pw_core*)> attach;
        // The core is about to go: drop what lives on it.
        std::function<void()> detach;
    };

    // Null when the loop cannot be made. Nothing runs until start, so the user
    // can keep the connection before any callback may use it. `name` names
    // the loop's thread.
    static std::unique_ptr<PipeWireConnection> create(const char* name, Callbacks callbacks);
    // Attaches if a daemon answers and starts the loop thread; false when the
    // thread cannot start. A missing daemon is no failure.
    bool start();
    // Detaches and ends the loop thread.
    ~PipeWireConnection();

    // The loop, for sources of the user's own: added and removed with the
    // lock held (or before start).
    pw_loop* loop() const;
    void lock();
    void unlock();

    // On the loop thread: what lives on the core failed; it is torn down
    // (never inside the failing object's own callback) and made anew.
    void markBroken();

    struct State;

private:
    explicit PipeWireConnection(std::unique_ptr<State> state);

    std::unique_ptr<State> m_state;
};
