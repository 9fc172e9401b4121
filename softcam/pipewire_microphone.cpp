#include "pipewire_microphone.h"

#include "pipewire_connection.h"
#include "sound_queue.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

namespace {

constexpr const char* kDescription = "Orvenna Microphone";
// The microphone and its own clock are scheduled together (see connectStream).
constexpr const char* kGroup = "orvenna-microphone";

int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return SPA_TIMESPEC_TO_NSEC(&now);
}

} // namespace

// The stream lives on the connection's loop thread; its process callback runs
// on PipeWire's data thread and touches only the queue.
struct PipeWireMicrophone::State {
    State(int rate, int channels) : rate(rate), channels(channels), queue(rate, channels) {}

    const int rate;
    const int channels;
    SoundQueue queue;
    pw_proxy* clock = nullptr;    // null while detached, or where the daemon makes none
    pw_stream* stream = nullptr;  // null while detached
    spa_hook streamListener{};
    std::unique_ptr<PipeWireConnection> connection;
};

namespace {

using State = PipeWireMicrophone::State;

// When the first sample of this cycle's buffer reaches its reader: the
// cycle's time, the graph's delay beyond this node and what the stream's
// resampler holds back.
int64_t heardAt(const State* s)
{
    pw_time time{};
    if (pw_stream_get_time_n(s->stream, &time, sizeof time) < 0 || time.now == 0)
        return monotonicNs();
    int64_t at = time.now + int64_t(time.buffered) * int64_t(SPA_NSEC_PER_SEC) / s->rate;
    if (time.rate.denom > 0)
        at += time.delay * int64_t(SPA_NSEC_PER_SEC) * time.rate.num / time.rate.denom;
    return at;
}

void onProcess(void* data)
{
    auto* s = static_cast<State*>(data);
    pw_buffer* b = pw_stream_dequeue_buffer(s->stream);
    if (!b)
        return;
    spa_data& plane = b->buffer->datas[0];
    const uint32_t stride = uint32_t(sizeof(float)) * uint32_t(s->channels);
    uint64_t frames = plane.data ? plane.maxsize / stride : 0;
    if (b->requested > 0)
        frames = std::min(frames, b->requested);
    if (frames > 0)
        s->queue.read(static_cast<float*>(plane.data), int(frames), heardAt(s));
    plane.chunk->offset = 0;
    plane.chunk->stride = int32_t(stride);
    plane.chunk->size = uint32_t(frames * stride);
    b->size = frames;
    pw_stream_queue_buffer(s->stream, b);
}

void onStateChanged(void* data, pw_stream_state, pw_stream_state state, const char*)
{
    if (state == PW_STREAM_STATE_ERROR)
        static_cast<State*>(data)->connection->markBroken();
}

const pw_stream_events kStreamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = onStateChanged;
    events.process = onProcess;
    return events;
}();

void dropStream(State* s)
{
    if (s->stream) {
        spa_hook_remove(&s->streamListener);
        // Destroyed before the pointer is cleared: until then the data thread
        // may still be processing with it.
        pw_stream_destroy(s->stream);
        s->stream = nullptr;
    }
    if (s->clock) {
        pw_proxy_destroy(s->clock);
        s->clock = nullptr;
    }
}

// A driver of the microphone's own in the daemon, a timer on the monotonic
// clock that runs only while something reads the microphone. Without it the
// daemon schedules a reader and the microphone, who are linked to no driver,
// with whatever driver is running: the camera, whose cycles come at the
// picture's rate, would hand out one quantum of sound per frame. A sound card
// that the reader also uses still drives them all.
pw_proxy* makeClock(pw_core* core)
{
    const spa_dict_item items[] = {
        SPA_DICT_ITEM_INIT(PW_KEY_FACTORY_NAME, "support.node.driver"),
        SPA_DICT_ITEM_INIT(PW_KEY_NODE_NAME, "orvenna-microphone-clock"),
        SPA_DICT_ITEM_INIT(PW_KEY_NODE_GROUP, kGroup),
        SPA_DICT_ITEM_INIT(PW_KEY_PRIORITY_DRIVER, "1"),
    };
    const spa_dict dict = SPA_DICT_INIT_ARRAY(items);
    return static_cast<pw_proxy*>(
        pw_core_create_object(core, "spa-node-factory", PW_TYPE_INTERFACE_Node, PW_VERSION_NODE, &dict, 0));
}

bool connectStream(State* s, pw_core* core)
{
    s->clock = makeClock(core);
    s->stream = pw_stream_new(core, kDescription,
        pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio",
                          PW_KEY_MEDIA_CATEGORY, "Capture",
                          PW_KEY_MEDIA_CLASS, "Audio/Source",
                          PW_KEY_NODE_NAME, PipeWireMicrophone::kNodeName,
                          PW_KEY_NODE_DESCRIPTION, kDescription,
                          PW_KEY_NODE_GROUP, kGroup,
                          nullptr));
    if (!s->stream)
        return false;
    pw_stream_add_listener(s->stream, &s->streamListener, &kStreamEvents, s);

    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_F32;
    info.rate = uint32_t(s->rate);
    info.channels = uint32_t(s->channels);
    if (s->channels == 2) {
        info.position[0] = SPA_AUDIO_CHANNEL_FL;
        info.position[1] = SPA_AUDIO_CHANNEL_FR;
    } else {
        info.position[0] = SPA_AUDIO_CHANNEL_MONO;
    }
    uint8_t buffer[512];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    // Processed on the data thread, within the cycle that reads it: filled
    // any later, the sound would reach its reader a cycle late.
    return pw_stream_connect(s->stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                             pw_stream_flags(PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS),
                             params, 1) == 0;
}

} // namespace

std::unique_ptr<PipeWireMicrophone> PipeWireMicrophone::create(int rate, int channels)
{
    auto s = std::make_unique<State>(rate, channels);
    State* state = s.get();
    s->connection = PipeWireConnection::create("orvenna-microphone", {
        [state](pw_core* core) { return connectStream(state, core); },
        [state] { dropStream(state); },
    });
    if (!s->connection || !s->connection->start())
        return nullptr;
    return std::unique_ptr<PipeWireMicrophone>(new PipeWireMicrophone(std::move(s)));
}

PipeWireMicrophone::PipeWireMicrophone(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
}

PipeWireMicrophone::~PipeWireMicrophone()
{
    m_state->connection.reset();  // the node goes, and the loop with it
}

void PipeWireMicrophone::send(const float* samples, int frames, int64_t timeNs)
{
    m_state->queue.write(samples, frames, timeNs, monotonicNs());
}
