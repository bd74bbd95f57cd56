#pragma once
// IT instruments: the format since IT 2.00 and the older one (compatible version below
// 0x200) with its single volume envelope.
#include <cstddef>

#include "bytes.h"
#include "tracker/module.h"

namespace tracker {

void ReadItInstrument(const Bytes& in, size_t at, bool oldFormat, Instrument& ins);

}  // namespace tracker
