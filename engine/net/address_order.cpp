#include "net/address_order.h"

#include <utility>

namespace engine {

std::vector<os::Address> InterleaveFamilies(std::vector<os::Address> addresses) {
    if (addresses.empty()) return addresses;
    const int firstFamily = addresses.front().family;
    std::vector<os::Address> first, other, ordered;
    for (os::Address& a : addresses) (a.family == firstFamily ? first : other).push_back(std::move(a));
    for (size_t i = 0; i < first.size() || i < other.size(); ++i) {
        if (i < first.size()) ordered.push_back(std::move(first[i]));
        if (i < other.size()) ordered.push_back(std::move(other[i]));
    }
    return ordered;
}

}  // namespace engine
