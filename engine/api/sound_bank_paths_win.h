#pragma once
#include <string>
#include <vector>

namespace engine {

std::vector<std::string> SoundBankPathsWin();

}  // namespace engine
