#include "flac/flac.h"

namespace flac {

const char* ResultName(Result result) {
    switch (result) {
    case Result::Ok:
        return "ok";
    case Result::NeedMoreData:
        return "need more data";
    case Result::EndOfStream:
        return "end of stream";
    case Result::NotFlac:
        return "not a FLAC stream";
    case Result::BadMetadata:
        return "bad metadata";
    case Result::BadFrame:
        return "bad frame";
    case Result::CrcMismatch:
        return "frame checksum mismatch";
    case Result::NotFound:
        return "no frame found";
    }
    return "unknown result";
}

}  // namespace flac
