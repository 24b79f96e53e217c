#include "tests/support/ByteMutator.h"

namespace TestSupport {

namespace {

const uint32_t kBoundaries[] = {0,           1,           0x7F,   0x80,      0xFF,       0x100,
                                0x7FFF,      0x8000,      0xFFFF, 0x10000,   0x7FFFFFFF, 0x80000000u,
                                0xFFFFFFFFu, 0xFFFFFFFEu, 16384,  65535 - 22};
const char* const kSignatures[] = {"PK\x03\x04", "PK\x01\x02", "PK\x05\x06", "IHDR", "IDAT", "IEND"};

void Put(std::string& s, size_t pos, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes && pos + size_t(i) < s.size(); ++i)
        s[pos + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

}  // namespace

uint32_t ByteMutator::Next()
{
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

void ByteMutator::Mutate(std::string& data)
{
    const int steps = 1 + int(Below(8));
    for (int s = 0; s < steps; ++s) {
        const size_t size = data.size();
        const size_t pos = size ? Below(uint32_t(size)) : 0;
        switch (Below(8)) {
        case 0:
            if (size) data[pos] = char(Next());
            break;
        case 1:
            data.insert(data.begin() + ptrdiff_t(pos), char(Below(256)));
            break;
        case 2: {
            const size_t n = Below(64) + 1;
            data.erase(pos, n);
            break;
        }
        case 3: {
            const size_t n = Below(300) + 1;
            const std::string piece = data.substr(pos, n);
            data.insert(size ? Below(uint32_t(size)) : 0, piece);
            break;
        }
        case 4:
            data.resize(pos);
            break;
        case 5:
        case 6: {
            const uint32_t v = kBoundaries[Below(sizeof(kBoundaries) / sizeof(kBoundaries[0]))];
            Put(data, pos, v, Below(2) ? 4 : 2);
            break;
        }
        default: {
            const char* sig = kSignatures[Below(sizeof(kSignatures) / sizeof(kSignatures[0]))];
            for (int i = 0; i < 4 && pos + size_t(i) < size; ++i) data[pos + size_t(i)] = sig[i];
            break;
        }
        }
    }
}

}  // namespace TestSupport
