#include "images.h"

#include <QRandomGenerator>

Image FilledImage(std::uint8_t value)
{
    Image image{};
    image.fill(value);
    return image;
}

Image RandomImage(quint32 seed)
{
    QRandomGenerator random(seed);
    Image image{};
    for (auto &byte : image)
        byte = static_cast<std::uint8_t>(random.bounded(256));
    return image;
}
