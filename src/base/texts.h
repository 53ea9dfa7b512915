#pragma once
// The program's own texts, by their IDs in base/resource.h. They live in the resource script
// (base/zelmor.rc); the Win32 side loads them from the executable, the native tests read the
// script itself, so both see exactly what the operator will.

#include <string>

namespace zelmor {

std::wstring LoadText(int id);

}  // namespace zelmor
