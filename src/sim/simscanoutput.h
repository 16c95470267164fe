#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <array>
#include <cstdint>

// What the simulated K30 sends when it reads a bar code or a card, framed from its own image
// by its own reading of the parameters (never the tool's): the tool checks these bytes, so a
// fault copied into both halves would hide.

using SimImage = std::array<std::uint8_t, 85>;

// The code types in the order of their code ID bytes 0 to 7.
inline constexpr int kSimCodeTypes = 8;
inline constexpr int kSimCode128 = 5;

// A bar code of `codeType` (0 to 7; another number sends no code ID) holding `data`.
// `keyboard`: typed through the wedge, where STX-ETX is not sent.
QByteArray SimBarCodeOutput(const SimImage &image, QByteArrayView data, int codeType,
                            bool keyboard);
// A card whose tracks 1 to 3 hold `tracks` (an empty or missing entry: the card has no such
// track), sent as the track selection says.
QByteArray SimCardOutput(const SimImage &image, const QList<QByteArray> &tracks, bool keyboard);
