#include "pipewire_camera.h"

#include "frame_converter.h"
#include "frame_mailbox.h"
#include "pipewire_connection.h"
#include "softcam.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <ctime>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/utils/string.h>

namespace {

template <auto Free>
struct FreeWith {
    template <typename T>
    void operator()(T* object) const { Free(object); }
};

void destroyRegistry(pw_registry* registry)
{
    pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
}

using RegistryPtr = std::unique_ptr<pw_registry, FreeWith<destroyRegistry>>;
using StreamPtr = std::unique_ptr<pw_stream, FreeWith<pw_stream_destroy>>;

} // namespace

// Everything below runs on the connection's loop thread or holds its lock, except
// isConnected, which reads the connection flag, and the mailbox and frame
// event, which publish uses without the lock.
struct PipeWireCamera::State {
    State(int width, int height, double framesPerSecond, std::function<void()> connectionChanged)
        : width(width), height(height), framesPerSecond(framesPerSecond),
          mailbox(size_t(width) * size_t(height) * 3),
          connectionChanged(std::move(connectionChanged))
    {
    }

    const int width;
    const int height;
    const double framesPerSecond;
    FrameMailbox mailbox;
    FrameConverter converter;
    uint64_t sequence = 0;

    std::unique_ptr<PipeWireConnection> connection;
    spa_source* frameEvent = nullptr;

    // One attachment to the daemon; all null while detached.
    pw_core* core = nullptr;  // the connection's
    RegistryPtr registry;
    StreamPtr stream;
    spa_hook registryListener{};
    spa_hook streamListener{};
    bool broken = false;   // the attachment failed and waits for teardown
    pw_stream_state streamState = PW_STREAM_STATE_UNCONNECTED;
    std::vector<std::pair<uint32_t, uint32_t>> links;   // link id, output node id
    std::vector<uint32_t> otherListings;   // ids of other nodes under our name

    std::atomic<bool> connected{false};
    const std::function<void()> connectionChanged;
};

namespace {

using State = PipeWireCamera::State;

void updateConnection(State* s)
{
    const uint32_t node = s->stream ? pw_stream_get_node_id(s->stream.get()) : SPA_ID_INVALID;
    const bool linked = std::any_of(s->links.begin(), s->links.end(),
                                    [node](const auto& link) { return link.second == node; });
    const bool now = node != SPA_ID_INVALID && linked && s->streamState == PW_STREAM_STATE_STREAMING;
    if (now != s->connected.exchange(now) && s->connectionChanged)
        s->connectionChanged();
}

void markBroken(State* s)
{
    s->broken = true;
    s->connection->markBroken();
}

bool connectStream(State* s);

void dropStream(State* s)
{
    if (!s->stream)
        return;
    spa_hook_remove(&s->streamListener);
    s->stream.reset();
    s->streamState = PW_STREAM_STATE_UNCONNECTED;
}

// Withdraws the node while another lists the camera, and brings it back after.
void updateListing(State* s)
{
    if (!s->otherListings.empty()) {
        dropStream(s);
        updateConnection(s);
    } else if (!s->stream && s->core && !s->broken && !connectStream(s)) {
        markBroken(s);
    }
}

// A node (by its registry properties) that lists the camera under its name
// but is not ours: PipeWire's V4L2 monitor names our device's node so.
bool isOtherListing(const spa_dict* props)
{
    return spa_streq(spa_dict_lookup(props, PW_KEY_MEDIA_CLASS), "Video/Source") &&
           spa_streq(spa_dict_lookup(props, PW_KEY_NODE_DESCRIPTION), SOFTCAM_CAMERA_NAME) &&
           !spa_streq(spa_dict_lookup(props, PW_KEY_NODE_NAME), PipeWireCamera::kNodeName);
}

void onGlobal(void* data, uint32_t id, uint32_t, const char* type, uint32_t, const spa_dict* props)
{
    auto* s = static_cast<State*>(data);
    if (!props)
        return;
    if (spa_streq(type, PW_TYPE_INTERFACE_Node) && isOtherListing(props)) {
        s->otherListings.push_back(id);
        updateListing(s);
        return;
    }
    if (!spa_streq(type, PW_TYPE_INTERFACE_Link))
        return;
    uint32_t outputNode = 0;
    if (!spa_atou32(spa_dict_lookup(props, PW_KEY_LINK_OUTPUT_NODE), &outputNode, 10))
        return;
    s->links.emplace_back(id, outputNode);
    updateConnection(s);
}

void onGlobalRemove(void* data, uint32_t id)
{
    auto* s = static_cast<State*>(data);
    std::erase_if(s->links, [id](const auto& link) { return link.first == id; });
    if (std::erase(s->otherListings, id) && s->otherListings.empty())
        updateListing(s);
    updateConnection(s);
}

// Tables built field by field: C++ has no partial designated initialisers
// without warnings for the fields left out.
const pw_registry_events kRegistryEvents = [] {
    pw_registry_events events{};
    events.version = PW_VERSION_REGISTRY_EVENTS;
    events.global = onGlobal;
    events.global_remove = onGlobalRemove;
    return events;
}();

void onStateChanged(void* data, pw_stream_state, pw_stream_state state, const char*)
{
    auto* s = static_cast<State*>(data);
    s->streamState = state;
    if (state == PW_STREAM_STATE_ERROR)
        markBroken(s);
    updateConnection(s);
}

void onParamChanged(void* data, uint32_t id, const spa_pod* param)
{
    auto* s = static_cast<State*>(data);
    if (id != SPA_PARAM_Format || !param)
        return;
    spa_video_info_raw format{};
    if (spa_format_video_raw_parse(param, &format) < 0 ||
        FrameConverter::outputSize(format.format, s->width, s->height) !=
            FrameConverter::Size{int(format.size.width), int(format.size.height)} ||
        !s->converter.configure(format.format, s->width, s->height)) {
        pw_stream_set_error(s->stream.get(), -EINVAL, "unsupported format");
        return;
    }

    uint8_t buffer[512];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod* params[2];
    params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(&builder,
        SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers,
        SPA_PARAM_BUFFERS_buffers, SPA_POD_CHOICE_RANGE_Int(4, 2, 16),
        SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1),
        SPA_PARAM_BUFFERS_size, SPA_POD_Int(int(s->converter.frameBytes())),
        SPA_PARAM_BUFFERS_stride, SPA_POD_Int(s->converter.stride())));
    // Consumers read the header meta without asking for it.
    params[1] = static_cast<const spa_pod*>(spa_pod_builder_add_object(&builder,
        SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta,
        SPA_PARAM_META_type, SPA_POD_Id(SPA_META_Header),
        SPA_PARAM_META_size, SPA_POD_Int(int(sizeof(spa_meta_header)))));
    pw_stream_update_params(s->stream.get(), params, 2);
}

