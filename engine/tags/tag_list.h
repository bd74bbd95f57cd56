#pragma once
// Tags of one sound in file order. Containers add tags while opening; stream
// readers (on their own thread) replace titles later. The C API reads through
// snapshots, so a tag it handed out stays valid while the list changes.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fmodex.h"

namespace engine {

struct Tag {
    FMOD_TAGTYPE type = FMOD_TAGTYPE_UNKNOWN;
    FMOD_TAGDATATYPE dataType = FMOD_TAGDATATYPE_STRING_UTF8;
    std::string name;
    std::string data;         // UTF-8 text for string tags; no terminator counted
    uint64_t changeCount = 0; // value of the list's change counter when last set
};

using TagSnapshot = std::shared_ptr<const std::vector<Tag>>;

class TagList {
public:
    TagList();
    // Appends a text tag; the text must already be UTF-8.
    void Add(FMOD_TAGTYPE type, std::string name, std::string utf8Text);
    // Replaces the value of the first tag of that type and name, or appends one.
    void Set(FMOD_TAGTYPE type, const std::string& name, std::string utf8Text);
    void Clear();
    TagSnapshot Snapshot() const;
    size_t Count() const;
    // Grows with every change; tags with a larger changeCount than a reader's
    // last seen value count as updated for it.
    uint64_t ChangeCount() const;

    static constexpr size_t kMaxTags = 200000;
    static constexpr size_t kMaxTagBytes = 1 << 20;

private:
    // Copy-on-write: edited in place while no snapshot is out, else copied first.
    std::vector<Tag>& Writable();

    mutable std::mutex lock_;
    std::shared_ptr<std::vector<Tag>> tags_;
    uint64_t changes_ = 0;
};

}  // namespace engine
