// Reading a dotted IPv4 address the way the resolver call wants it.
#pragma once

// Reads "%d.%d.%d.%d" (blanks before each number skipped, reading stops at the first
// mismatch) and keeps the low 8 bits of each number: 127.0.0.300 gives 127.0.0.44.
// Numbers not read count as 0. out[0] is the most significant byte (network order).
// Returns how many numbers were read.
int ParseDottedAddress(const char* text, unsigned char out[4]);
