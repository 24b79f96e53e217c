#pragma once
// Deterministic mutations of binary inputs (archives, images) for the fuzz
// test and the fuzz benchmark: the same seed always gives the same inputs.

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace TestSupport {

class ByteMutator
{
public:
    explicit ByteMutator(uint32_t seed) : m_state(seed ? seed : 1) {}

    uint32_t Next();
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }

    // One to eight steps: flip, insert, delete, duplicate or truncate bytes,
    // overwrite a 16/32-bit field with a boundary value, or plant a ZIP
    // signature.
    void Mutate(std::string& data);

private:
    uint32_t m_state;
};

}  // namespace TestSupport
