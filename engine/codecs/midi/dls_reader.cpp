#include "midi/bank.h"
namespace midi { BankResult ReadDls(const uint8_t*, size_t, Bank&) { return BankResult::NotABank; } }
