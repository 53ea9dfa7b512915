#pragma once
// Wide text in a failure message: gtest prints std::string, and a terminal shows UTF-8. And back:
// UTF-8 files the tests and simulators write, read as wide text.

#include <string>

#include "base/text.h"

namespace test_support {

inline std::string Utf8(const std::wstring& text) { return zelmor::ToUtf8(text); }

inline std::wstring FromUtf8(const std::string& bytes) { return zelmor::FromUtf8(bytes); }

}  // namespace test_support
