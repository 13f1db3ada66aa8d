// libFuzzer target: the image-size probe on arbitrary bytes, read by header
// and by each name-given type. Built and run by scripts/fuzz-probe.
#include "capture/imageprobe.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (int type = klavoro::ImageSize::Unknown; type <= klavoro::ImageSize::Png; ++type) {
        const klavoro::ImageSize s = klavoro::probeImageData(bytes, type);
        if (s.type != klavoro::ImageSize::Unknown && s.type != type &&
            type != klavoro::ImageSize::Unknown)
            __builtin_trap(); // a name-given type is never replaced by another
    }
    return 0;
}
