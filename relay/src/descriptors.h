#pragma once
// Each connection holds a file descriptor, and a relay (or its load test) holds thousands: the
// soft limit is raised to the hard one, which needs no privilege.

#include <cstddef>

namespace relay {

// The soft limit on open descriptors after raising it as far as allowed.
std::size_t raise_descriptor_limit();

}  // namespace relay
