#include "data/PictureTransform.h"

#include "platform/TMemoryStream.h"

#include <cstring>

namespace PictureTransform {
namespace {

constexpr std::uint64_t kHigh5 = 0xF8F8F8F8F8F8F8F8ull; // bits that stay in the byte on a left shift by 3
constexpr std::uint64_t kLow3 = 0x0707070707070707ull;
// ~(r ^ 0xF9) == r ^ 0x06 for every byte.
constexpr std::uint64_t kDecodeXor = 0x0606060606060606ull;

inline std::uint64_t DecodeWord(std::uint64_t w)
{
    const std::uint64_t r = ((w << 3) & kHigh5) | ((w >> 5) & kLow3);
    return r ^ kDecodeXor;
}

inline std::uint64_t EncodeWord(std::uint64_t w)
{
    const std::uint64_t x = w ^ kDecodeXor; // ~p ^ 0xF9 == p ^ 0x06
    return ((x >> 3) & 0x1F1F1F1F1F1F1F1Full) | ((x << 5) & 0xE0E0E0E0E0E0E0E0ull);
}

template <std::uint64_t (*Word)(std::uint64_t), std::uint8_t (*Byte)(std::uint8_t)>
void Transform(std::uint8_t *data, std::size_t size)
{
    std::size_t i = 0;
    // Four words per step keeps both cores' load ports busy; memcpy keeps unaligned access legal.
    for (; i + 32 <= size; i += 32) {
        std::uint64_t w[4];
        std::memcpy(w, data + i, 32);
        w[0] = Word(w[0]);
        w[1] = Word(w[1]);
        w[2] = Word(w[2]);
        w[3] = Word(w[3]);
        std::memcpy(data + i, w, 32);
    }
    for (; i + 8 <= size; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, data + i, 8);
        w = Word(w);
        std::memcpy(data + i, &w, 8);
    }
    for (; i < size; ++i)
        data[i] = Byte(data[i]);
}

std::uint8_t DecodeByte(std::uint8_t b) { return PlainFromStored(b); }
std::uint8_t EncodeByte(std::uint8_t b) { return StoredFromPlain(b); }

} // namespace

void DecodeBuffer(std::uint8_t *data, std::size_t size)
{
    Transform<DecodeWord, DecodeByte>(data, size);
}

void EncodeBuffer(std::uint8_t *data, std::size_t size)
{
    Transform<EncodeWord, EncodeByte>(data, size);
}

} // namespace PictureTransform

void DecodePictureStream(TMemoryStream &stream) noexcept
{
    stream.SetPosition(0);
    if (stream.Size() > 0)
        PictureTransform::DecodeBuffer(reinterpret_cast<std::uint8_t *>(stream.Memory()),
                                       static_cast<std::size_t>(stream.Size()));
    stream.SetPosition(0);
}

void EncodePictureStream(TMemoryStream &stream) noexcept
{
    stream.SetPosition(0);
    if (stream.Size() > 0)
        PictureTransform::EncodeBuffer(reinterpret_cast<std::uint8_t *>(stream.Memory()),
                                       static_cast<std::size_t>(stream.Size()));
    stream.SetPosition(0);
}
