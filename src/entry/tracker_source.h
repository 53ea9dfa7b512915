#pragma once
// A tracking program as the feed sees it, whichever program it is: the entry (and the
// worked-before hint's satellite asker) asks it label by label, and the program answers from one DDE item per value (CSATmate) or from one text it sent for the
// whole entry (SatPC32, Orbitron). A network source would be one more kind behind this face.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace zelmor::entry {

// The tracking programs in the order they are looked for.
enum class Tracker : int { kCsatmate = 0, kSatPc32 = 1, kOrbitron = 2 };
inline constexpr int kTrackerCount = 3;

// What the operator chose: any (looked for in order), or one program only.
enum class TrackerChoice : int { kAuto = -1, kCsatmate = 0, kSatPc32 = 1, kOrbitron = 2 };

// "auto", "CSATmate", "SatPC32", "Orbitron" as the settings file holds them; read without regard to
// case, and anything else reads as auto.
TrackerChoice ParseTrackerChoice(const std::wstring& text);
const wchar_t* TrackerChoiceText(TrackerChoice choice);
// The program's own name ("CSATmate", "SatPC32", "Orbitron").
const wchar_t* TrackerName(Tracker tracker);

// The choice, shared by the window's thread (which changes it) and the satellite asker's thread.
class TrackerSetting {
 public:
  TrackerChoice Get() const { return static_cast<TrackerChoice>(value_.load()); }
  void Set(TrackerChoice choice) { value_.store(static_cast<int>(choice)); }

 private:
  std::atomic<int> value_{static_cast<int>(TrackerChoice::kAuto)};
};

class TrackerSource {
 public:
  virtual ~TrackerSource() = default;
  virtual Tracker Kind() const = 0;
  // Opens what the source needs to be asked; false when its program does not answer, and then
  // nothing stays open.
  virtual bool Connect() = 0;
  // Closes everything; closing what is closed does nothing.
  virtual void Disconnect() = 0;
  // One value of the entry (label as in feed.h). The first label's request is the entry's first and
  // asks the program; a source that sends one text for everything answers the later labels from
  // that text. False when the program did not answer, or answered with nothing to log.
  virtual bool Request(int label, std::wstring& value) = 0;
  // The label's link is closed or its program gone: the only failure connecting again can mend.
  virtual bool Down(int label) const = 0;
};

// The sources of one thread, in the order they are looked for.
class TrackerSet {
 public:
  virtual ~TrackerSet() = default;
  virtual std::vector<TrackerSource*> Sources() = 0;
};

// Makes a set for the thread that calls it (DDE links belong to the thread that made them).
class TrackerSetMaker {
 public:
  virtual ~TrackerSetMaker() = default;
  // `name_only`: the set is asked only for the satellite name, and may open less for it.
  virtual std::unique_ptr<TrackerSet> Make(bool name_only) = 0;
};

}  // namespace zelmor::entry
