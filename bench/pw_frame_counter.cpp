// One PipeWire video consumer for every producer the camera benchmark
// compares: it reads the node named on the command line in one fixed raw
// format and size, and prints a line per buffer ("<chunk bytes> <first byte>")
// so the benchmark counts delivered frames without copying them.
// GStreamer's pipewiresrc cannot play this part: Debian's build crashes when it
// reads a pipewiresink node.
//
// Usage: pw_frame_counter NODE_NAME BGR|YUY2 WIDTH HEIGHT
#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Counter {
    pw_main_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    const char* target = nullptr;
    const spa_pod* format = nullptr;
    bool connected = false;
    uint32_t frameBytes = 0;
    uint32_t stride = 0;
};

void onProcess(void* data)
{
    auto* c = static_cast<Counter*>(data);
    pw_buffer* b = pw_stream_dequeue_buffer(c->stream);
    if (!b)
        return;
    const spa_data& d = b->buffer->datas[0];
    const bool inside = d.data && d.chunk && d.chunk->size &&
                        uint64_t(d.chunk->offset) + d.chunk->size <= d.maxsize;
    const uint32_t size = inside ? d.chunk->size : 0;
    // Reading a byte proves the buffer is mapped and filled where it starts.
    const int first = inside ? static_cast<const uint8_t*>(d.data)[d.chunk->offset] : -1;
    std::printf("%u %d\n", size, first);
    std::fflush(stdout);
    pw_stream_queue_buffer(c->stream, b);
}

void onStateChanged(void* data, pw_stream_state, pw_stream_state state, const char* error)
{
    auto* c = static_cast<Counter*>(data);
    if (state == PW_STREAM_STATE_ERROR) {
        std::fprintf(stderr, "pw_frame_counter: %s\n", error ? error : "stream error");
        pw_main_loop_quit(c->loop);
    }
}

// Asks for buffers one frame long: without this, Debian's pipewiresink in
// provide mode is handed empty buffers and crashes copying into them.
void onParamChanged(void* data, uint32_t id, const spa_pod* param)
{
    auto* c = static_cast<Counter*>(data);
    if (!param || id != SPA_PARAM_Format)
        return;
    uint8_t buffer[256];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod* params[1] = {static_cast<const spa_pod*>(spa_pod_builder_add_object(&builder,
        SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers,
        SPA_PARAM_BUFFERS_buffers, SPA_POD_CHOICE_RANGE_Int(4, 2, 16),
        SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1),
        SPA_PARAM_BUFFERS_size, SPA_POD_Int(int(c->frameBytes)),
        SPA_PARAM_BUFFERS_stride, SPA_POD_Int(int(c->stride)),
        SPA_PARAM_BUFFERS_dataType, SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr))))};
    pw_stream_update_params(c->stream, params, 1);
}

const pw_stream_events kEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = onStateChanged;
    events.param_changed = onParamChanged;
    events.process = onProcess;
    return events;
}();

// Connects once the producer's node exists: the session manager fails a
// stream whose target is missing instead of waiting for it.
void onGlobal(void* data, uint32_t, uint32_t, const char* type, uint32_t, const spa_dict* props)
{
    auto* c = static_cast<Counter*>(data);
    if (c->connected || std::strcmp(type, PW_TYPE_INTERFACE_Node) != 0 || !props)
        return;
    const char* name = spa_dict_lookup(props, PW_KEY_NODE_NAME);
    if (!name || std::strcmp(name, c->target) != 0)
        return;
    c->connected = true;
    const spa_pod* params[1] = {c->format};
    if (pw_stream_connect(c->stream, PW_DIRECTION_INPUT, PW_ID_ANY,
                          pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS),
                          params, 1) < 0) {
        std::fprintf(stderr, "pw_frame_counter: cannot connect\n");
        pw_main_loop_quit(c->loop);
    }
}

