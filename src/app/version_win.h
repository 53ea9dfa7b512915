#pragma once
// The program's own version, as its version resource holds it.

#include <string>

#include "app/lifecycle.h"

namespace zelmor::app {

// Major, minor and revision of the file version; 1.0.0 when the resource cannot be read.
Version OwnVersion();
// As the caption shows it: "1.00".
std::wstring OwnVersionText();

}  // namespace zelmor::app
