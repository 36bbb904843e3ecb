#include "tplist/satcodxconversion.h"

#include "base/messagebox.h"
#include "base/savewholefile.h"
#include "tplist/csatellitecatalog.h"
#include "tplist/stdiofile.h"
#include "tplist/tpbuildstate.h"

#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <charconv>
#include <cmath>

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
        // The receiver keeps symbol rates in 16 bits.
        if (record.symbolRate <= 0 || record.symbolRate > 65535)
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

bool ConvertSatcoDxFiles(const CSatelliteCatalog& catalog, TpBuildState& state, const TpStatusSink& status)
{
    int linesWritten = 0;
    int listsRegistered = 0;
    const int rows = std::min(state.selectedCount, kMaxTpLists / 2);
    for (int s = 0; s < rows; ++s) {
        const SelectedSat& row = state.selected[s];
        StdioFile in = OpenStdioFile(QString::fromLatin1(row.sourcePath), "rb");
        if (!in) {
            ShowMessageBox(QStringLiteral("File Read Error"));
            return false;
        }
        for (int pass = 0; pass < 2; ++pass) {
            const char band = catalog.BandLetter(pass);
            char listPath[48];
            char includeName[sizeof(TpListRecord::includeName)];
            std::snprintf(listPath, sizeof listPath, "TP_List/%s_%c.tp", row.posText, band);
            std::snprintf(includeName, sizeof includeName, "%s_%c", row.posText, band);
            // The list is built in memory and replaces the old one whole; the target is opened first
            // so that a list that cannot be written fails before the SatcoDX file is read.
            const QString path = QString::fromLatin1(listPath);
            QSaveFile list(path);
            MemoryStream out;
            if (!CheckReplaceableFile(path).isEmpty() || !list.open(QIODevice::WriteOnly) || !out.File()) {
                ShowMessageBox(QStringLiteral("File Write Error"));
                return false;
            }
            char heading[kSatcoDxLineLimit + 1];
            if (ReadSatcoDxLine(in.get(), heading) < 0) {
                (void)list.commit();
                ShowMessageBox(QStringLiteral(" Fgets Erro "));
                return false;
            }
            const int written = ConvertSatcoDxPass(in.get(), out.File(), band, listsRegistered, state);
            if (status)
                status(QStringLiteral("Create File \"%1\"").arg(QString::fromLatin1(row.sourcePath)));
            bool complete = false;
            const QByteArray bytes = out.Bytes(complete);
            // Flushed before the commit, so a short write is never renamed into place as a whole list.
            const bool whole = complete && written >= 0 && list.write(bytes) == bytes.size() && list.flush();
            if (!whole)
                list.cancelWriting();
            if (!list.commit() || !whole) {
                ShowMessageBox(QStringLiteral("File Write Error"));
                return false;
            }
            if (written > 0) {
                TpListRecord& list = state.lists[listsRegistered++];
                std::snprintf(list.sourcePath, sizeof list.sourcePath, "%s", row.sourcePath);
                list.band[0] = band;
                list.band[1] = '\0';
                std::snprintf(list.satName, sizeof list.satName, "%s", row.shortName);
                std::snprintf(list.includeName, sizeof list.includeName, "%s", includeName);
                linesWritten += written;
            }
            std::rewind(in.get());
        }
    }
    state.tpCount = linesWritten;
    state.listCount = listsRegistered;
    return true;
}