// Has `write` fill the plane of `b` with one converted frame (the chunk is
// left empty when it fails or the plane is too small) and stamps the header.
template <typename Write>
bool fillBuffer(State* s, pw_buffer* b, const Write& write)
{
    spa_buffer* buf = b->buffer;
    spa_data& plane = buf->datas[0];
    const size_t bytes = s->converter.frameBytes();
    const bool filled = plane.data && bytes != 0 && plane.maxsize >= bytes &&
                        write(static_cast<uint8_t*>(plane.data));
    plane.chunk->offset = 0;
    plane.chunk->size = filled ? uint32_t(bytes) : 0;
    plane.chunk->stride = s->converter.stride();
    if (auto* header = static_cast<spa_meta_header*>(
            spa_buffer_find_meta_data(buf, SPA_META_Header, sizeof(spa_meta_header)))) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        header->pts = SPA_TIMESPEC_TO_NSEC(&now);
        header->flags = 0;
        header->seq = s->sequence++;
        header->dts_offset = 0;
    }
    return filled;
}

// Fills `b` with the frame in BGR at `bgr`, converted.
void fillBuffer(State* s, pw_buffer* b, const uint8_t* bgr)
{
    fillBuffer(s, b, [&](uint8_t* out) {
        s->converter.convert(bgr, out);
        return true;
    });
}

void onProcess(void* data)
{
    auto* s = static_cast<State*>(data);
    // A driving node sends new frames only; publish queues most of them itself.
    if (pw_stream_is_driving(s->stream.get()) && !s->mailbox.hasNewFrame())
        return;
    pw_buffer* b = pw_stream_dequeue_buffer(s->stream.get());
    if (!b)
        return;
    fillBuffer(s, b, s->mailbox.latest());
    pw_stream_queue_buffer(s->stream.get(), b);
}

const pw_stream_events kStreamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = onStateChanged;
    events.param_changed = onParamChanged;
    events.process = onProcess;
    return events;
}();

