// CONFIG.TXT is whatever the user (or a crashed editor) left beside the program.
// Besides not crashing, the parser must read the same slots whatever the pieces the
// file arrives in, and what it read must load back unchanged once saved, unless the
// save refuses it.
#include "config/configfile.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const SoundSlots whole = parseConfig(bytes);

    // The first byte picks the piece size, so the fuzzer explores where pieces split lines.
    const qsizetype piece = size ? 1 + data[0] % 64 : 1;
    ConfigParser parser;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        parser.feed(bytes.sliced(at, std::min(piece, bytes.size() - at)));
    if (parser.finish() != whole)
        std::abort();

    // A name that would not load back the same is refused by the save, never written.
    const bool savable =
        std::none_of(whole.begin(), whole.end(), [](const QByteArray &v) { return unsavableName(v); });
    if (savable && parseConfig(serializeConfig(whole)) != whole)
        std::abort();
    return 0;
}
