#include "emulatoroptions.h"

#include <QStringList>
#include <cstdio>

namespace {

bool ParseFrameList(const QString& text, QSet<int>& out)
{
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || value < 1)
            return false;
        out.insert(value);
    }
    return !out.isEmpty();
}

bool ParseCount(const QString& text, int low, int& out)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low)
        return false;
    out = value;
    return true;
}

} // namespace

void PrintEmulatorHelp()
{
    std::fputs("usage: stb-emulator [options]\n"
               "Plays the receiver at the other end of the serial line. Prints the device to use on its first line.\n"
               "\n"
               "  --link PATH          also make PATH a symbolic link to the pseudo-terminal\n"
               "  --device PATH        use this serial device instead of a new pseudo-terminal\n"
               "  --save-dir DIR       save each completed download as DIR/<type>_<nnnn>.bin\n"
               "  --send-preset FILE   first send FILE to the tool (the receiver's side of a preset copy)\n"
               "  --baud N             pace this side as a real line at N baud (10 bits a byte)\n"
               "  --reply-timeout MS   while sending: how long to wait for the tool's reply (default 2000)\n"
               "  --verbose            log every frame and reply on stderr\n"
               "\n"
               "Faults (FRAMES: data frame numbers of a download, from 1, repeats counted, e.g. 3,4):\n"
               "  --nak FRAMES         answer N\n"
               "  --other FRAMES       answer with another letter (X)\n"
               "  --silent FRAMES      do not answer\n"
               "  --terminate FRAMES   answer T\n"
               "  --noise FRAMES       send a noise byte (0xFF) before the answer\n"
               "  --silent-syncs N     do not answer the first N sync bytes of each download\n"
               "\n"
               "Each download the tool completes prints one line:\n"
               "  saved kind=code|preset|loader type=T frames=N size=BYTES sha256=HEX file=PATH|-\n"
               "A preset sent with --send-preset prints:\n"
               "  sent kind=preset frames=N size=BYTES sha256=HEX\n"
               "SIGTERM or SIGINT ends the emulator.\n",
        stdout);
}

bool ParseEmulatorOptions(const QStringList& args, EmulatorOptions& options, bool& help)
{
    help = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            help = true;
            return true;
        }
        if (arg == QLatin1String("--verbose")) {
            options.verbose = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            std::fprintf(stderr, "stb-emulator: %s needs a value\n", arg.toLocal8Bit().constData());
            return false;
        }
        const QString value = args[++i];
        bool ok = true;
        if (arg == QLatin1String("--link"))
            options.link = value;
        else if (arg == QLatin1String("--device"))
            options.device = value;
        else if (arg == QLatin1String("--save-dir"))
            options.saveDir = value;
        else if (arg == QLatin1String("--send-preset"))
            options.sendPreset = value;
        else if (arg == QLatin1String("--baud"))
            ok = ParseCount(value, 1, options.baud);
        else if (arg == QLatin1String("--reply-timeout"))
            ok = ParseCount(value, 1, options.replyTimeoutMs);
        else if (arg == QLatin1String("--silent-syncs"))
            ok = ParseCount(value, 0, options.silentSyncs);
        else if (arg == QLatin1String("--nak"))
            ok = ParseFrameList(value, options.nakFrames);
        else if (arg == QLatin1String("--other"))
            ok = ParseFrameList(value, options.otherFrames);
        else if (arg == QLatin1String("--silent"))
            ok = ParseFrameList(value, options.silentFrames);
        else if (arg == QLatin1String("--terminate"))
            ok = ParseFrameList(value, options.terminateFrames);
        else if (arg == QLatin1String("--noise"))
            ok = ParseFrameList(value, options.noiseFrames);
        else {
            std::fprintf(stderr, "stb-emulator: unknown option %s\n", arg.toLocal8Bit().constData());
            return false;
        }
        if (!ok) {
            std::fprintf(stderr, "stb-emulator: bad value for %s: %s\n", arg.toLocal8Bit().constData(),
                value.toLocal8Bit().constData());
            return false;
        }
    }
    return true;
}
