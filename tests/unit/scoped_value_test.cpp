#include "base/scoped_value.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zelmor::base {
namespace {

TEST(ScopedValueTest, PutsBackWhatWasThereHoweverTheScopeEnds) {
  bool busy = false;
  try {
    ScopedValue outer(busy, true);
    {
      // A nested scope puts back "set", not the opposite of what it set.
      ScopedValue inner(busy, true);
    }
    EXPECT_TRUE(busy) << "the outer scope still runs";
    throw std::runtime_error("failure inside the scope");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(busy) << "an exception left the scope";
}

}  // namespace
}  // namespace zelmor::base
