#include "base/localpath.h"
#include "ccommandline.h"
#include "cliio.h"
#include "commands.h"

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <utility>

namespace {

constexpr std::pair<const char*, int (*)(const QStringList&)> kCommands[] = {
    { "send", RunSend },
    { "receive", RunReceive },
    { "ports", RunPorts },
    { "rcu", RunRcu },
    { "tplist", RunTplist },
    { "station", RunStation },
};

int Run(const QStringList& args)
{
    const QString command = args.value(0);
    for (const auto& [name, run] : kCommands) {
        if (command == QLatin1String(name))
            return run(args.mid(1));
    }
    CCommandLine line(QStringLiteral(""), QStringLiteral("COMMAND [options] ..."),
        QStringLiteral("Downloads files into the receiver and converts its preset files.\n\n"
                       "Commands:\n"
                       "  send      send a code, loader or preset image to the receiver\n"
                       "  receive   receive the receiver's preset data\n"
                       "  ports     list the serial ports of this machine\n"
                       "  rcu       check an rcu file, convert it to JSON and back\n"
                       "  tplist    build TP_List/*.tp and List.c from SatcoDX files\n"
                       "  station   flash every receiver that answers, on many lines at once\n\n"
                       "tessavo2-cli COMMAND --help tells more about each."));
    line.AddOption({ QStringLiteral("version") }, QStringLiteral("Show the version."));
    line.Parse(args, 0, 1);
    if (line.IsSet(QStringLiteral("version"))) {
        std::printf("tessavo2-cli %s\n", TESSAVO2_VERSION);
        return kExitCompleted;
    }
    line.Fail(command.isEmpty() ? QStringLiteral("a command is missing")
                                : QStringLiteral("unknown command '%1'").arg(command));
}

} // namespace

int main(int argc, char** argv)
{
    // A reader that closes standard output early must not end a flash midway: the write fails instead.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    // File names come as they are, UTF-8 or not.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << DecodePath(argv[i]);
    int code = kExitUsage;
    try {
        code = Run(args);
    } catch (const CliExit& exit) {
        code = exit.code;
    }
    if (!StandardOutputIntact() && code == kExitCompleted)
        code = kExitFailed;
    return code;
}
