#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class Picture;

// Decodes the first video stream of a file into Frames (see frame.h), in
// display order. Not thread-safe: one thread at a time uses a decoder (the
// window's loading thread opens it and reads the preview, the camera thread
// reads and seeks it while a stream runs, the GUI thread seeks and closes it
// in between); on a thread of the program's own, a MediaThreadScope
// (media_thread.h) comes first. Failures are false results; nothing is shown
// or logged.
//
// Time line: seconds measured from the first frame of the stream, whatever
// the container's own start time. Both platform layers keep the contract
// stated at each function below.
class VideoDecoder {
public:
    VideoDecoder();
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Opens the file (closing any open one first). Fails for a file without a
    // video stream and for a picture with a side of 0 or above kMaxFrameSide
    // (frame.h). A stream stored turned (phone clips) is delivered upright:
    // m_width x m_height is the upright size. False leaves the decoder closed
    // with every field at its closed value.
    bool Open(const wchar_t* path);
    // Closed values: size 0 x 0, duration 0.0, position 0.0, rate 30.0. The
    // stride is left as it was. Closing a closed decoder does nothing.
    void Close();
    // The next picture, resized to m_width * m_height * 3 bytes; m_position
    // becomes its time. False at the end of the stream, on an error, after a
    // stop (see SetInterruptCheck) and when closed; after the end only a seek
    // makes frames come again.
    bool ReadFrame(std::vector<uint8_t>& out);
    // The next picture as ReadFrame reads it, left unconverted where the
    // platform can (see picture.h): a reader pays for the rows it samples.
    // Null where ReadFrame is false. The picture stays valid after Close.
    std::shared_ptr<const Picture> ReadPicture();
    // The next read delivers the picture on screen at `seconds`: the last one
    // whose time is at or before it. A target before the start gives the
    // first picture, one at or past the last picture (the duration, 1e300,
    // infinity) the last; NaN is ignored. Reading goes on from there. Until
    // that read m_position reports the target held to 0 .. m_duration (when
    // known). No effect when closed.
    void SeekTo(double seconds);
    void SeekToStart();
    // Reads give up as soon as `stopRequested` returns true: a read that
    // decodes forward to a seek target or waits on the input stops within
    // one packet and returns false. Asked on the reading thread, only by
    // ReadFrame and SeekTo (never by Open); set it while no stream runs. An
    // empty function never stops anything.
    void SetInterruptCheck(std::function<bool()> stopRequested)
    {
        m_stopRequested = std::move(stopRequested);
    }

    uint32_t m_width = 0;   // picture size as delivered (upright)
    uint32_t m_height = 0;
    int32_t m_stride = 0;   // row stride of the platform's decoded buffers
    double m_fps = 30.0;    // frames per second; 30.0 when the source gives none
    double m_duration = 0.0;  // seconds; 0.0 when unknown
    double m_position = 0.0;  // seconds: last frame read, or last seek target

private:
    // The closed values of the fields above; the stride stays as it was.
    void resetStreamInfo()
    {
        m_width = 0;
        m_height = 0;
        m_fps = 30.0;
        m_duration = 0.0;
        m_position = 0.0;
    }

    std::function<bool()> m_stopRequested;
    struct Impl;  // the platform's decoding state; null when closed
    std::unique_ptr<Impl> m_impl;
};
