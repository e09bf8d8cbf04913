#pragma once
// The byte transform under which the built-in atlases store their pictures, and its inverse.
// Reading: rotate left 3, XOR the key 0xF9, invert. Writing: the exact inverse.
#include <cstddef>
#include <cstdint>

class TMemoryStream;

namespace PictureTransform {

constexpr std::uint8_t kPictureKey = 0xF9;

constexpr std::uint8_t PlainFromStored(std::uint8_t b)
{
    const std::uint8_t r = static_cast<std::uint8_t>((b << 3) | (b >> 5));
    return static_cast<std::uint8_t>(~(r ^ kPictureKey));
}

constexpr std::uint8_t StoredFromPlain(std::uint8_t p)
{
    const std::uint8_t x = static_cast<std::uint8_t>(~p ^ kPictureKey);
    return static_cast<std::uint8_t>((x >> 3) | (x << 5));
}

// In place over a whole buffer, one pass, no allocation.
void DecodeBuffer(std::uint8_t *data, std::size_t size);
void EncodeBuffer(std::uint8_t *data, std::size_t size);

} // namespace PictureTransform

// Reverses the transform over the whole stream in place; size kept, position 0 after; never raises.
void DecodePictureStream(TMemoryStream &stream) noexcept;
// The forward direction, for whoever builds a catalogue file.
void EncodePictureStream(TMemoryStream &stream) noexcept;
