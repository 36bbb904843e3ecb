#include "cstbemulator.h"
#include "emulatoroptions.h"

#include <QFile>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/signalfd.h>

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QFile::decodeName(argv[i]);
    EmulatorOptions options;
    switch (ParseEmulatorOptions(args, options)) {
    case EmulatorCommand::BadUsage:
        std::fputs("try stb-emulator --help\n", stderr);
        return 64;
    case EmulatorCommand::ShowedInfo:
        return 0;
    case EmulatorCommand::Run:
        break;
    }

    // Stop requests arrive as a descriptor the serving loop watches, so it always ends cleanly.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);

    // Pacing sleeps to the microsecond; the default timer slack would stretch every one of them.
    (void)prctl(PR_SET_TIMERSLACK, 1UL);

    CStbEmulator emulator(options);
    QString device;
    QString error;
    if (stopFd < 0 || !emulator.Start(device, error)) {
        std::fprintf(stderr, "stb-emulator: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%s\n", device.toLocal8Bit().constData());
    std::fflush(stdout);
    return emulator.Run(stopFd);
}
