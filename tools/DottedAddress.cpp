// Dotted-address reading for the host-name lookup.
#include "DottedAddress.h"

#include <cstdio>

int ParseDottedAddress(const char* text, unsigned char out[4])
{
    int parts[4] = {0, 0, 0, 0};
    int read = text ? std::sscanf(text, "%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]) : 0;
    if (read < 0)
        read = 0;
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<unsigned char>(static_cast<unsigned>(parts[i]) & 0xFF);
    return read;
}
