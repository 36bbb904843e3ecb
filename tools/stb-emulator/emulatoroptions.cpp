#include "emulatoroptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <cstdio>

namespace {

bool ParseFrameList(const QStringList& values, QSet<int>& out)
{
    for (const QString& value : values) {
        for (const QString& part : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            const int frame = part.toInt(&ok);
            if (!ok || frame < 1)
                return false;
            out.insert(frame);
        }
    }
    return values.isEmpty() || !out.isEmpty();
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

const char* const kEpilogue = "\n"
                              "FRAMES are the data frame numbers of a download, from 1, repeats counted, as a list\n"
                              "(3,4) or as repeated options.\n"
                              "\n"
                              "Saves are numbered on from the files already in DIR; none is overwritten.\n"
                              "Each download the tool completes prints one line:\n"
                              "  saved kind=code|preset|loader type=T frames=N size=BYTES sha256=HEX file=PATH|-\n"
                              "A preset sent with --send-preset prints:\n"
                              "  sent kind=preset frames=N size=BYTES sha256=HEX\n"
                              "SIGTERM or SIGINT ends the emulator.\n";

} // namespace

EmulatorCommand ParseEmulatorOptions(const QStringList& args, EmulatorOptions& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the receiver at the other end of the serial line. Prints the device to use on its first line."));
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
    const auto valued = [](const char* name, const char* description, const char* valueName) {
        return QCommandLineOption(
            QString::fromLatin1(name), QString::fromLatin1(description), QString::fromLatin1(valueName));
    };
    const QCommandLineOption link = valued("link", "Also make PATH a symbolic link to the pseudo-terminal.", "PATH");
    const QCommandLineOption device
        = valued("device", "Use this serial device instead of a new pseudo-terminal.", "PATH");
    const QCommandLineOption saveDir
        = valued("save-dir", "Save each completed download as DIR/<type>_<nnnn>.bin.", "DIR");
    const QCommandLineOption sendPreset
        = valued("send-preset", "First send FILE to the tool (the receiver's side of a preset copy).", "FILE");
    const QCommandLineOption baud = valued("baud", "Pace this side as a real line at N baud (10 bits a byte).", "N");
    const QCommandLineOption replyTimeout
        = valued("reply-timeout", "While sending: how long to wait for the tool's reply (default 2000).", "MS");
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Log every frame and reply on stderr."));
    const QCommandLineOption timing(QStringLiteral("timing"),
        QStringLiteral("After each download, print how long the tool took from an A reply to its next frame."));
    const QCommandLineOption nak = valued("nak", "Fault: answer N to these frames.", "FRAMES");
    const QCommandLineOption other = valued("other", "Fault: answer with another letter (X).", "FRAMES");
    const QCommandLineOption silent = valued("silent", "Fault: do not answer these frames.", "FRAMES");
    const QCommandLineOption terminate = valued("terminate", "Fault: answer T.", "FRAMES");
    const QCommandLineOption noise = valued("noise", "Fault: send a noise byte (0xFF) before the answer.", "FRAMES");
    const QCommandLineOption spoil = valued(
        "spoil", "Fault, with --send-preset: flip one payload bit in the first sending of these frames.", "FRAMES");
    const QCommandLineOption silentSyncs
        = valued("silent-syncs", "Fault: do not answer the first N sync bytes of each download.", "N");
    const QCommandLineOption receivers = valued("receivers",
        "Play N receivers in turn: after its download each one reboots, and the next answers after the swap gap.", "N");
    const QCommandLineOption swapGap
        = valued("swap-gap", "With --receivers: how long syncs go unanswered between two (default 2000).", "MS");
    const QCommandLineOption stayInLoader(QStringLiteral("stay-in-loader"),
        QStringLiteral("With --receivers: a receiver still answers syncs after its download."));
    const QCommandLineOption failReceiver
        = valued("fail-receiver", "Fault: receiver K (from 1) answers T to its third frame.", "K");
    parser.addOptions({ help, version, link, device, saveDir, sendPreset, baud, replyTimeout, verbose, timing, nak, other,
        silent, terminate, noise, spoil, silentSyncs, receivers, swapGap, stayInLoader, failReceiver });

    if (!parser.parse(QStringList { QStringLiteral("stb-emulator") } + args)) {
        std::fprintf(stderr, "stb-emulator: %s\n", parser.errorText().toLocal8Bit().constData());
        return EmulatorCommand::BadUsage;
    }
    if (parser.isSet(help)) {
        // The usage line names the program, wherever it was started from.
        QString text = parser.helpText();
        text.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: stb-emulator"));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        std::fputs(kEpilogue, stdout);
        return EmulatorCommand::ShowedInfo;
    }
    if (parser.isSet(version)) {
        std::printf("stb-emulator %s\n", TESSAVO2_VERSION);
        return EmulatorCommand::ShowedInfo;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "stb-emulator: unexpected argument %s\n",
            parser.positionalArguments().constFirst().toLocal8Bit().constData());
        return EmulatorCommand::BadUsage;
    }
    options.link = parser.value(link);
    options.device = parser.value(device);
    options.saveDir = parser.value(saveDir);
    options.sendPreset = parser.value(sendPreset);
    options.verbose = parser.isSet(verbose);
    options.timing = parser.isSet(timing);
    options.stayInLoader = parser.isSet(stayInLoader);

    const struct {
        const QCommandLineOption& option;
        int low;
        int& out;
    } counts[] = { { baud, 1, options.baud }, { replyTimeout, 1, options.replyTimeoutMs },
        { silentSyncs, 0, options.silentSyncs }, { receivers, 1, options.receivers },
        { swapGap, 0, options.swapGapMs }, { failReceiver, 1, options.failReceiver } };
    const struct {
        const QCommandLineOption& option;
        QSet<int>& out;
    } frameLists[] = { { nak, options.nakFrames }, { other, options.otherFrames }, { silent, options.silentFrames },
        { terminate, options.terminateFrames }, { noise, options.noiseFrames }, { spoil, options.spoilFrames } };
    const auto bad = [&parser](const QCommandLineOption& option) {
        std::fprintf(stderr, "stb-emulator: bad value for --%s: %s\n", qPrintable(option.names().constLast()),
            qPrintable(parser.values(option).join(QLatin1Char(','))));
        return EmulatorCommand::BadUsage;
    };
    for (const auto& c : counts)
        if (parser.isSet(c.option) && !ParseCount(parser.value(c.option), c.low, c.out))
            return bad(c.option);
    for (const auto& f : frameLists)
        if (!ParseFrameList(parser.values(f.option), f.out))
            return bad(f.option);
    return EmulatorCommand::Run;
}
