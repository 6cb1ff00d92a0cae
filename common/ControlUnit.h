// Framing of the control protocol: a unit is four bytes, one little-endian signed 32-bit code.
// A unit may arrive split across several reads; UnitAssembler collects its bytes and yields
// the code only once all four have arrived.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kControlUnitSize = 4;

inline void EncodeControlUnit(int32_t code, unsigned char out[kControlUnitSize])
{
    uint32_t value = static_cast<uint32_t>(code);
    for (int i = 0; i < kControlUnitSize; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

inline int32_t DecodeControlUnit(const unsigned char in[kControlUnitSize])
{
    uint32_t value = 0;
    for (int i = 0; i < kControlUnitSize; ++i)
        value |= static_cast<uint32_t>(in[i]) << (8 * i);
    return static_cast<int32_t>(value);
}

class UnitAssembler {
public:
    // Where the next received bytes go, and how many are still missing from the unit.
    unsigned char* Space() { return m_bytes + m_have; }
    int Missing() const { return kControlUnitSize - m_have; }

    // Records that count bytes were written to Space(); returns true when the unit is whole.
    bool Added(int count)
    {
        if (count > 0)
            m_have += count < Missing() ? count : Missing();
        return m_have == kControlUnitSize;
    }

    // The code of the whole unit; the assembler starts on the next one.
    int32_t Take()
    {
        m_have = 0;
        return DecodeControlUnit(m_bytes);
    }

    bool HasPartialUnit() const { return m_have > 0; }
    void Reset() { m_have = 0; }

private:
    unsigned char m_bytes[kControlUnitSize] = {};
    int m_have = 0;
};
