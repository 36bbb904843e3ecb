#include "commands.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void PrintUsage(std::FILE* out = stderr)
{
    std::fputs("usage: tessavo2-cli send --port PORT --kind code|loader|preset [--baud N] [--data-bits N]\n"
               "                         [--parity none|odd|even] [--stop-bits 1|1.5|2] FILE\n"
               "       tessavo2-cli receive --port PORT --out FILE [--timeout SECONDS]\n"
               "       tessavo2-cli rcu check FILE\n"
               "       tessavo2-cli rcu export FILE [--out FILE.json]\n"
               "       tessavo2-cli rcu import FILE.json --out FILE.rcu\n"
               "       tessavo2-cli tplist (--all | --group N... | --sat PPPP...)\n"
               "       tessavo2-cli --help | --version\n",
        out);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        PrintUsage();
        return kExitUsage;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("--version")) {
        std::printf("tessavo2-cli %s\n", TESSAVO2_VERSION);
        return 0;
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs("Downloads files into a satellite receiver over a serial line, checks and converts preset\n"
                   "files and builds transponder lists, from the command line.\n\n",
            stdout);
        PrintUsage(stdout);
        return 0;
    }
    int rc = kExitUsage;
    if (command == QLatin1String("send"))
        rc = RunSend(args);
    else if (command == QLatin1String("receive"))
        rc = RunReceive(args);
    else if (command == QLatin1String("rcu"))
        rc = RunRcu(args);
    else if (command == QLatin1String("tplist"))
        rc = RunTplist(args);
    if (rc == kExitUsage)
        PrintUsage();
    return rc;
}
