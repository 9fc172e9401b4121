// The camera library binding of FrameSender, shared by every platform; only
// the module loader (shared_library_*.cpp) differs.
#include "camera/frame_sender.h"

#include "camera/shared_library.h"

#include <chrono>
#include <string>
#include <thread>

namespace {

template <typename Function>
void resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(librarySymbol(library, name));
}

} // namespace

bool FrameSender::LoadDll()
{
    if (m_dll)
        return true;
    // Beside the program, then (installed) the program's own library
    // directory, then the search path. A library found that turns out
    // incomplete is final: the next place is tried only when nothing is found.
    void* library = loadLibraryBesideProgram(kCameraLibraryName);
#ifdef ORVENNA_LIBRARY_DIR_FROM_PROGRAM
    if (!library)
        library = loadLibraryBesideProgram(
            (std::string(ORVENNA_LIBRARY_DIR_FROM_PROGRAM "/") + kCameraLibraryName).c_str());
#endif
    if (!library)
        library = loadLibraryFromSearchPath(kCameraLibraryName);
    if (!library)
        return false;

    resolve(library, "scCreateCamera", m_createCamera);
    resolve(library, "scDeleteCamera", m_deleteCamera);
    resolve(library, "scSendFrame", m_sendFrame);
    resolve(library, "scDrawFrame", m_drawFrame);
    resolve(library, "scWaitForConnection", m_waitForConnection);
    resolve(library, "scIsConnected", m_isConnected);
    if (!m_createCamera || !m_deleteCamera || !m_sendFrame) {
        freeLibrary(library);
        clearEntryPoints();
        return false;
    }
    m_dll = library;
    m_sound.Bind(library);  // where the library has a microphone
    return true;
}

void FrameSender::UnloadDll()
{
    // The camera, the microphone and any thread still inside the library go first.
    ShutdownCamera();
    m_sound.Unbind();
    freeLibrary(m_dll);
    m_dll = nullptr;
    clearEntryPoints();
}

void FrameSender::clearEntryPoints()
{
    m_createCamera = nullptr;
    m_deleteCamera = nullptr;
    m_sendFrame = nullptr;
    m_drawFrame = nullptr;
    m_waitForConnection = nullptr;
    m_isConnected = nullptr;
}

void FrameSender::deleteCamera()
{
    joinThread();  // scDeleteCamera must never overlap scSendFrame
    if (m_camera && m_deleteCamera) {
        m_deleteCamera(m_camera);
        m_camera = nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

bool FrameSender::InitCamera(int width, int height, float fps)
{
    if (!LoadDll())
        return false;
    stopSequence();
    deleteCamera();
    void* camera = m_createCamera(width, height, fps);
    if (!camera) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        camera = m_createCamera(width, height, fps);
    }
    if (!camera)
        return false;
    m_camera = camera;
    m_width = width;
    m_height = height;
    m_fps = fps;
    return true;
}

void FrameSender::ShutdownCamera()
{
    stopSequence();
    deleteCamera();
}

bool FrameSender::IsConnected() const
{
    return m_camera && m_isConnected && m_isConnected(m_camera);
}
