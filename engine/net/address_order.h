#pragma once
// The order in which a host's addresses are tried.
#include <vector>

#include "net/socket_os.h"

namespace engine {

// The resolver's first choice first, then the two families (IPv6, IPv4) in turn, each
// in the resolver's order: a family whose addresses are all dead costs at most every
// other attempt instead of the whole deadline. Leftovers of the longer family close the list.
std::vector<os::Address> InterleaveFamilies(std::vector<os::Address> addresses);

}  // namespace engine