const pw_registry_events kRegistryEvents = [] {
    pw_registry_events events{};
    events.version = PW_VERSION_REGISTRY_EVENTS;
    events.global = onGlobal;
    return events;
}();

void quit(void* data, int)
{
    pw_main_loop_quit(static_cast<Counter*>(data)->loop);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s NODE_NAME BGR|YUY2 WIDTH HEIGHT\n", argv[0]);
        return 64;
    }
    const char* target = argv[1];
    spa_video_format format = SPA_VIDEO_FORMAT_UNKNOWN;
    if (std::strcmp(argv[2], "BGR") == 0)
        format = SPA_VIDEO_FORMAT_BGR;
    else if (std::strcmp(argv[2], "YUY2") == 0)
        format = SPA_VIDEO_FORMAT_YUY2;
    const int width = std::atoi(argv[3]);
    const int height = std::atoi(argv[4]);
    if (format == SPA_VIDEO_FORMAT_UNKNOWN || width < 1 || height < 1) {
        std::fprintf(stderr, "pw_frame_counter: bad format or size\n");
        return 64;
    }

    pw_init(&argc, &argv);
    Counter c;
    c.stride = format == SPA_VIDEO_FORMAT_BGR ? uint32_t(width) * 3 : uint32_t((width + 1) / 2) * 4;
    c.frameBytes = c.stride * uint32_t(height);
    c.loop = pw_main_loop_new(nullptr);
    pw_loop_add_signal(pw_main_loop_get_loop(c.loop), SIGTERM, quit, &c);
    pw_loop_add_signal(pw_main_loop_get_loop(c.loop), SIGINT, quit, &c);
    pw_context* context = pw_context_new(pw_main_loop_get_loop(c.loop), nullptr, 0);
    pw_core* core = context ? pw_context_connect(context, nullptr, 0) : nullptr;
    if (!core) {
        std::fprintf(stderr, "pw_frame_counter: no PipeWire daemon\n");
        return 1;
    }
    c.stream = pw_stream_new(core, "orvenna-bench-counter",
        pw_properties_new(PW_KEY_MEDIA_TYPE, "Video",
                          PW_KEY_MEDIA_CATEGORY, "Capture",
                          PW_KEY_MEDIA_ROLE, "Camera",
                          PW_KEY_TARGET_OBJECT, target,
                          nullptr));
    spa_hook streamListener{};
    pw_stream_add_listener(c.stream, &streamListener, &kEvents, &c);

    // Format and size fixed; any rate, so the producer's own rate decides.
    uint8_t buffer[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_rectangle size = SPA_RECTANGLE(uint32_t(width), uint32_t(height));
    const spa_fraction rate = SPA_FRACTION(30, 1);
    const spa_fraction slowest = SPA_FRACTION(0, 1);
    const spa_fraction fastest = SPA_FRACTION(1000, 1);
    const spa_pod* params[1] = {static_cast<const spa_pod*>(spa_pod_builder_add_object(&builder,
        SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat,
        SPA_FORMAT_mediaType, SPA_POD_Id(SPA_MEDIA_TYPE_video),
        SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw),
        SPA_FORMAT_VIDEO_format, SPA_POD_Id(format),
        SPA_FORMAT_VIDEO_size, SPA_POD_Rectangle(&size),
        SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&rate, &slowest, &fastest)))};

    c.target = target;
    c.format = params[0];
    pw_registry* registry = pw_core_get_registry(core, PW_VERSION_REGISTRY, 0);
    spa_hook registryListener{};
    pw_registry_add_listener(registry, &registryListener, &kRegistryEvents, &c);
    pw_main_loop_run(c.loop);
    spa_hook_remove(&registryListener);
    pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
    spa_hook_remove(&streamListener);
    pw_stream_destroy(c.stream);
    pw_core_disconnect(core);
    pw_context_destroy(context);
    pw_main_loop_destroy(c.loop);
    pw_deinit();
    return 0;
}
