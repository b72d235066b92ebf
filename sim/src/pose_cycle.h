#pragma once
// Which pose of a skating picture a stride shows: the skater's stride counter, taken modulo the
// cycle's length, picks it. Strides are never negative.

#include <array>
#include <cstdint>

struct PoseCycle {
  int length;
  std::array<int, 8> pose;

  int at(std::int32_t stride) const { return pose[stride % length]; }
};
