#include "camera/sound_sender.h"

#include "camera/shared_library.h"
#include "media/sound_decoder.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace {

// How far the sound sent runs ahead of the picture: enough to ride out a
// busy machine, and all that is sent again after a jump.
constexpr double kLeadSeconds = 0.25;

long long nanoseconds(SoundSender::Clock::time_point at)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
}

} // namespace

SoundSender::~SoundSender()
{
    Stop();
}

bool SoundSender::Bind(void* library)
{
    Unbind();
    m_create = reinterpret_cast<CreateFn>(librarySymbol(library, "scCreateMicrophone"));
    m_delete = reinterpret_cast<DeleteFn>(librarySymbol(library, "scDeleteMicrophone"));
    m_send = reinterpret_cast<SendFn>(librarySymbol(library, "scSendSound"));
    if (m_create && m_delete && m_send)
        return true;
    Unbind();
    return false;
}

void SoundSender::Unbind()
{
    Stop();
    m_create = nullptr;
    m_delete = nullptr;
    m_send = nullptr;
}

void SoundSender::Start(const std::wstring& path)
{
    Stop();
    if (!m_create)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_clock = MediaClock();
        m_held = false;
        m_released = false;
        m_stopping = false;
    }
    m_state = State::Opening;
    try {
        m_thread = std::thread([this, path] { run(path); });
    } catch (const std::system_error&) {
        m_state = State::Off;
    }
}

void SoundSender::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_state = State::Off;
}

void SoundSender::FrameShown(double mediaSeconds, Clock::time_point shownAt, bool jumped)
{
    std::lock_guard lock(m_mutex);
    // The frame under way when the picture was held is not sound to resume.
    if (m_held && !m_released)
        return;
    const bool releasing = m_released;
    m_held = false;
    m_released = false;
    if (m_clock.frameShown(mediaSeconds, shownAt, jumped || releasing))
        m_changed.notify_all();
}

void SoundSender::Hold()
{
    {
        std::lock_guard lock(m_mutex);
        m_held = true;
        m_released = false;
        m_heldAt = Clock::now();
        // Silence at once, whenever the thread gets to run; it says so again
        // after any block it was sending meanwhile.
        if (m_microphone)
            m_send(m_microphone, nullptr, 0, nanoseconds(m_heldAt));
    }
    m_changed.notify_all();
}

void SoundSender::Release()
{
    std::lock_guard lock(m_mutex);
    m_released = true;
}

void SoundSender::run(const std::wstring& path)
{
    SoundDecoder decoder;
    decoder.SetInterruptCheck([this] { return m_stopping.load(); });
    void* microphone = decoder.Open(path.c_str()) ? m_create(SoundDecoder::kRate, SoundDecoder::kChannels)
                                                  : nullptr;
    if (!microphone) {
        m_state = State::NoSound;
        return;
    }
    setMicrophone(microphone);
    m_state = State::Sending;
    follow(decoder, microphone);
    setMicrophone(nullptr);
    m_delete(microphone);
}

void SoundSender::setMicrophone(void* microphone)
{
    std::lock_guard lock(m_mutex);
    m_microphone = microphone;
}

void SoundSender::follow(SoundDecoder& decoder, void* microphone)
{
    std::vector<float> block;
    double blockStart = 0.0;
    std::uint64_t epoch = 0;  // the clock's epoch the sound sent follows
    double sentTo = 0.0;      // media seconds: the sound of this epoch sent so far
    bool trackEnded = false;
    bool silent = true;       // nothing is queued past the last hold

    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_held || m_clock.epoch() == 0) {
            if (!silent) {
                const Clock::time_point heldAt = m_heldAt;
                lock.unlock();
                m_send(microphone, nullptr, 0, nanoseconds(heldAt));
                lock.lock();
                silent = true;
            }
            m_changed.wait(lock);
            continue;
        }
        const MediaClock clock = m_clock;
        if (clock.epoch() != epoch) {
            // The picture jumped or its timing moved: the sound goes on from
            // where the picture is now, and replaces what was sent after that.
            epoch = clock.epoch();
            sentTo = std::max(clock.lastShown(), clock.mediaAt(Clock::now()));
            trackEnded = false;
            lock.unlock();
            decoder.SeekTo(sentTo);
            lock.lock();
            continue;
        }
        if (!trackEnded && sentTo < clock.lastShown() + kLeadSeconds) {
            lock.unlock();
            trackEnded = !decoder.Read(block, blockStart);
            if (!trackEnded) {
                const int frames = int(block.size() / SoundDecoder::kChannels);
                m_send(microphone, block.data(), frames, nanoseconds(clock.timeOf(blockStart)));
                sentTo = blockStart + double(frames) / SoundDecoder::kRate;
                silent = false;
            }
            lock.lock();
            continue;
        }
        // Enough is on its way: wake when the picture has used half of it
        // (looking again now and then while the picture stands still), or at
        // once for a jump, a hold or the stop.
        if (trackEnded)
            m_changed.wait(lock);
        else
            m_changed.wait_until(lock, std::max(clock.timeOf(sentTo - kLeadSeconds / 2),
                                                Clock::now() + std::chrono::milliseconds(20)));
    }
}