bool connectStream(State* s)
{
    s->stream.reset(pw_stream_new(s->core, SOFTCAM_CAMERA_NAME,
        pw_properties_new(PW_KEY_MEDIA_TYPE, "Video",
                          PW_KEY_MEDIA_CATEGORY, "Capture",
                          PW_KEY_MEDIA_ROLE, "Camera",
                          PW_KEY_MEDIA_CLASS, "Video/Source",
                          PW_KEY_NODE_NAME, PipeWireCamera::kNodeName,
                          PW_KEY_NODE_DESCRIPTION, SOFTCAM_CAMERA_NAME,
                          nullptr)));
    if (!s->stream)
        return false;
    pw_stream_add_listener(s->stream.get(), &s->streamListener, &kStreamEvents, s);

    // Fixed size and whole-number rate: capture code in browsers and the
    // camera portal ignores formats given as ranges.
    const auto rate = uint32_t(std::max(1L, std::lround(s->framesPerSecond)));
    uint8_t buffer[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const auto& formats = FrameConverter::formats();
    const spa_pod* params[std::tuple_size_v<std::decay_t<decltype(formats)>>];
    for (size_t i = 0; i < formats.size(); ++i) {
        spa_video_info_raw info{};
        info.format = spa_video_format(formats[i]);
        const auto size = FrameConverter::outputSize(formats[i], s->width, s->height);
        info.size = SPA_RECTANGLE(uint32_t(size.width), uint32_t(size.height));
        info.framerate = SPA_FRACTION(rate, 1);
        params[i] = spa_format_video_raw_build(&builder, SPA_PARAM_EnumFormat, &info);
    }
    return pw_stream_connect(s->stream.get(), PW_DIRECTION_OUTPUT, PW_ID_ANY,
                             pw_stream_flags(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_MAP_BUFFERS),
                             params, uint32_t(formats.size())) == 0;
}

// The connection drops the core after this.
void detach(State* s)
{
    dropStream(s);
    if (s->registry) {
        spa_hook_remove(&s->registryListener);
        s->registry.reset();
    }
    s->core = nullptr;
    s->broken = false;
    s->links.clear();
    s->otherListings.clear();
    updateConnection(s);
}

// A new core: the registry, to follow links and other listings, and the node.
bool attach(State* s, pw_core* core)
{
    s->core = core;
    s->registry.reset(pw_core_get_registry(core, PW_VERSION_REGISTRY, 0));
    if (s->registry)
        pw_registry_add_listener(s->registry.get(), &s->registryListener, &kRegistryEvents, s);
    return s->registry && connectStream(s);
}

void onFrameEvent(void* data, uint64_t)
{
    auto* s = static_cast<State*>(data);
    // When another node drives the graph, it calls process at its own pace.
    if (s->stream && s->streamState == PW_STREAM_STATE_STREAMING &&
        pw_stream_is_driving(s->stream.get()))
        pw_stream_trigger_process(s->stream.get());
}

} // namespace

std::unique_ptr<PipeWireCamera> PipeWireCamera::create(int width, int height, double framesPerSecond,
                                                       std::function<void()> connectionChanged)
{
    auto s = std::make_unique<State>(width, height, framesPerSecond, std::move(connectionChanged));
    State* state = s.get();
    s->connection = PipeWireConnection::create("orvenna-camera", {
        [state](pw_core* core) { return attach(state, core); },
        [state] { detach(state); },
    });
    if (!s->connection)
        return nullptr;
    // The loop is not running yet, so no lock is needed here.
    s->frameEvent = pw_loop_add_event(s->connection->loop(), onFrameEvent, state);
    if (!s->frameEvent || !s->connection->start())
        return nullptr;
    return std::unique_ptr<PipeWireCamera>(new PipeWireCamera(std::move(s)));
}

PipeWireCamera::PipeWireCamera(std::unique_ptr<State> state)
    : m_state(std::move(state))
{
}

PipeWireCamera::~PipeWireCamera()
{
    State* s = m_state.get();
    s->connection->lock();
    pw_loop_destroy_source(s->connection->loop(), s->frameEvent);
    s->connection->unlock();
    s->connection.reset();  // the node goes, and the loop with it
}

bool PipeWireCamera::publish(const DrawFrame& draw)
{
    // While the node drives the graph the frame goes straight into one of the
    // stream's buffers, drawn there when the consumer takes BGR. The loop's
    // lock is held by the loop thread only while it handles an event.
    State* s = m_state.get();
    s->connection->lock();
    std::optional<bool> drawn;
    if (s->stream && s->streamState == PW_STREAM_STATE_STREAMING && pw_stream_is_driving(s->stream.get())) {
        if (pw_buffer* b = pw_stream_dequeue_buffer(s->stream.get())) {
            if (s->converter.passesThrough()) {
                drawn = fillBuffer(s, b, draw);
                s->mailbox.latest();  // a frame still waiting there is older: never sent after this one
            } else {
                drawn = s->mailbox.post(draw);
                fillBuffer(s, b, s->mailbox.latest());
            }
            pw_stream_queue_buffer(s->stream.get(), b);
            pw_stream_trigger_process(s->stream.get());
        }
    }
    s->connection->unlock();
    if (drawn)
        return *drawn;
    // Else the graph asks for a frame at its own pace, and takes the newest.
    if (!s->mailbox.post(draw))
        return false;
    pw_loop_signal_event(s->connection->loop(), s->frameEvent);
    return true;
}

bool PipeWireCamera::isConnected() const
{
    return m_state->connected.load();
}
