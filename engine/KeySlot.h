#pragma once

#include <QString>

#include <array>
#include <cstdint>

using AesKey = std::array<std::uint8_t, 32>;
using AesIv = std::array<std::uint8_t, 16>;

// One named entry of the key table. A free slot has an empty name and the program's fixed
// free-slot material.
struct KeySlot
{
    QString name;
    AesKey key{};
    AesIv iv{};
    QString hint; // at most KeySlot::HintLength code units

    static constexpr int HintLength = 48;

    bool isFree() const { return name.isEmpty(); }
};
