#include "core/parameterimages.h"

#include <algorithm>

Image FactoryImage()
{
    Image image{};
    // Code IDs "A" to "H", one per symbology.
    for (int i = 0; i < 8; ++i)
        image[i] = static_cast<std::uint8_t>('A' + i);
    // Decoder prefix and suffix slots, all empty.
    std::fill(image.begin() + 8, image.begin() + 16, std::uint8_t{255});
    constexpr std::uint8_t decoderTail[] = {8, 0, 255, 252, 2, 255, 34, 102, 0};
    std::copy(std::begin(decoderTail), std::end(decoderTail), image.begin() + 16);
    constexpr std::uint8_t readerHead[] = {0, 48, 226, 23};
    std::copy(std::begin(readerHead), std::end(readerHead), image.begin() + 25);
    // Reader per-track prefix and suffix slots, all empty.
    std::fill(image.begin() + 29, image.begin() + 77, std::uint8_t{255});
    constexpr std::uint8_t readerTail[] = {'%', '?', ';', '?', '+', '?', 15, 13};
    std::copy(std::begin(readerTail), std::end(readerTail), image.begin() + 77);
    return image;
}

ParameterImages::ParameterImages()
{
    FillDecoderDefaults();
    FillReaderDefaults();
    ResetToDefaults();
}

void ParameterImages::SetBits(int index, int mask, int value)
{
    auto &byte = ConfigImage.at(static_cast<std::size_t>(index));
    byte = static_cast<std::uint8_t>((byte & ~mask) | (value & mask));
}

std::uint8_t ParameterImages::GetBits(int index, int mask) const
{
    return static_cast<std::uint8_t>(ConfigImage.at(static_cast<std::size_t>(index)) & mask);
}

std::uint8_t ParameterImages::GetDefaultBits(int index, int mask) const
{
    return static_cast<std::uint8_t>(DefaultImage.at(static_cast<std::size_t>(index)) & mask);
}

void ParameterImages::CopyDecoderDefaults()
{
    std::copy(DefaultImage.begin() + kDecoderFirst, DefaultImage.begin() + kDecoderLast + 1,
              ConfigImage.begin() + kDecoderFirst);
}

void ParameterImages::CopyReaderDefaults()
{
    std::copy(DefaultImage.begin() + kReaderFirst, DefaultImage.end(),
              ConfigImage.begin() + kReaderFirst);
}

void ParameterImages::FillDecoderDefaults()
{
    const Image factory = FactoryImage();
    std::copy(factory.begin() + kDecoderFirst, factory.begin() + kDecoderLast + 1,
              DefaultImage.begin() + kDecoderFirst);
}

void ParameterImages::FillReaderDefaults()
{
    const Image factory = FactoryImage();
    std::copy(factory.begin() + kReaderFirst, factory.end(), DefaultImage.begin() + kReaderFirst);
}

void ParameterImages::ResetToDefaults()
{
    ConfigImage = DefaultImage;
    SavedImage = DefaultImage;
}

bool ParameterImages::IsChanged() const
{
    return ConfigImage != SavedImage;
}
