#pragma once

#include "media/picture.h"
#include "media/video_decoder.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

// What loading a media file gave: its still preview (the first picture of a
// video, the whole image) and, for a video, the decoder left open after that
// picture, ready to stream. No picture: nothing could be loaded.
struct LoadedMedia {
    std::shared_ptr<const Picture> picture;
    double duration = 0.0;  // seconds; 0 for an image
    std::unique_ptr<VideoDecoder> decoder;
};

// Loads `path` (a video when `isVideo`), giving up with nothing loaded once
// `stopRequested` returns true. Only regular files are opened: a FIFO would
// block the open for good.
LoadedMedia loadMedia(const QString& path, bool isVideo, const std::function<bool()>& stopRequested);

// Loads media files on a thread of its own, one at a time, so that no file
// can hold the window however long it takes. The latest load is the one that
// counts: a newer load, cancel() or the destructor stops the running one
// (within one read of the file, or once a video's open returns) and its
// result is dropped. Every member function is called on the GUI thread, and
// `loaded` arrives there. Requests and results pass between the threads
// under a mutex of its own; only a bare notice goes through Qt's event queue.
class MediaLoader : public QObject {
    Q_OBJECT
public:
    // What one load does, on the loading thread.
    using Work = std::function<LoadedMedia(const QString& path, bool isVideo,
                                           const std::function<bool()>& stopRequested)>;

    explicit MediaLoader(QObject* parent = nullptr);
    // Stops the running load and waits for the thread to end.
    ~MediaLoader() override;

    // Starts loading `path`; `loaded` follows unless a later load or a cancel
    // comes first.
    void load(const QString& path, bool isVideo);
    // Drops the running load, if any: no `loaded` comes for it.
    void cancel();
    // A load has started and its result has not arrived yet.
    bool isBusy() const { return m_busy; }
    // Replaces loadMedia for the loads started from now on (tests stand in
    // slower ones).
    void setWork(Work work) { m_work = std::move(work); }

signals:
    // The result of the latest load; the receiver may take its parts.
    void loaded(const std::shared_ptr<LoadedMedia>& media);

private slots:
    // Hands out the result waiting, unless a newer load or a cancel came.
    void deliver();

private:
    struct Request {
        std::uint64_t id = 0;
        QString path;
        bool isVideo = false;
        Work work;
    };
    struct Result {
        std::uint64_t id = 0;
        std::shared_ptr<LoadedMedia> media;
    };

    // The loading thread: takes the newest request, loads, leaves the result.
    void serve();

    std::atomic<std::uint64_t> m_latest{0};  // id of the latest load; older ones stop
    bool m_busy = false;                     // GUI thread only
    Work m_work = loadMedia;                 // GUI thread only
    std::mutex m_mutex;                      // guards the three below
    std::condition_variable m_wake;
    std::optional<Request> m_request;  // a newer request replaces one not yet taken
    std::optional<Result> m_result;
    bool m_quit = false;
    std::unique_ptr<QThread> m_thread;
};
