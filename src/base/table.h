#pragma once
// A constant table of generated rows (scripts/gen-lotw-tables.py writes them), walked with a
// range-for.

#include <cstddef>

namespace zelmor {

template <class T>
struct Table {
  const T* rows;
  size_t size;
  const T* begin() const { return rows; }
  const T* end() const { return rows + size; }
};

}  // namespace zelmor
