#pragma once
#include <cstddef>
#include <string>

// An address with an extension (see DialogExtension) may name a stream list and is fetched
// first; one without (such as "http://host:port/") is a stream itself.
bool StreamAddressNeedsDownload(const std::string& address);

// audio/* (other than the list types served under it) and application/ogg.
bool ContentTypeIsAudio(const std::string& contentType);

enum class AnswerKind { List, Audio, Neither };

// What an answer is: a stream list (PLS, M3U, ASX or WAX text), audio, or neither (an HTML
// page, an empty answer). An audio content type wins over the bytes; otherwise the first
// bytes decide, and a list content type counts when they say nothing.
AnswerKind KindOfAnswer(const std::string& contentType, const char* bytes, size_t size);
