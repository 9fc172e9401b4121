#include "loopback_devices.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Room for any label the module keeps (32 bytes with the terminator).
constexpr std::streamsize kMaxAttributeLength = 64;
constexpr size_t kMaxLabelLength = 31;

std::string readAttribute(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    char text[kMaxAttributeLength];
    file.read(text, sizeof(text));
    std::string value(text, static_cast<size_t>(file.gcount()));
    if (!value.empty() && value.back() == '\n')
        value.pop_back();
    return value;
}

} // namespace

// Video devices without a parent device live under devices/virtual; those of
// v4l2loopback carry its "max_openers" attribute, which the V4L2 core does
// not add.
std::vector<LoopbackDevice> loopbackDevices(const std::string& sysfsRoot)
{
    std::vector<LoopbackDevice> devices;
    std::error_code error;
    for (fs::directory_iterator it(sysfsRoot + "/devices/virtual/video4linux", error), end;
         !error && it != end; it.increment(error)) {
        const std::string file = it->path().filename().string();
        const std::string_view prefix = "video";
        if (!file.starts_with(prefix))
            continue;
        const char* first = file.data() + prefix.size();
        const char* last = file.data() + file.size();
        int number = -1;
        const auto [rest, status] = std::from_chars(first, last, number);
        if (status != std::errc() || rest != last || number < 0)
            continue;
        std::error_code missing;
        if (!fs::exists(it->path() / "max_openers", missing))
            continue;
        devices.push_back({number, readAttribute(it->path() / "name")});
    }
    std::sort(devices.begin(), devices.end(),
              [](const LoopbackDevice& a, const LoopbackDevice& b) { return a.number < b.number; });
    return devices;
}

bool hasLabel(const LoopbackDevice& device, std::string_view label)
{
    return !label.empty() && device.label == label.substr(0, kMaxLabelLength);
}

std::optional<int> findLoopbackDevice(const std::string& sysfsRoot, std::string_view label)
{
    for (const LoopbackDevice& device : loopbackDevices(sysfsRoot))
        if (hasLabel(device, label))
            return device.number;
    return std::nullopt;
}
