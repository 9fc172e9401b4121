#include "ui/media_loader.h"

#include "media/image_loader.h"
#include "media/media_thread.h"

#include <QFileInfo>
#include <QMetaObject>

#include <string>

LoadedMedia loadMedia(const QString& path, bool isVideo, const std::function<bool()>& stopRequested)
{
    LoadedMedia media;
    if (!QFileInfo(path).isFile())
        return media;
    // Held for the whole load: the media layer reads it as wchar_t.
    const std::wstring widePath = path.toStdWString();
    if (isVideo) {
        auto decoder = std::make_unique<VideoDecoder>();
        decoder->SetInterruptCheck(stopRequested);
        if (decoder->Open(widePath.c_str()))
            media.picture = decoder->ReadPicture();
        // The check belongs to this load; the stream lends the decoder its own.
        decoder->SetInterruptCheck({});
        if (media.picture) {
            media.duration = decoder->m_duration;
            media.decoder = std::move(decoder);
        }
    } else {
        ImageLoader loader;
        loader.SetInterruptCheck(stopRequested);
        if (loader.Initialize() && loader.LoadImageW(widePath.c_str(), 0, 0))
            media.picture = std::make_shared<FramePicture>(std::move(loader.m_pixels), static_cast<int>(loader.m_width),
                                                           static_cast<int>(loader.m_height));
    }
    return media;
}

MediaLoader::MediaLoader(QObject* parent)
    : QObject(parent), m_thread(QThread::create([this] { serve(); }))
{
    m_thread->start();
}

MediaLoader::~MediaLoader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        ++m_latest;  // the running load stops
    }
    m_wake.notify_one();
    m_thread->wait();
}

void MediaLoader::load(const QString& path, bool isVideo)
{
    {
        const std::lock_guard lock(m_mutex);
        m_request = Request{++m_latest, path, isVideo, m_work};
    }
    m_busy = true;
    m_wake.notify_one();
}

void MediaLoader::cancel()
{
    ++m_latest;
    m_busy = false;
}

void MediaLoader::serve()
{
    [[maybe_unused]] const MediaThreadScope media;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_request || m_quit; });
        if (m_quit)
            return;
        const Request request = std::move(*m_request);
        m_request.reset();
        const auto stopRequested = [this, id = request.id] { return m_latest != id; };
        if (stopRequested())
            continue;  // cancelled before it began
        lock.unlock();
        auto loaded = std::make_shared<LoadedMedia>(request.work(request.path, request.isVideo, stopRequested));
        lock.lock();
        if (!stopRequested()) {
            m_result = Result{request.id, std::move(loaded)};
            // By name: the notice carries nothing that the event queue would
            // hand between the threads.
            QMetaObject::invokeMethod(this, "deliver", Qt::QueuedConnection);
        }
    }
}

void MediaLoader::deliver()
{
    std::shared_ptr<LoadedMedia> media;
    {
        const std::lock_guard lock(m_mutex);
        if (!m_result)
            return;
        // Replaced or cancelled after the loading thread looked.
        if (m_result->id == m_latest)
            media = std::move(m_result->media);
        m_result.reset();
    }
    if (!media)
        return;
    m_busy = false;
    emit loaded(media);
}
