#pragma once

#include <array>
#include <cstdint>

// The 85-byte parameter image the K30 is configured with: bytes 0 to 24 belong to the
// bar code decoder, bytes 25 to 84 to the magnetic card reader.
inline constexpr int kImageSize = 85;
inline constexpr int kDecoderFirst = 0;
inline constexpr int kDecoderLast = 24;
inline constexpr int kReaderFirst = 25;
inline constexpr int kReaderLast = 84;

using Image = std::array<std::uint8_t, kImageSize>;

// The device's two sections, and so the image's: each parameter page edits one, and an
// upload answer carries one.
enum class Section
{
    Decoder,
    Reader
};

// The factory values of every byte, as the device leaves the factory.
Image FactoryImage();

// The three images every page, file command and exchange works on: the working image,
// the defaults that "Set Default" restores, and the image as last loaded or saved.
// There is no change flag: IsChanged() compares ConfigImage with SavedImage.
class ParameterImages
{
public:
    ParameterImages();

    Image ConfigImage{};
    Image DefaultImage{};
    Image SavedImage{};

    // byte index := (old AND NOT mask) OR value; value is already shifted into the mask.
    void SetBits(int index, int mask, int value);
    std::uint8_t GetBits(int index, int mask) const;
    std::uint8_t GetDefaultBits(int index, int mask) const;

    void CopyDecoderDefaults();
    void CopyReaderDefaults();
    void FillDecoderDefaults();
    void FillReaderDefaults();

    // Start-up and File New: the working image and the saved image become the defaults.
    void ResetToDefaults();
    // The configuration was just loaded or saved.
    void MarkSaved() { SavedImage = ConfigImage; }
    bool IsChanged() const;
};
