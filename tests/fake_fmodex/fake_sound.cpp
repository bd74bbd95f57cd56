#include "call_text.h"
#include "fake_library.h"

FMOD_RESULT FakeLibrary::SoundRelease(FMOD_SOUND* sound) {
    SoundRecord* record = FindSound(sound);
    Call call{"FMOD_Sound_Release", {SoundText(sound)}, record ? record->section : -1};
    FMOD_RESULT result = Announce(call, record && !record->released ? FMOD_OK : FMOD_ERR_INVALID_HANDLE);
    if (result == FMOD_OK) {
        record->released = true;
        record->tags.clear(); // pointers handed out by GetTag end here
        record->tags.shrink_to_fit();
    }
    return result;
}

FMOD_RESULT FakeLibrary::SoundGetNumTags(FMOD_SOUND* sound, int* count, int* updatedCount) {
    SoundRecord* record = FindSound(sound);
    Call call{"FMOD_Sound_GetNumTags", {SoundText(sound), PointerText(count), PointerText(updatedCount)},
              record ? record->section : -1};
    FMOD_RESULT result = FMOD_OK;
    if (!record || record->released) {
        result = FMOD_ERR_INVALID_HANDLE;
    } else if (!count) {
        result = FMOD_ERR_INVALID_PARAM;
    }
    int tagCount = result == FMOD_OK ? static_cast<int>(record->tags.size()) : 0;
    result = Announce(call, result);
    if (result == FMOD_OK) {
        *count = tagCount;
        if (updatedCount) {
            *updatedCount = 0;
        }
    }
    return result;
}

FMOD_RESULT FakeLibrary::SoundGetTag(FMOD_SOUND* sound, const char* name, int index, FMOD_TAG* tag) {
    SoundRecord* record = FindSound(sound);
    Call call{"FMOD_Sound_GetTag", {SoundText(sound), QuotedText(name), std::to_string(index), PointerText(tag)},
              record ? record->section : -1};
    FMOD_RESULT result = FMOD_OK;
    ScriptTag* found = nullptr;
    if (!record || record->released) {
        result = FMOD_ERR_INVALID_HANDLE;
    } else if (!tag || index < 0) {
        result = FMOD_ERR_INVALID_PARAM;
    } else {
        // With a name, the index counts only the tags of that name.
        int seen = 0;
        for (ScriptTag& candidate : record->tags) {
            if (name && candidate.name != name) {
                continue;
            }
            if (seen++ == index) {
                found = &candidate;
                break;
            }
        }
        if (!found) {
            result = FMOD_ERR_TAGNOTFOUND;
        }
    }
    result = Announce(call, result);
    if (result == FMOD_OK && found) {
        tag->type = static_cast<FMOD_TAGTYPE>(found->type);
        tag->datatype = FMOD_TAGDATATYPE_STRING;
        tag->name = found->name.data();
        tag->data = found->data.data();
        tag->datalen = static_cast<unsigned>(found->data.size());
        tag->updated = 0;
    }
    return result;
}

FMOD_RESULT FakeLibrary::SoundGetLength(FMOD_SOUND* sound, unsigned* length, FMOD_TIMEUNIT unit) {
    SoundRecord* record = FindSound(sound);
    Call call{"FMOD_Sound_GetLength", {SoundText(sound), PointerText(length), std::to_string(unit)},
              record ? record->section : -1};
    FMOD_RESULT result = FMOD_OK;
    unsigned answer = 0;
    if (!record || record->released) {
        result = FMOD_ERR_INVALID_HANDLE;
    } else if (!length) {
        result = FMOD_ERR_INVALID_PARAM;
    } else if (unit == FMOD_TIMEUNIT_MS) {
        answer = SoundSettings(record->section).lengthMs;
    } else if (unit == FMOD_TIMEUNIT_RAWBYTES) {
        answer = SoundSettings(record->section).lengthRawBytes;
    } else {
        result = FMOD_ERR_INVALID_PARAM;
    }
    result = Announce(call, result);
    if (result == FMOD_OK) {
        *length = answer;
    }
    return result;
}

FMOD_RESULT FakeLibrary::SoundGetFormat(FMOD_SOUND* sound, FMOD_SOUND_TYPE* type, FMOD_SOUND_FORMAT* format,
                                        int* channels, int* bits) {
    SoundRecord* record = FindSound(sound);
    Call call{"FMOD_Sound_GetFormat",
              {SoundText(sound), PointerText(type), PointerText(format), PointerText(channels), PointerText(bits)},
              record ? record->section : -1};
    FMOD_RESULT result = FMOD_OK;
    if (!record || record->released) {
        result = FMOD_ERR_INVALID_HANDLE;
    } else if (!type || !format || !channels || !bits) {
        result = FMOD_ERR_INVALID_PARAM;
    }
    const SoundScript& settings = SoundSettings(record ? record->section : -1);
    result = Announce(call, result);
    if (result == FMOD_OK) {
        *type = static_cast<FMOD_SOUND_TYPE>(settings.soundType);
        *format = static_cast<FMOD_SOUND_FORMAT>(settings.soundFormat);
        *channels = settings.channels;
        *bits = settings.bits;
    }
    return result;
}
