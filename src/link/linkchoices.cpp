#include "link/linkchoices.h"

#include "core/fieldcatalogue.h"

#include <iterator>

namespace {

constexpr int kFrameWidth = 6;

// FrameSetting is always held six characters wide, padded with blanks.
QString Padded(QString frame)
{
    frame.truncate(kFrameWidth);
    return frame.leftJustified(kFrameWidth, QLatin1Char(' '));
}

QChar StopDigit(const LinkSettings &settings)
{
    const QString &frame = settings.FrameSetting;
    return frame.size() > 4 && frame.at(4) == QLatin1Char('2') ? QLatin1Char('2')
                                                               : QLatin1Char('1');
}

} // namespace

void ChooseLinkMode(LinkSettings &settings, int index)
{
    settings.LinkMode = index;
}

void ChoosePort(LinkSettings &settings, int index)
{
    settings.CommPort = index + 1;
}

void ChooseBaud(LinkSettings &settings, int index)
{
    if (index < 0 || index >= int(std::size(kBaudRates)))
        index = kDefaultBaudIndex;
    settings.BaudSetting = Text(kBaudRates[index]);
}

void ChooseDataBits(LinkSettings &settings, int index)
{
    const QString start = index == 1 ? QStringLiteral("N,8,") : QStringLiteral("N,7,");
    settings.FrameSetting = Padded(start + StopDigit(settings));
}

void ChooseStopBits(LinkSettings &settings, int index)
{
    QString start = settings.FrameSetting.left(4);
    // Only the stop-bits digit changes; a frame text without its first four characters
    // starts again from eight data bits.
    if (start.size() < 4)
        start = QStringLiteral("N,8,");
    settings.FrameSetting = Padded(start + (index == 1 ? QLatin1Char('2') : QLatin1Char('1')));
}

void ChooseSaveOption(LinkSettings &settings, int index)
{
    settings.SaveFlag = index != 0;
}

int PortIndex(const LinkSettings &settings)
{
    return qBound(0, settings.CommPort - 1, 3);
}

int BaudIndex(const LinkSettings &settings)
{
    for (int i = 0; i < int(std::size(kBaudRates)); ++i) {
        if (settings.BaudSetting == QLatin1String(kBaudRates[i]))
            return i;
    }
    return kDefaultBaudIndex;
}

int DataBitsIndex(const LinkSettings &settings)
{
    const QString &frame = settings.FrameSetting;
    return frame.size() > 2 && frame.at(2) == QLatin1Char('7') ? 0 : 1;
}

int StopBitsIndex(const LinkSettings &settings)
{
    return StopDigit(settings) == QLatin1Char('1') ? 0 : 1;
}
