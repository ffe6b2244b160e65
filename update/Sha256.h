#pragma once
// SHA-256 (FIPS 180-4) for checking a downloaded firmware image against the digest its update
// description announces.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace n640 {

using Sha256Digest = std::array<uint8_t, 32>;

class CSha256 {
public:
    CSha256();
    void Update(const void* data, size_t size);
    // The digest of everything added; the object starts over afterwards.
    Sha256Digest Final();

private:
    void Block(const uint8_t* block);
    void Reset();

    std::array<uint32_t, 8> state_{};
    std::array<uint8_t, 64> buffer_{};
    size_t buffered_ = 0;
    uint64_t totalBytes_ = 0;
};

Sha256Digest Sha256(const void* data, size_t size);
inline Sha256Digest Sha256(std::string_view bytes) { return Sha256(bytes.data(), bytes.size()); }

// Lower-case hexadecimal, 64 digits.
std::string Sha256Hex(const Sha256Digest& digest);
// 64 hexadecimal digits in either case, blanks around them allowed; nothing for anything else.
std::optional<Sha256Digest> ParseSha256(std::u16string_view text);

} // namespace n640
