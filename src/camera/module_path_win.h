#pragma once

#include <string>

// Directory of the running executable, ending in a backslash; empty when the
// path cannot be had or holds no backslash.
std::wstring programDirectory();
