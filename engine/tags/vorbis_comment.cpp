#include "tags/vorbis_comment.h"

#include "containers/vorbis_comment.h"
#include "text/utf8.h"

namespace engine {

void AddVorbisComment(std::string_view field, TagList& tags) {
    const size_t equals = field.find('=');
    if (equals == std::string_view::npos || equals == 0) return;
    // Fields must be UTF-8; old writers used Latin-1, which reads as such.
    tags.Add(FMOD_TAGTYPE_VORBISCOMMENT, AnyTextToUtf8(field.substr(0, equals)),
             AnyTextToUtf8(field.substr(equals + 1)));
}

void AddVorbisComments(const std::vector<std::string>& fields, TagList& tags) {
    for (const std::string& field : fields) AddVorbisComment(field, tags);
}

bool ReadVorbisCommentBlock(const uint8_t* data, size_t size, TagList& tags) {
    container::VorbisComments comments;
    if (!container::ParseVorbisComments(data, size, comments)) return false;
    AddVorbisComments(comments.fields, tags);
    return true;
}

}  // namespace engine
