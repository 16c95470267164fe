#include "link/linkchoices.h"

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
    if (index < 0 || index >= int(kBaudGroup.options.size()))
        index = kBaudGroup.startIndex;
    settings.BaudSetting = QString::number(kBaudOptions[index].code);
}

void ChooseDataBits(LinkSettings &settings, int index)
{
    // Any index but that of "8 Data Bits" chooses seven.
    const int dataBits = kDataBitsOptions[index == 1 ? 1 : 0].code;
    const QString start = QStringLiteral("N,%1,").arg(dataBits);
    settings.FrameSetting = Padded(start + StopDigit(settings));
}

void ChooseStopBits(LinkSettings &settings, int index)
{
    QString start = settings.FrameSetting.left(4);
    // Only the stop-bits digit changes; a frame text without its first four characters
    // starts again from eight data bits.
    if (start.size() < 4)
        start = QStringLiteral("N,8,");
    const int stopBits = kStopBitsOptions[index == 1 ? 1 : 0].code;
    settings.FrameSetting = Padded(start + QString::number(stopBits));
}

void ChooseSaveOption(LinkSettings &settings, int index)
{
    settings.SaveFlag = index != 0;
}

int PortIndex(const LinkSettings &settings)
{
    return qBound(0, settings.CommPort - 1, kComPortCount - 1);
}

int BaudIndex(const LinkSettings &settings)
{
    const int index = OptionIndexOfCode(kBaudGroup, settings.BaudSetting);
    return index < 0 ? kBaudGroup.startIndex : index;
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
