#pragma once
// A COM IStream over one of our readers, for the system's decoders (Windows Media,
// Media Foundation), which read files only through streams. Their reading threads may
// call it from any thread: every call takes the stream's lock.
#include <objidl.h>

#include <memory>

#include "io/reader.h"

namespace engine {

// A stream holding one reference; Release() it when done. The reader lives as long as the stream.
IStream* MakeReaderStream(std::unique_ptr<Reader> reader);
// Takes the reader back from such a stream once its users are gone (an open that failed);
// the stream then reads nothing.
std::unique_ptr<Reader> TakeReader(IStream* stream);
// Initialises COM (multithreaded) on the engine's own decode thread once; it never leaves
// it again. False when the thread is in another apartment (the objects still work there,
// being free-threaded).
bool EnsureComOnThisThread();

// Releases a COM object, if any, and forgets it.
template <typename T>
void ReleaseCom(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

// COM for the length of an open on the caller's thread, which is the player's: left as it
// was afterwards, so that the player's own choice of apartment is never taken from it.
class ScopedCom {
public:
    ScopedCom() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~ScopedCom() {
        if (initialised_) CoUninitialize();
    }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;

private:
    bool initialised_;
};

}  // namespace engine
