#pragma once
// A log line's values as one line of text, so that a failing test row shows every value at once:
// "current 2024-03-05 21:05J memo=[CQ] sn=[RS-44] ... up=145965 down=435640".

#include <cstdio>
#include <optional>
#include <string>

#include "entry/line_reader.h"
#include "printable.h"

namespace test_support {

inline std::string Describe(const zelmor::entry::LineValues& c) {
  const char* shapes[] = {"current", "default", "fallback"};
  char when[64];
  std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d", c.date.year, c.date.month, c.date.day, c.hour,
                c.minute);
  std::string text = std::string(shapes[static_cast<int>(c.shape)]) + " " + when + Utf8(c.zone);
  auto add = [&](const char* name, const std::optional<std::wstring>& value) {
    if (value) text += std::string(" ") + name + "=[" + Utf8(*value) + "]";
  };
  add("memo", c.memo);
  add("sn", c.satellite_name);
  add("rv", c.rev);
  if (c.log_frequency) {
    text += " lf=" + std::to_string(c.log_frequency->uplink_mhz) + "/" + std::to_string(c.log_frequency->downlink_mhz);
  }
  add("md", c.mode);
  if (c.uplink) text += " up=" + std::to_string(c.uplink->kilohertz);
  if (c.downlink) text += " down=" + std::to_string(c.downlink->kilohertz);
  return text;
}

// "unreadable" for a line that was not read.
template <class Values>
std::string Describe(const std::optional<Values>& c) {
  return c ? Describe(static_cast<const zelmor::entry::LineValues&>(*c)) : "unreadable";
}

}  // namespace test_support
