#include "ccommandline.h"
#include "cliio.h"
#include "commands.h"
#include "preset/presetimage.h"
#include "rcujson.h"

#include <QFile>
#include <QJsonDocument>

namespace {

// Reads an rcu file and loads it into the tables as the editor would, with the editor's failure text,
// and warns about what the editor cannot show or keep of it.
bool LoadImage(const QString& path, QByteArray& image, PresetCounts* counts = nullptr)
{
    QFile file(path);
    // One byte more than an image may have, so an oversized file fails the checks.
    if (file.open(QIODevice::ReadOnly))
        image = file.read(qint64(kPresetImageBufferSize) + 1);
    const auto* data = reinterpret_cast<const std::uint8_t*>(image.constData());
    const std::size_t length = std::size_t(image.size());
    if (!CheckPresetImage(data, length, counts) || !ParsePresetImage(data, length)) {
        PrintError(QStringLiteral("File Open Error !! (2)"));
        return false;
    }
    for (const QString& warning : PresetImageWarnings(data, length))
        PrintError(warning);
    return true;
}

int Check(const QStringList& args)
{
    CCommandLine line(QStringLiteral("rcu check"), QStringLiteral("FILE"),
        QStringLiteral("Checks an rcu file and prints its preset counts."));
    line.Parse(args, 1, 1);
    PresetCounts counts;
    QByteArray image;
    if (!LoadImage(line.Positional().constFirst(), image, &counts))
        return kExitFailed;
    const QByteArray text = QStringLiteral("NUM_ME_LNB %1\nNUM_ME_SAT %2\nNUM_ME_TP %3\n")
                                .arg(counts.lnbs)
                                .arg(counts.satellites)
                                .arg(counts.transponders)
                                .toLatin1();
    return WriteStandardOutput(text) ? kExitCompleted : kExitFailed;
}

int Export(const QStringList& args)
{
    CCommandLine line(QStringLiteral("rcu export"), QStringLiteral("[--out FILE.json|-] FILE"),
        QStringLiteral("Writes the preset tables of an rcu file as JSON."));
    line.AddOption({ QStringLiteral("out") }, QStringLiteral("Where the JSON goes (default: standard output)."),
        QStringLiteral("FILE"));
    line.Parse(args, 1, 1);
    const QString out = line.IsSet(QStringLiteral("out")) ? line.Value(QStringLiteral("out")) : QStringLiteral("-");
    QByteArray image;
    if (!LoadImage(line.Positional().constFirst(), image))
        return kExitFailed;
    const QByteArray json
        = PresetImageToJson(reinterpret_cast<const std::uint8_t*>(image.constData()), std::size_t(image.size()));
    return WriteOutput(out, json) ? kExitCompleted : kExitFailed;
}

int Import(const QStringList& args)
{
    CCommandLine line(QStringLiteral("rcu import"), QStringLiteral("--out FILE.rcu|- FILE.json"),
        QStringLiteral("Builds an rcu file from JSON as rcu export writes it."));
    line.AddOption({ QStringLiteral("out") }, QStringLiteral("The rcu file to write."), QStringLiteral("FILE"));
    line.Parse(args, 1, 1);
    const QString out = line.Required(QStringLiteral("out"));
    const QString path = line.Positional().constFirst();
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        PrintError(path + QStringLiteral(": cannot be read"));
        return kExitFailed;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &parseError);
    if (document.isNull() || !document.isObject()) {
        const QString reason = document.isNull()
            ? parseError.errorString() + QStringLiteral(" at offset %1").arg(parseError.offset)
            : QStringLiteral("expected an object");
        PrintError(path + QStringLiteral(": ") + reason);
        return kExitFailed;
    }
    QByteArray image;
    if (const QString error = PresetImageFromJson(document.object(), image); !error.isEmpty()) {
        PrintError(error);
        return kExitFailed;
    }
    return WriteOutput(out, image) ? kExitCompleted : kExitFailed;
}

} // namespace

int RunRcu(const QStringList& args)
{
    const QString sub = args.value(0);
    if (sub == QLatin1String("check"))
        return Check(args.mid(1));
    if (sub == QLatin1String("export"))
        return Export(args.mid(1));
    if (sub == QLatin1String("import"))
        return Import(args.mid(1));
    CCommandLine line(QStringLiteral("rcu"), QStringLiteral("check|export|import ..."),
        QStringLiteral("Checks rcu files and converts them to JSON and back; "
                       "tessavo2-cli rcu SUBCOMMAND --help tells more."));
    if (sub == QLatin1String("--help") || sub == QLatin1String("-h"))
        line.Parse(args, 0, 0);
    line.Fail(
        sub.isEmpty() ? QStringLiteral("a subcommand is missing") : QStringLiteral("unknown subcommand '%1'").arg(sub));
}
