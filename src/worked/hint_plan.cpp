#include "worked/hint_plan.h"

#include <utility>

#include "base/text.h"
#include "contact/contact.h"
#include "settings/keys.h"

namespace zelmor::worked {
namespace {

// Milliseconds from `then` to `now`; a clock that went back counts as no time.
uint64_t Since(uint64_t then, uint64_t now) { return now > then ? now - then : 0; }

std::optional<int> WholeMinutes(const std::wstring& text) {
  const std::wstring digits = TrimSpaces(text);
  if (digits.empty() || digits.size() > 4) return std::nullopt;
  int minutes = 0;
  for (wchar_t c : digits) {
    if (!IsAsciiDigit(c)) return std::nullopt;
    minutes = minutes * 10 + (c - L'0');
  }
  if (minutes > HintSettings::kMostDupeMinutes) return std::nullopt;
  return minutes;
}

}  // namespace

HintSettings ReadHintSettings(settings::Profile& profile) {
  HintSettings read;
  const auto hints = profile.ProfileRead(settings::kMainSection, settings::kHintsKey);
  if (hints && TrimSpaces(*hints) == L"0") read.hints = false;
  if (const auto minutes = profile.ProfileRead(settings::kMainSection, settings::kDupeMinutesKey)) {
    read.dupe_minutes = WholeMinutes(*minutes).value_or(read.dupe_minutes);
  }
  return read;
}

bool WantsHint(const std::wstring& memo) {
  const contact::MemoWords words = contact::ClassifyMemo(memo);
  if (words.words.empty()) return false;
  return words.words[0].kind == contact::WordKind::Call || !words.Find(contact::WordKind::Grid).empty();
}

bool SatelliteAsking::ShouldAsk(uint64_t now_ms) const {
  if (asked_ms_ && Since(*asked_ms_, now_ms) < kLostMs) return false;
  if (!answer_ || answer_->asked_ms < memo_started_ms_) return true;
  return Since(answer_->answered_ms, now_ms) >= kRefreshMs;
}

void SatelliteAsking::Answered(std::optional<std::wstring> satellite, uint64_t now_ms) {
  answer_ = Answer{std::move(satellite), asked_ms_.value_or(now_ms), now_ms};
  asked_ms_.reset();
}

SatelliteAsking::Satellite SatelliteAsking::Now(uint64_t now_ms) const {
  if (answer_ && answer_->asked_ms >= memo_started_ms_) return {State::Known, answer_->name};
  if (asked_ms_ && Since(*asked_ms_, now_ms) < kWaitMs) return {State::Waiting, std::nullopt};
  if (answer_ && Since(answer_->answered_ms, now_ms) < kRefreshMs) return {State::Known, answer_->name};
  return {State::Known, std::nullopt};
}

}  // namespace zelmor::worked
