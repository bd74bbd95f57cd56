#include "api/platform.h"
#include "io/file_reader.h"

namespace engine {
namespace {

std::unique_ptr<Output> NoDevice(Mixer&) { return nullptr; }

}  // namespace

const Platform& CurrentPlatform() {
    static const Platform platform{OpenStdioFile, NoDevice};
    return platform;
}

}  // namespace engine
