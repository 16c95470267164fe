#pragma once

#include "core/parameterimages.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// The frames and texts the tool exchanges with the K30 for a configuration download, upload
// and firmware version request, and the checks of the device's answers. Plain functions: the
// exchanges call them with whole replies, the tests without any port.

inline constexpr std::uint8_t kFrameStart = 0x02;
inline constexpr std::uint8_t kFrameEnd = 0x03;
inline constexpr std::uint8_t kCommandSave = 0x01;
inline constexpr std::uint8_t kCommandNotSave = 0x02;
inline constexpr std::uint8_t kCommandUpload = 0x80;
// The device answers a download it accepts with this byte first.
inline constexpr std::uint8_t kDownloadAccepted = 0x07;

inline constexpr int kDownloadFrameSize = 90;
// Smallest parameter count N an upload answer may announce.
inline constexpr int kMinimumUploadLength = 10;
// N of the magnetic reader section; any other N carries the bar decoder section.
inline constexpr int kReaderUploadLength = 60;
inline constexpr int kVersionField1Size = 12;
inline constexpr int kVersionField2Size = 10;

// 0x02, command, 0x54, the 85 image bytes, 0x03 and the check that makes the exclusive-or of
// all 90 bytes 0.
QByteArray BuildDownloadFrame(const Image &image, bool save);
// 0x02 0x80 0x03 0x81: the request of an upload and of a firmware version.
QByteArray BuildUploadRequest();

// Exclusive-or of all bytes.
std::uint8_t XorOf(QByteArrayView bytes);

bool IsDownloadAccepted(QByteArrayView reply);

// What an upload answer carries: one section of the image and the two version fields.
struct UploadAnswer
{
    Section section = Section::Decoder;
    QByteArray sectionBytes; // 25 bytes (decoder) or 60 bytes (reader)
    QString version1;        // 12 characters
    QString version2;        // 10 characters
};

// The length of the serial upload answer that begins with `start`: N + 24, N being its first
// byte; 0 while nothing has arrived, and when N is below 10 (a bad answer however long).
qsizetype SerialUploadReplySize(QByteArrayView start);

// The serial answer N, N parameter bytes, 12 + 10 version characters and a check. A reply
// with N below 10, a check that does not come to 0, or fewer bytes than N + 24 is bad.
std::optional<UploadAnswer> CheckSerialUploadReply(QByteArrayView reply);

// Overwrites exactly the answer's section of the image.
void ApplyUploadAnswer(const UploadAnswer &answer, Image &image);

// "   <field 1>\n\r   <field 2>": how the firmware version is shown.
QString VersionText(const UploadAnswer &answer);
