#include "tags/tag_list.h"

namespace engine {

TagList::TagList() : tags_(std::make_shared<std::vector<Tag>>()) {}

std::vector<Tag>& TagList::Writable() {
    if (tags_.use_count() > 1) tags_ = std::make_shared<std::vector<Tag>>(*tags_);
    return *tags_;
}

void TagList::Add(FMOD_TAGTYPE type, std::string name, std::string utf8Text) {
    if (utf8Text.size() > kMaxTagBytes) utf8Text.resize(kMaxTagBytes);
    std::lock_guard<std::mutex> hold(lock_);
    if (tags_->size() >= kMaxTags) return;
    Tag tag;
    tag.type = type;
    tag.name = std::move(name);
    tag.data = std::move(utf8Text);
    tag.changeCount = ++changes_;
    Writable().push_back(std::move(tag));
}

void TagList::Set(FMOD_TAGTYPE type, const std::string& name, std::string utf8Text) {
    if (utf8Text.size() > kMaxTagBytes) utf8Text.resize(kMaxTagBytes);
    std::lock_guard<std::mutex> hold(lock_);
    for (size_t i = 0; i < tags_->size(); ++i) {
        const Tag& existing = (*tags_)[i];
        if (existing.type == type && existing.name == name) {
            Tag& tag = Writable()[i];
            tag.data = std::move(utf8Text);
            tag.changeCount = ++changes_;
            return;
        }
    }
    if (tags_->size() >= kMaxTags) return;
    Tag tag;
    tag.type = type;
    tag.name = name;
    tag.data = std::move(utf8Text);
    tag.changeCount = ++changes_;
    Writable().push_back(std::move(tag));
}

void TagList::Clear() {
    std::lock_guard<std::mutex> hold(lock_);
    tags_ = std::make_shared<std::vector<Tag>>();
    ++changes_;
}

TagSnapshot TagList::Snapshot() const {
    std::lock_guard<std::mutex> hold(lock_);
    return tags_;
}

size_t TagList::Count() const {
    std::lock_guard<std::mutex> hold(lock_);
    return tags_->size();
}

uint64_t TagList::ChangeCount() const {
    std::lock_guard<std::mutex> hold(lock_);
    return changes_;
}

}  // namespace engine
