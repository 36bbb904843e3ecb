/* Compiles the generated List.c and prints its tables: header counts, satellites, transponders. */
#include <stdio.h>

#include "firmware_types.h"

#include "List.c"

#define COUNT(table) (sizeof(table) / sizeof(table[0]))

_Static_assert(COUNT(pre_me_lnb_table) == 64, "64 LNB rows");
_Static_assert(sizeof(pre_me_sat_table) == EXPECTED_SATS * sizeof(pre_sat_t), "one satellite entry per list");
_Static_assert(sizeof(pre_me_tp_table) == EXPECTED_TPS * sizeof(pre_tp_t), "one row per transponder");

int main(void)
{
    unsigned i;
    printf("header %s %u %u %u\n", me_header.title, me_header.num_lnb, me_header.num_sat, me_header.num_tp);
    printf("lnb1 %u %u\n", pre_me_lnb_table[0].lnb_freq1, pre_me_lnb_table[0].lnb_type);
    for (i = 0; i < sizeof(pre_me_sat_table) / sizeof(pre_sat_t); ++i)
        printf("sat %u %u %s\n", i, pre_me_sat_table[i].lnb_num, pre_me_sat_table[i].name);
    for (i = 0; i < sizeof(pre_me_tp_table) / sizeof(pre_tp_t); ++i)
        printf("tp %u %u %u %u %u\n", pre_me_tp_table[i].freq, pre_me_tp_table[i].symbol, pre_me_tp_table[i].sat_num,
            pre_me_tp_table[i].fec, pre_me_tp_table[i].polar);
    return 0;
}
