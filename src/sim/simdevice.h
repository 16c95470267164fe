#pragma once

#include "sim/simfaults.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// The K30's side of the wire, without any I/O: bytes from the PC go in, the device's answer
// comes out. It keeps its own 85-byte image (a download with "Save" replaces it) and checks
// every frame it receives. This code is written apart from the tool's own frame code on
// purpose, so that a fault copied into both halves cannot hide.
class SimDevice
{
public:
    enum class Section
    {
        Decoder,
        Reader
    };
    static constexpr int kImageBytes = 85;

    SimDevice();

    std::array<std::uint8_t, kImageBytes> image{};
    Section section = Section::Decoder;
    // N of a decoder-section upload answer (25 to 255): its 25 image bytes come first, the
    // rest are 0.
    int decoderAnswerLength = 25;
    QString version1 = QStringLiteral("K30SIM V1.00"); // 12 characters
    QString version2 = QStringLiteral("2024-05-01");   // 10 characters
    SimFaults faults;
    // The records the decoder holds in its memory, oldest first; a clear empties it.
    QList<QByteArray> memory;
    static QList<QByteArray> SampleMemory();
    // `count` generated records of 16 bytes each ("K30-RECORD-00001" and on): 1000 of them
    // take 282 blocks.
    static QList<QByteArray> GeneratedMemory(int count);
    // One record per line of a text file (CR LF or LF), or with `hex` of its bytes in hex
    // digits; false when it cannot be read.
    bool LoadMemory(const QString &path, bool hex = false);

    // Serial line: the bytes received; returns the answer (possibly empty).
    QByteArray SerialInput(QByteArrayView bytes);
    // Keyboard path: one byte written to the keyboard controller; returns what the device
    // types in answer (possibly empty).
    QByteArray KeyboardInput(std::uint8_t byte);
    // A pause on the line: a half-received frame or data run is dropped.
    void ResetInput();

    const QStringList &Log() const { return m_log; }
    void AddLog(const QString &line) { m_log.append(line); }
    int DownloadsSaved() const { return m_saved; }

private:
    enum class KeyState
    {
        Command,
        DownloadData
    };

    QByteArray TakeSerialFrame(bool &complete);
    QByteArray AnswerSerialFrame(const QByteArray &frame);
    QByteArray SerialUploadAnswer() const;
    QByteArray KeyboardUploadText() const;
    QByteArray Typed(QByteArray text) const;
    QByteArray AnswerMemoryFrame(const QByteArray &frame);
    QByteArray AnswerBlockReply(char reply);
    QByteArray MemoryBlock(int index);
    QByteArray EncodedRecord(int index) const;
    QByteArray KeyboardMemoryText() const;

    QByteArray m_rx;
    KeyState m_keyState = KeyState::Command;
    QByteArray m_keyBuffer;
    bool m_keySave = false;
    QStringList m_log;
    int m_saved = 0;
    // A serial memory read in progress: the stream sent so far and the block awaiting its
    // reply ("S", "P" or "E"), or -1.
    QByteArray m_stream;
    int m_streamRecords = 0;
    bool m_streamEnded = false;
    int m_awaitingBlock = -1;
};

// "02 80 03 81"
QString SimHex(QByteArrayView bytes);
