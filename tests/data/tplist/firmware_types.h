/* The receiver firmware's preset record types, as far as List.c uses them. */
#ifndef FIRMWARE_TYPES_H
#define FIRMWARE_TYPES_H

#define SKEW_DEFAULT 0x80
#define POSITION_INVALID 0xFFFF

typedef struct {
    char title[80];
    unsigned int num_lnb;
    unsigned int num_sat;
    unsigned int num_tp;
    unsigned int num_dchan;
    unsigned int num_achan;
} data_header_t;

typedef struct {
    unsigned short lnb_freq1;
    unsigned short lnb_freq2;
    unsigned char lnb_type;
    unsigned char lnb_power;
    unsigned char lnb_22khz;
    unsigned char lnb_diseqc;
    unsigned char lnb_toneburst;
    unsigned char lnb_reserved1;
    unsigned char lnb_reserved2;
} pre_lnb_t;

typedef struct {
    unsigned char lnb_num;
    unsigned char skew_dh;
    unsigned char skew_dv;
    unsigned char skew_ah;
    unsigned char skew_av;
    unsigned short position;
    char name[14];
} pre_sat_t;

typedef struct {
    unsigned short freq;
    unsigned short symbol;
    unsigned char sat_num;
    unsigned char fec;
    unsigned char polar;
} pre_tp_t;

#endif
