#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The v4l2loopback devices sysfs lists, for the camera library (which writes
// to ours) and the registration (which adds and removes it). `sysfsRoot` is
// "/sys" on a real system; tests pass a temporary tree.

struct LoopbackDevice {
    int number = -1;    // N of /dev/videoN
    std::string label;  // its card label, as sysfs shows it
};

// Sorted by number; empty when there are none or sysfs cannot be read.
std::vector<LoopbackDevice> loopbackDevices(const std::string& sysfsRoot);

// The module keeps a card label of at most 31 bytes: a longer one matches its
// first 31.
bool hasLabel(const LoopbackDevice& device, std::string_view label);

// The lowest-numbered device labelled `label`.
std::optional<int> findLoopbackDevice(const std::string& sysfsRoot, std::string_view label);
