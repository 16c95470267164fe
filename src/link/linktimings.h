#pragma once

#include <chrono>

// Every wait, repetition and pause of the device exchanges. The K30 is built for these
// values; they are not settings.
using LinkDuration = std::chrono::milliseconds;

// Serial: the device's acknowledgement of a download, and its upload or version answer.
inline constexpr LinkDuration kDownloadTimeout{3000};
inline constexpr LinkDuration kUploadTimeout{7000};
// Keyboard: the command goes out at most 15 times, 150 ms apart; the 16th tick gives up.
inline constexpr LinkDuration kRepeaterInterval{150};
inline constexpr int kCommandRepeats = 15;
// Keyboard: the controller needs a pause after every byte written to port 0x60, and the
// device a pause between its "S" and the first data character of a download.
inline constexpr LinkDuration kKeyboardBytePause{4};
inline constexpr LinkDuration kHandshakeToDataPause{20};
// Keyboard: the 145 characters of an upload, and the "P" that ends a download.
inline constexpr LinkDuration kKeyboardUploadTimeout{5000};
inline constexpr LinkDuration kKeyboardFinalTimeout{1000};

// Finding the device: a probe at one line setting waits for the request to go out and the
// answer's first character to come back at that speed, plus this for the device to start
// answering; from the first character on, kProbeByteGap bounds each pause. A device slower
// than this to start is not found, however long the exchanges' own time-outs are. Every
// silent port tries all 16 settings, so this margin sets how long a search takes.
inline constexpr LinkDuration kProbeMargin{250};
// Once a device has begun an answer it keeps the line busy until the answer ends; a pause this
// long (beyond a character's own time) means the answer was cut short or was noise.
inline constexpr LinkDuration kProbeByteGap{100};

// Receive thresholds: a serial reply is looked at once this many bytes are buffered.
inline constexpr int kDownloadReplyThreshold = 1;
inline constexpr int kUploadReplyThreshold = 84;

// The waits one exchange runs with. Production code uses the defaults; a test may shorten a
// wait it is not about.
struct LinkTimings
{
    LinkDuration downloadTimeout = kDownloadTimeout;
    LinkDuration uploadTimeout = kUploadTimeout;
    LinkDuration repeaterInterval = kRepeaterInterval;
    LinkDuration keyboardBytePause = kKeyboardBytePause;
    LinkDuration handshakeToDataPause = kHandshakeToDataPause;
    LinkDuration keyboardUploadTimeout = kKeyboardUploadTimeout;
    LinkDuration keyboardFinalTimeout = kKeyboardFinalTimeout;
};
