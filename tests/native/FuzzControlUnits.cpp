// Fuzz target: any byte stream cut into any reads gives exactly the codes of its whole units.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ControlUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the read sizes; the rest is the stream.
    unsigned seed = data[0];
    const uint8_t* stream = data + 1;
    size_t length = size - 1;

    UnitAssembler unit;
    std::vector<int32_t> codes;
    size_t at = 0;
    while (at < length) {
        seed = seed * 1103515245u + 12345u;
        int chunk = 1 + static_cast<int>((seed >> 16) % 7);
        int take = chunk < unit.Missing() ? chunk : unit.Missing();
        if (static_cast<size_t>(take) > length - at)
            take = static_cast<int>(length - at);
        for (int i = 0; i < take; ++i)
            unit.Space()[i] = stream[at + i];
        at += take;
        if (unit.Added(take))
            codes.push_back(unit.Take());
    }
    if (codes.size() != length / 4)
        abort();
    for (size_t i = 0; i < codes.size(); ++i)
        if (codes[i] != DecodeControlUnit(stream + 4 * i))
            abort();
    if (unit.HasPartialUnit() != (length % 4 != 0))
        abort();
    return 0;
}
