#include "tplist/listsource.h"

#include "base/messagebox.h"
#include "base/savewholefile.h"
#include "tplist/stdiofile.h"
#include "tplist/tpbuildstate.h"

#include <QString>
#include <cstdarg>
#include <cstring>

namespace {

constexpr const char* kListSourceName = "List.c";
constexpr int kLnbRows = 64;

class ListSourceWriter {
public:
    explicit ListSourceWriter(std::FILE* file)
        : m_file(file)
    {
    }

    // Writes one line and its CR LF.
    [[gnu::format(printf, 2, 3)]] void Line(const char* format, ...)
    {
        char text[256] = {};
        va_list args;
        va_start(args, format);
        const int size = std::vsnprintf(text, sizeof text - 2, format, args);
        va_end(args);
        (void)size;
        const std::size_t length = std::strlen(text);
        text[length] = '\r';
        text[length + 1] = '\n';
        std::fwrite(text, 1, length + 2, m_file);
    }

private:
    std::FILE* m_file = nullptr;
};

void WriteHeader(ListSourceWriter& out, const TpBuildState& state)
{
    out.Line("/*----------------------------------------------------------------------------");
    out.Line("   Selvarona(Indonesia) PreSet Channel Data ");
    out.Line("----------------------------------------------------------------------------*/");
    out.Line("%s", "");
    out.Line("#define NUM_ME_LNB\t\t(64)");
    out.Line("#define NUM_ME_SAT\t\t(%d)", state.listCount);
    out.Line("#define NUM_ME_TP\t\t(%d)", state.tpCount);
    out.Line("#define NUM_ME_ACHAN\t(0)");
    out.Line("#define NUM_ME_DCHAN\t(0)");
    out.Line("#define Auto\t\t\t\t5");
    out.Line("#define POL_Horizontal\t1");
    out.Line("#define POL_Vertical\t\t2");
    out.Line("#define POL_Auto\t\t\t0");
    out.Line("%s", "");
    out.Line("static const data_header_t\t\tme_header = ");
    out.Line("{");
    out.Line("\t\"******************** Selvarona PreSet Data\",");
    out.Line("\tNUM_ME_LNB,");
    out.Line("\tNUM_ME_SAT,");
    out.Line("\tNUM_ME_TP,");
    out.Line("\tNUM_ME_DCHAN,");
    out.Line("\tNUM_ME_ACHAN");
    out.Line("};");
    out.Line("%s", "");
}

void WriteLnbTables(ListSourceWriter& out, const TpBuildState& state)
{
    out.Line("#ifdef OLD_PREPROG_LNB");
    out.Line("%s", "");
    out.Line("static const pre_lnb_t   pre_me_lnb_table[NUM_ME_LNB] = ");
    out.Line("{");
    for (int n = 1; n < kLnbRows; ++n)
        out.Line("\t{10600, 9750, 1, 0, 0, 0, 0}, //LNB %d : Universal type\t", n);
    out.Line("\t{ 5150, 9750, 0, 0, 0, 0, 0} //LNB %d : Standard type ", kLnbRows);
    out.Line("};");
    out.Line("%s", "");
    out.Line("#else");
    out.Line("%s", "");
    out.Line("static const pre_lnb_t\t\tpre_me_lnb_table[NUM_ME_LNB] =");
    out.Line("{");
    for (int n = 1; n < kLnbRows; ++n) {
        const int i = n - 1;
        if (i < state.listCount && state.lists[i].band[0] == 'C')
            out.Line("\t{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB %d : Standard Type", n);
        else
            out.Line("\t{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB %d : Universal Type", n);
    }
    out.Line("\t{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0} //LNB %d : Standard Type", kLnbRows);
    out.Line("};");
    out.Line("#endif");
    out.Line("%s", "");
}

void WriteSatTable(ListSourceWriter& out, const TpBuildState& state)
{
    out.Line("static const pre_sat_t\t\tpre_me_sat_table[NUM_ME_SAT] = ");
    out.Line("{");
    out.Line("#if 0");
    out.Line("\t{");
    out.Line("\t\t0,\t\t\t\t\t//lnb_num;");
    out.Line("\t\tSKEW_DEFAULT,\t\t//skew digital horizontal");
    out.Line("\t\tSKEW_DEFAULT,\t\t//skew digital vertical");
    out.Line("\t\tSKEW_DEFAULT,\t\t//skew analog horizontal");
    out.Line("\t\tSKEW_DEFAULT,\t\t//skew analog vertical");
    out.Line("\t\tPOSITION_INVALID,\t//position;");
    out.Line("\t\t\"Hotbird 1-5 \"\t\t//name[14];");
    out.Line("\t},");
    out.Line("#endif");
    for (int i = 0; i < state.listCount; ++i) {
        const TpListRecord& list = state.lists[i];
        out.Line("\t{%d, 0, 0, 0, 0, 1000, \"%s\"},\t\t//%d", list.band[0] == 'C' ? 63 : 10, list.satName, i + 1);
    }
    out.Line("};");
    out.Line("%s", "");
}

void WriteTpTable(ListSourceWriter& out, const TpBuildState& state)
{
    out.Line("static const pre_tp_t   pre_me_tp_table[%d] = ", state.tpCount);
    out.Line("{");
    out.Line("//Freq  //symbol   //sat_num  //fec=0:1/2, 1:2/3, 2:3/4, 3:5/6, 4:7/8 5:auto, //polar=0:Auto, "
             "1:Horizontal, 2:Vertical");
    // The firmware build puts each list on its include path under its include name.
    for (int i = 0; i < state.listCount; ++i)
        out.Line("\t#include \"%s\"", state.lists[i].includeName);
    out.Line("};");
}

} // namespace

QString WriteListSource(const TpBuildState& state)
{
    const QString path = QString::fromLatin1(kListSourceName);
    MemoryStream text;
    QString failure = path + QStringLiteral(": not built");
    if (text.File()) {
        ListSourceWriter out(text.File());
        WriteHeader(out, state);
        WriteLnbTables(out, state);
        WriteSatTable(out, state);
        WriteTpTable(out, state);
        bool built = false;
        const QByteArray bytes = text.Bytes(built);
        if (built)
            failure = SaveWholeFile(path, bytes);
    }
    if (!failure.isEmpty())
        ShowMessageBox(QStringLiteral("\"List.c\" File Create Error "));
    return failure;
}
