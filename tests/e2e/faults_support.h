#pragma once
// Faults a disk can have, made real for one test: a small file system of the test's own that can
// be filled up or switched to read-only, and a file held open by another program without sharing.

#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace e2e::faults {

// A tmpfs of `size_kib` mounted over the (empty) folder, so that everything the folder's users
// already know, Zelmor's harness included, lands on it. Unmounted when the owner goes, however the
// test ended; mounts that a killed earlier run left behind are removed on the next construction.
// Needs root on the Unix side: ok() says whether the mount stands, reason() why not.
class SmallDisk {
 public:
  SmallDisk(const TempFolder& folder, int size_kib);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool ok() const { return mounted_; }
  const std::string& reason() const { return reason_; }

  // Takes all free space but about `leave` bytes (whole pages) with a filler file.
  bool Fill(size_t leave = 0);
  // Deletes the filler.
  bool Free();
  bool SetReadOnly(bool read_only);

 private:
  std::wstring folder_;
  std::wstring filler_;
  std::string unix_folder_;
  std::string reason_;
  bool mounted_ = false;
};

// A file opened by this process with no sharing at all, as another program may hold a log it
// shows. Its content can still be read through the holder.
class HeldFile {
 public:
  explicit HeldFile(const std::wstring& path);
  ~HeldFile() { Release(); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  std::string Content() const;
  void Release();

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace e2e::faults
