#pragma once
// The settings file: a read gives the stored value or nothing, a write stores one; each names its
// section.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelmor::settings {

// The file behind the settings: "Zelmor.ini" beside the executable on Windows.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The whole stored value; nothing when the file, section or key is missing. A key that is there
  // with an empty value gives the empty text.
  virtual std::optional<std::wstring> Get(const std::wstring& section, const std::wstring& key) = 0;
  // False when the value could not be stored; the file then keeps what it held.
  virtual bool Put(const std::wstring& section, const std::wstring& key, const std::wstring& value) = 0;
  // Every key of the section with its value, spaces around both removed, for sections whose keys
  // the operator chooses. Lines without "=" and comments are not entries; a missing section has none.
  virtual std::vector<std::pair<std::wstring, std::wstring>> Entries(const std::wstring& section) = 0;
};

// Told of each value stored, by a part that follows a setting another part writes (the log folder
// that LOG Open and LOG Save remember).
class ProfileWatcher {
 public:
  virtual ~ProfileWatcher() = default;
  virtual void OnProfileWritten(const std::wstring& section, const std::wstring& key) = 0;
};

class Profile {
 public:
  explicit Profile(ProfileStore& store) : store_(store) {}

  // One watcher, or none; it must outlive the profile's writes.
  void set_watcher(ProfileWatcher* watcher) { watcher_ = watcher; }

  // The stored value, or nothing when the file, the section or the key is missing. Section and key
  // names match without regard to case.
  //
  // Files written by the original program and by earlier versions of this one hold a value equal
  // to its section's name where they meant "missing" ("ELTop=LOGpos"): for the keys of "LOGpos"
  // and for "LOGdat" and "LOGfol" of "Zelmor", such a value reads as missing. No other key has
  // that rule.
  std::optional<std::wstring> ProfileRead(const std::wstring& section, const std::wstring& key);
  // Failures are not reported to the operator: a refused write is lost, and the next start finds
  // the older value. False tells a caller that must know (the running mark). The watcher hears of
  // a value stored, not of a refused one.
  bool ProfileWrite(const std::wstring& section, const std::wstring& key, const std::wstring& value);
  // Every key of the section with its value.
  std::vector<std::pair<std::wstring, std::wstring>> ProfileEntries(const std::wstring& section);

 private:
  ProfileStore& store_;
  ProfileWatcher* watcher_ = nullptr;
};

}  // namespace zelmor::settings
