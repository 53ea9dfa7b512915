#pragma once
// Files kept in memory for the fuzz programs: what the code under test wrote, and the renames
// it asked for (which always succeed).

#include <map>
#include <string>
#include <vector>

#include "app/ports.h"

namespace zelmor::fuzz {

class MemoryFiles : public TextFiles {
 public:
  bool Read(const std::wstring& path, std::wstring& text) override {
    auto found = files.find(path);
    if (found == files.end()) return false;
    text = found->second;
    return true;
  }
  bool Replace(const std::wstring& path, const std::wstring& text) override {
    files[path] = text;
    return true;
  }
  bool Exists(const std::wstring& path) override { return files.count(path) != 0; }
  bool Rename(const std::wstring& from, const std::wstring& to) override {
    renamed.push_back(from + L">" + to);
    return true;
  }
  std::map<std::wstring, std::wstring> files;
  std::vector<std::wstring> renamed;
};

}  // namespace zelmor::fuzz
