#include "base/savewholefile.h"
#include "ccommandline.h"
#include "cliio.h"
#include "commands.h"
#include "ctransferrun.h"
#include "preset/presetimage.h"
#include "transfer/ctransferengine.h"

#include <QCryptographicHash>

namespace {

constexpr unsigned kReceiveExpectedPackets = 64;

} // namespace

int RunReceive(const QStringList& args)
{
    CCommandLine line(QStringLiteral("receive"), QStringLiteral("--port PORT --out FILE|- [options]"),
        QStringLiteral("Receives the receiver's preset data into FILE (- for standard output).\n"
                       "Exit codes: 0 completed, 1 failed or nothing received, 2 port not opened, 3 port lost, "
                       "64 bad usage, 130/143 cancelled by SIGINT/SIGTERM."));
    AddTransferOptions(line);
    line.AddOption({ QStringLiteral("out") }, QStringLiteral("Where the preset data goes."), QStringLiteral("FILE"));
    line.AddOption({ QStringLiteral("require-preset") },
        QStringLiteral("Write nothing and exit 1 when the data fails the preset editor's check."));
    line.Parse(args, 0, 0);
    TransferOptions options = ReadTransferOptions(line);
    const QString out = line.Required(QStringLiteral("out"));
    const bool requirePreset = line.IsSet(QStringLiteral("require-preset"));
    options.statusOnStderr = options.statusOnStderr || out == QLatin1String("-");

    CTransferRun run(options, 0);
    TransferRecord record;
    const QString refused = out == QLatin1String("-") ? QString() : CheckReplaceableFile(out);
    if (refused.isEmpty()) {
        CTransferEngine engine;
        record = run.Run(engine, [&] {
            return engine.StartBufferTransfer(
                run.Setup(TransferKind::PresetFromReceiver, PortSettings {}, kReceiveExpectedPackets), nullptr, 0);
        });
        const QByteArray data = engine.ReceivedData().toByteArray();
        const auto* image = reinterpret_cast<const std::uint8_t*>(data.constData());
        // The check the editor runs on what it receives, without touching its tables.
        const bool presetOk = CheckPresetImage(image, std::size_t(data.size()), nullptr);
        if (record.result == TransferResult::Completed && record.stats.frames > 0 && !presetOk) {
            record.presetCheck = QStringLiteral("failed");
            run.Print(QStringLiteral("receive: the data fails the preset check (Received Data Error)%1")
                          .arg(requirePreset ? QStringLiteral("; nothing was written") : QString()),
                true);
        }
        if (record.result == TransferResult::Completed) {
            if (record.stats.frames == 0) {
                run.Print(QStringLiteral("receive: no data frame arrived; nothing was written"), true);
                record.result = TransferResult::Failed;
            } else if (requirePreset && !presetOk) {
                record.result = TransferResult::Failed;
            } else if (!WriteOutput(out, data)) {
                record.result = TransferResult::Failed;
            } else {
                record.sha256 = QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
            }
            record.exitCode = ExitCodeFor(record.result, 0);
        }
    } else {
        run.Print(refused, true);
        record.port = options.port;
    }
    record.kind = QStringLiteral("receive");
    record.file = out;
    return run.Report(record);
}
