#include "tplist/satcodxconversion.h"

#include "base/messagebox.h"
#include "base/savewholefile.h"
#include "tplist/csatellitecatalog.h"
#include "tplist/stdiofile.h"
#include "tplist/tpbuildstate.h"

#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFieldCount = 13;
constexpr long long kIntegerCap = 1'000'000'000'000LL;

const char* SkipBlanks(const char* begin, const char* end)
{
    while (begin != end && (*begin == ' ' || *begin == '\r' || *begin == '\v' || *begin == '\f'))
        ++begin;
    return begin;
}

// A field that does not start with a number reads as 0; large values saturate.
long long ReadInteger(const char* begin, const char* end)
{
    begin = SkipBlanks(begin, end);
    bool negative = false;
    if (begin != end && (*begin == '+' || *begin == '-'))
        negative = *begin++ == '-';
    long long value = 0;
    for (; begin != end && *begin >= '0' && *begin <= '9'; ++begin)
        value = std::min(value * 10 + (*begin - '0'), kIntegerCap);
    return negative ? -value : value;
}

// Reads gigahertz and gives whole MHz, truncated toward zero; false when the value does not fit.
bool ReadMegahertz(const char* begin, const char* end, int& mhz)
{
    begin = SkipBlanks(begin, end);
    if (begin != end && *begin == '+' && (end - begin) > 1 && begin[1] != '-')
        ++begin;
    double gigahertz = 0.0;
    const auto [next, error] = std::from_chars(begin, end, gigahertz, std::chars_format::general);
    (void)next;
    if (error == std::errc::invalid_argument)
        gigahertz = 0.0;
    else if (error != std::errc())
        return false;
    const double value = gigahertz * 1000.0;
    if (!std::isfinite(value) || value < 0.0 || value >= 65536.0)
        return false;
    mhz = static_cast<int>(value);
    return true;
}

const char* PolarName(const char* begin, const char* end)
{
    if (begin == end)
        return "POL_Auto";
    if (*begin == 'H')
        return "POL_Horizontal";
    if (*begin == 'C')
        return "POL_Vertical";
    return "POL_Auto";
}

} // namespace

int ReadSatcoDxLine(std::FILE* in, char (&buffer)[kSatcoDxLineLimit + 1])
{
    int length = 0;
    int c = EOF;
    while (length < kSatcoDxLineLimit && (c = std::getc(in)) != EOF) {
        if (c == '\n')
            break;
        if (c == '\r') {
            const int next = std::getc(in);
            if (next == '\n') {
                c = '\n';
                break;
            }
            if (next != EOF)
                std::ungetc(next, in);
        }
        buffer[length++] = static_cast<char>(c);
    }
    buffer[length] = '\0';
    return (c == EOF && length == 0) ? -1 : length;
}

bool ParseSatcoDxLine(const char* line, std::size_t length, SatcoDxRecord& record)
{
    if (length == 0 || (line[0] != 'T' && line[0] != 'R'))
        return false;
    const char* const end = line + length;
    const char* fieldBegin[kFieldCount + 1] {};
    int fields = 0;
    fieldBegin[fields++] = line;
    for (const char* p = line; p != end && fields < kFieldCount; ++p) {
        if (*p == '\t')
            fieldBegin[fields++] = p + 1;
    }
    if (fields < kFieldCount)
        return false;
    const auto fieldEnd = [&](int n) { return std::find(fieldBegin[n], end, '\t'); };

    if (!ReadMegahertz(fieldBegin[2], fieldEnd(2), record.freq) || record.freq == 0)
        return false;
    record.polarName = PolarName(fieldBegin[3], fieldEnd(3));
    record.symbolRate = ReadInteger(fieldBegin[9], fieldEnd(9));
    // The receiver keeps symbol rates in 16 bits.
    if (record.symbolRate < 0 || record.symbolRate > 65535)
        return false;
    record.field12 = ReadInteger(fieldBegin[12], fieldEnd(12));
    return true;
}

int ConvertSatcoDxPass(std::FILE* in, std::FILE* out, char band, int listIndex, TpBuildState& state)
{
    char line[kSatcoDxLineLimit + 1];
    int written = 0;
    int length = 0;
    // A read that reached the end of the file ends the pass, so a last line without a line end is
    // left out.
    while ((length = ReadSatcoDxLine(in, line)) >= 0 && !std::feof(in)) {
        SatcoDxRecord record;
        if (!ParseSatcoDxLine(line, static_cast<std::size_t>(length), record))
            continue;
        // Services of one transponder follow each other with the same frequency.
        if (record.freq == state.lastFreq)
            continue;
        state.lastFreq = record.freq;
        const char lineBand = (record.freq - 5150 > 2150) ? 'K' : 'C';
        if (lineBand != band)
            continue;
        state.polarName = record.polarName;
        if (record.symbolRate == 0)
            continue;
        state.symbolRate = static_cast<int>(record.symbolRate);
        if (record.field12 == 0)
            continue;
        char text[128];
        const int size = std::snprintf(text, sizeof text, "{ %d, %d, %d, Auto, %s }, /* %d */\r\n", record.freq,
            state.symbolRate, listIndex, state.polarName, written + 1);
        if (std::fwrite(text, 1, static_cast<std::size_t>(size), out) != static_cast<std::size_t>(size))
            return -1;
        ++written;
    }
    return written;
}

