#pragma once

// Makes a thread of the program's own ready for VideoDecoder and ImageLoader
// for as long as the object lives; the GUI thread is made ready by the
// application (app/platform_services.h). Windows: COM in the multithreaded
// apartment, which Media Foundation and the imaging component need on every
// thread that uses them; objects made on the thread may be used on others
// while it lives. Linux: nothing to do.
class MediaThreadScope {
public:
#ifdef _WIN32
    MediaThreadScope();
    ~MediaThreadScope();
#else
    MediaThreadScope() = default;
#endif
    MediaThreadScope(const MediaThreadScope&) = delete;
    MediaThreadScope& operator=(const MediaThreadScope&) = delete;

private:
#ifdef _WIN32
    bool m_entered = false;  // COM must be left once for each successful entry
#endif
};
