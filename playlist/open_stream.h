#pragma once
#include <cstddef>
#include <string>

// An address with an extension (see DialogExtension) may name a stream list and is fetched
// first; one without (such as "http://host:port/") is a stream itself.
bool StreamAddressNeedsDownload(const std::string& address);

// audio/* (other than the list types served under it) and application/ogg.
bool ContentTypeIsAudio(const std::string& contentType);

// Whether an answer is a stream list (PLS, M3U, ASX or WAX text) rather than audio, judged
// by its content type when known (audio/* and application/ogg are audio) and else by its
// first bytes. An empty answer is no list.
bool AnswerIsStreamList(const std::string& contentType, const char* bytes, size_t size);
