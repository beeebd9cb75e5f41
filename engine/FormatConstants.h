#pragma once

#include <array>
#include <cstdint>

// Fixed values of the program. Keys are derived from them and every container and data file
// is enciphered with those keys: a container written with one choice of these values cannot
// be read with another. They were chosen once and must never change.
namespace FormatConstants {

// The three constant texts. Joined first + second + third + second + first + third they form
// the key derivation text appended to every hash input (30 bytes, within the 32 allowed);
// joined first + second + third they form the passphrase of the message catalogues and of the
// tool format when no password is typed.
inline constexpr char16_t kConstantTextFirst[] = u"Kr7qZ";  // the five-character literal
inline constexpr char16_t kConstantTextSecond[] = u"Umi3";  // the string-table entry
inline constexpr char16_t kConstantTextThird[] = u"580214"; // the six-digit literal

// The IV salt: the first three bytes of this fixed ASCII text replace the last three key bytes
// in the IV hash input.
inline constexpr char kIvSaltText[] = "kbV-salt-of-the-iv";
inline constexpr int kIvSaltLength = 3;

// Key material of a free slot. Never meant for data: it only makes a free slot well defined.
inline constexpr std::array<std::uint8_t, 32> kFreeSlotKey = {
    0x4b, 0x75, 0x72, 0x61, 0x62, 0x6f, 0x78, 0x2d, 0x66, 0x72, 0x65, 0x65, 0x2d, 0x73, 0x6c, 0x6f,
    0x74, 0x2d, 0x6b, 0x65, 0x79, 0x2d, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x31};
inline constexpr std::array<std::uint8_t, 16> kFreeSlotIv = {0x66, 0x72, 0x65, 0x65, 0x2d, 0x73, 0x6c, 0x6f,
                                                             0x74, 0x2d, 0x69, 0x76, 0x2d, 0x30, 0x30, 0x31};

// Text of the space filler that pads password bytes to 32.
inline constexpr int kPasswordFieldLength = 32;
inline constexpr char kPasswordFiller = 0x20;

// first + second + third: the passphrase of the message catalogues and of the tool format
// when no password is typed.
inline constexpr char16_t kBuiltInPassphrase[] = u"Kr7qZUmi3580214";

} // namespace FormatConstants
