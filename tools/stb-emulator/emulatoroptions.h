#pragma once

#include <QSet>
#include <QString>

// What the emulator is told on its command line. Frame numbers count the data frames of one download
// as they arrive, from 1, repeats included.
struct EmulatorOptions {
    QString link;
    QString device;
    QString saveDir;
    QString sendPreset;
    int baud = 0;
    int silentSyncs = 0;
    QSet<int> nakFrames;
    QSet<int> otherFrames;
    QSet<int> silentFrames;
    QSet<int> terminateFrames;
    QSet<int> noiseFrames;
    QSet<int> spoilFrames;
    int replyTimeoutMs = 2000;
    // A line of receivers plugged in one after another; 0: one receiver that stays in its loader.
    int receivers = 0;
    int swapGapMs = 2000;
    bool stayInLoader = false;
    int failReceiver = 0;
    bool verbose = false;
    bool timing = false;
};

enum class EmulatorCommand { Run, ShowedInfo, BadUsage };

// Fills options from the arguments (without the program name). --help and --version print on
// stdout (ShowedInfo); bad usage is told on stderr.
[[nodiscard]] EmulatorCommand ParseEmulatorOptions(const QStringList& args, EmulatorOptions& options);
