#include "pipewire_connection.h"

#include <cerrno>
#include <ctime>
#include <utility>

#include <pipewire/pipewire.h>

namespace {

constexpr long kRetryIntervalNs = 500 * SPA_NSEC_PER_MSEC;

// pw_init counts its users: the last one out leaves nothing of PipeWire behind.
struct PipeWireLibrary {
    PipeWireLibrary() { pw_init(nullptr, nullptr); }
    ~PipeWireLibrary() { pw_deinit(); }
    PipeWireLibrary(const PipeWireLibrary&) = delete;
    PipeWireLibrary& operator=(const PipeWireLibrary&) = delete;
};

struct LoopDestroyer {
    void operator()(pw_thread_loop* loop) const { pw_thread_loop_destroy(loop); }
};
struct ContextDestroyer {
    void operator()(pw_context* context) const { pw_context_destroy(context); }
};

} // namespace

struct PipeWireConnection::State {
    explicit State(Callbacks callbacks) : callbacks(std::move(callbacks)) {}

    // The next attempt at once (after a failure) or after the usual interval.
    void scheduleRetry(bool now) const
    {
        timespec first{0, now ? 1 : kRetryIntervalNs};
        timespec interval{0, kRetryIntervalNs};
        pw_loop_update_timer(loop, retryTimer, &first, &interval, false);
    }

    void attach()
    {
        core = pw_context_connect(context.get(), nullptr, 0);
        if (!core)
            return;
        pw_core_add_listener(core, &coreListener, &kCoreEvents, this);
        if (!callbacks.attach(core))
            detach();
    }

    void detach()
    {
        if (core) {
            callbacks.detach();
            spa_hook_remove(&coreListener);
            pw_core_disconnect(core);
            core = nullptr;
        }
        broken = false;
    }

    static void onCoreError(void* data, uint32_t id, int, int res, const char*)
    {
        if (id == PW_ID_CORE && res == -EPIPE)
            static_cast<State*>(data)->breakDown();
    }

    static void onRetryTimer(void* data, uint64_t)
    {
        auto* s = static_cast<State*>(data);
        if (s->broken)
            s->detach();
        if (!s->core)
            s->attach();
    }

    void breakDown()
    {
        broken = true;
        scheduleRetry(true);
    }

    static const pw_core_events kCoreEvents;

    PipeWireLibrary library;  // first in, last out
    const Callbacks callbacks;
    std::unique_ptr<pw_thread_loop, LoopDestroyer> threadLoop;
    pw_loop* loop = nullptr;
    std::unique_ptr<pw_context, ContextDestroyer> context;
    spa_source* retryTimer = nullptr;
    pw_core* core = nullptr;  // null while detached
    spa_hook coreListener{};
    bool broken = false;      // the attachment failed and waits for its teardown
};

// Built field by field: C++ has no partial designated initialisers without
// warnings for the fields left out.
const pw_core_events PipeWireConnection::State::kCoreEvents = [] {
    pw_core_events events{};
    events.version = PW_VERSION_CORE_EVENTS;
    events.error = onCoreError;
    return events;
}();

std::unique_ptr<PipeWireConnection> PipeWireConnection::create(const char* name, Callbacks callbacks)
{
    auto s = std::make_unique<State>(std::move(callbacks));
    s->threadLoop.reset(pw_thread_loop_new(name, nullptr));
    if (!s->threadLoop)
        return nullptr;
    s->loop = pw_thread_loop_get_loop(s->threadLoop.get());
    s->context.reset(pw_context_new(s->loop, nullptr, 0));
    if (!s->context)
        return nullptr;
    s->retryTimer = pw_loop_add_timer(s->loop, &State::onRetryTimer, s.get());
    if (!s->retryTimer)
        return nullptr;
    return std::unique_ptr<PipeWireConnection>(new PipeWireConnection(std::move(s)));
}

bool PipeWireConnection::start()
{
    State* s = m_state.get();
    // The loop is not running yet, so no lock is needed here.
    s->attach();
    s->scheduleRetry(false);
    if (pw_thread_loop_start(s->threadLoop.get()) < 0) {
        s->detach();
        return false;
    }
    return true;
}

PipeWireConnection::PipeWireConnection(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
}

PipeWireConnection::~PipeWireConnection()
{
    State* s = m_state.get();
    pw_thread_loop_lock(s->threadLoop.get());
    s->detach();
    pw_loop_destroy_source(s->loop, s->retryTimer);
    pw_thread_loop_unlock(s->threadLoop.get());
    pw_thread_loop_stop(s->threadLoop.get());
    s->context.reset();
    s->threadLoop.reset();
}

pw_loop* PipeWireConnection::loop() const
{
    return m_state->loop;
}

void PipeWireConnection::lock()
{
    pw_thread_loop_lock(m_state->threadLoop.get());
}

void PipeWireConnection::unlock()
{
    pw_thread_loop_unlock(m_state->threadLoop.get());
}

void PipeWireConnection::markBroken()
{
    m_state->breakDown();
}
