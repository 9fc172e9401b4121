#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// The fuzzer's input as a file that the media layers open by name, as they
// open the user's: a file in memory, rewritten for each input.
class InputFile {
public:
    InputFile()
        : m_fd(memfd_create("fuzz-input", MFD_CLOEXEC))
    {
        if (m_fd < 0)
            std::abort();
    }

    // The name of a file that holds exactly `size` bytes of `data`.
    std::wstring write(const uint8_t* data, std::size_t size)
    {
        if (ftruncate(m_fd, 0) != 0)
            std::abort();
        for (std::size_t done = 0; done < size;) {
            const ssize_t written = pwrite(m_fd, data + done, size - done, off_t(done));
            if (written <= 0)
                std::abort();
            done += std::size_t(written);
        }
        return L"/proc/self/fd/" + std::to_wstring(m_fd);
    }

private:
    int m_fd;
};
