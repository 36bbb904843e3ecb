#pragma once

#include "emulatoroptions.h"
#include "transfer/ccrc32.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

// The receiver on the far end of the line: answers syncs and frames of a download, checks every
// frame, saves what it got, can play its own side of a preset copy, injects the faults it is asked
// for and can pace its side like a real line.
class CStbEmulator {
public:
    explicit CStbEmulator(EmulatorOptions options);
    ~CStbEmulator();
    CStbEmulator(const CStbEmulator&) = delete;
    CStbEmulator& operator=(const CStbEmulator&) = delete;

    // Opens the pseudo-terminal (or the device); devicePath is what the tool must open.
    bool Start(QString& devicePath, QString& error);
    // Serves until stopFd becomes readable. Returns the process exit code.
    int Run(int stopFd);

private:
    enum class Phase { Idle, Frames };
    enum class Wait { Data, Timeout, Stop };

    Wait ReadSome(int timeoutMs);
    void WritePaced(const uint8_t* data, int size, bool answer);
    void Reply(char letter, bool noise);
    void ProcessInput();
    bool TakeFrame();
    void HandleDataFrame(const uint8_t* frame, int size);
    void HandleEndFrame(const uint8_t* frame, int size);
    void StartDownload();
    void NextReceiver();
    [[nodiscard]] bool Rebooting() const;
    void SaveDownload();
    void PrintTiming();
    bool SendPreset();
    int SendAndAwaitReply(const uint8_t* data, int size, int timeoutMs);
    void Log(const char* format, ...) const;

    EmulatorOptions m_options;
    CCrc32 m_crc;
    int m_fd = -1;
    int m_slaveFd = -1;
    int m_stopFd = -1;
    bool m_bStop = false;
    QByteArray m_input;
    int64_t m_lastInputNs = 0;

    int64_t m_byteNs = 0;
    int64_t m_inputDoneNs = 0;
    int64_t m_outputFreeNs = 0;
    // From the last byte of an A reply written to the first byte of the tool's next frame.
    int64_t m_ackWrittenNs = 0;
    std::vector<int64_t> m_replyGapsNs;

    Phase m_phase = Phase::Idle;
    int m_silentSyncsLeft = 0;
    int m_framesSeen = 0;
    int m_expectedPacket = 0;
    int m_framesStored = 0;
    char m_type = 0;
    QByteArray m_download;
    int m_savedCount = 0;
    int m_receiver = 1;
    int64_t m_rebootedNs = 0;
};