namespace {

constexpr const char* kListFolder = "TP_List";

QString SystemReason(const QString& path, int error)
{
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

// Opened without waiting, so that a FIFO with no writer cannot hold the run; only a regular file is read.
StdioFile OpenSatcoDxFile(const QString& path, QString& reason)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = SystemReason(path, errno);
        return {};
    }
    struct stat info { };
    std::FILE* file = nullptr;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        reason = path + QStringLiteral(": not a regular file");
    else if ((file = ::fdopen(fd, "rb")) == nullptr)
        reason = SystemReason(path, errno);
    if (file == nullptr)
        ::close(fd);
    return StdioFile(file);
}

QString MakeListFolder()
{
    if (::mkdir(kListFolder, 0777) == 0)
        return {};
    const int error = errno;
    const QString folder = QString::fromLatin1(kListFolder);
    if (error == EEXIST && QFileInfo(folder).isDir())
        return {};
    return error == EEXIST ? folder + QStringLiteral(": not a folder") : SystemReason(folder, error);
}

// What a run has built so far; nothing of it reaches the disk or the build state before the run is whole.
struct ConversionRun {
    struct List {
        QString path;
        QByteArray bytes;
    };
    std::vector<List> lists;
    std::vector<TpListRecord> registered;
    int linesWritten = 0;
    const char* message = "File Write Error";

    QString Fail(const char* text, const QString& reason)
    {
        message = text;
        return reason;
    }
};

// Builds the two lists of one selected satellite; returns why it could not, or an empty text.
QString ConvertSatellite(const CSatelliteCatalog& catalog, const SelectedSat& row, TpBuildState& state,
    const TpStatusSink& status, ConversionRun& run)
{
    const QString sourcePath = QString::fromLatin1(row.sourcePath);
    QString reason;
    StdioFile in = OpenSatcoDxFile(sourcePath, reason);
    if (!in)
        return run.Fail("File Read Error", reason);
    for (int pass = 0; pass < 2; ++pass) {
        const char band = catalog.BandLetter(pass);
        TpListRecord list;
        std::snprintf(list.includeName, sizeof list.includeName, "%s_%c", row.posText, band);
        const QString path
            = QStringLiteral("%1/%2.tp").arg(QLatin1String(kListFolder), QLatin1String(list.includeName));
        // A list that cannot be saved fails before its SatcoDX file is read.
        if (reason = CheckReplaceableFile(path); !reason.isEmpty())
            return run.Fail("File Write Error", reason);
        char heading[kSatcoDxLineLimit + 1];
        if (ReadSatcoDxLine(in.get(), heading) < 0)
            return run.Fail(" Fgets Erro ", sourcePath + QStringLiteral(": no heading line"));
        MemoryStream out;
        const int written
            = out.File() ? ConvertSatcoDxPass(in.get(), out.File(), band, int(run.registered.size()), state) : -1;
        if (std::ferror(in.get()))
            return run.Fail("File Read Error", SystemReason(sourcePath, errno));
        if (status)
            status(QStringLiteral("Create File \"%1\"").arg(sourcePath));
        bool complete = false;
        const QByteArray bytes = out.Bytes(complete);
        if (!complete || written < 0)
            return run.Fail("File Write Error", path + QStringLiteral(": not built"));
        run.lists.push_back({ path, bytes });
        if (written > 0) {
            std::snprintf(list.sourcePath, sizeof list.sourcePath, "%s", row.sourcePath);
            list.band[0] = band;
            std::snprintf(list.satName, sizeof list.satName, "%s", row.shortName);
            run.registered.push_back(list);
            run.linesWritten += written;
        }
        std::rewind(in.get());
    }
    return {};
}

} // namespace

QString ConvertSatcoDxFiles(const CSatelliteCatalog& catalog, TpBuildState& state, const TpStatusSink& status)
{
    // A run that fails changes nothing: the lists are saved, and the list table, the totals and the
    // last frequency kept, only once every file is converted. Lists of a failed run would carry list
    // numbers that no List.c matches.
    ConversionRun run;
    const int lastFreq = state.lastFreq;
    const int rows = std::min(state.selectedCount, kMaxTpLists / 2);
    QString failure;
    for (int s = 0; s < rows && failure.isEmpty(); ++s)
        failure = ConvertSatellite(catalog, state.selected[s], state, status, run);
    if (failure.isEmpty() && !run.lists.empty())
        failure = MakeListFolder();
    for (std::size_t i = 0; i < run.lists.size() && failure.isEmpty(); ++i)
        failure = SaveWholeFile(run.lists[i].path, run.lists[i].bytes);
    if (!failure.isEmpty()) {
        ShowMessageBox(QString::fromLatin1(run.message));
        state.lastFreq = lastFreq;
        return failure;
    }
    std::copy(run.registered.begin(), run.registered.end(), state.lists.begin());
    state.tpCount = run.linesWritten;
    state.listCount = int(run.registered.size());
    return {};
}
