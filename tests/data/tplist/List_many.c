/*----------------------------------------------------------------------------
   Selvarona(Indonesia) PreSet Channel Data 
----------------------------------------------------------------------------*/

#define NUM_ME_LNB		(64)
#define NUM_ME_SAT		(79)
#define NUM_ME_TP		(79)
#define NUM_ME_ACHAN	(0)
#define NUM_ME_DCHAN	(0)
#define Auto				5
#define POL_Horizontal	1
#define POL_Vertical		2
#define POL_Auto			0

static const data_header_t		me_header = 
{
	"******************** Selvarona PreSet Data",
	NUM_ME_LNB,
	NUM_ME_SAT,
	NUM_ME_TP,
	NUM_ME_DCHAN,
	NUM_ME_ACHAN
};

#ifdef OLD_PREPROG_LNB

static const pre_lnb_t   pre_me_lnb_table[NUM_ME_LNB] = 
{
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 1 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 2 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 3 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 4 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 5 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 6 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 7 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 8 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 9 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 10 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 11 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 12 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 13 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 14 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 15 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 16 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 17 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 18 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 19 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 20 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 21 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 22 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 23 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 24 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 25 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 26 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 27 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 28 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 29 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 30 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 31 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 32 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 33 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 34 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 35 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 36 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 37 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 38 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 39 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 40 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 41 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 42 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 43 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 44 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 45 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 46 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 47 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 48 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 49 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 50 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 51 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 52 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 53 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 54 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 55 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 56 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 57 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 58 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 59 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 60 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 61 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 62 : Universal type	
	{10600, 9750, 1, 0, 0, 0, 0}, //LNB 63 : Universal type	
	{ 5150, 9750, 0, 0, 0, 0, 0} //LNB 64 : Standard type 
};

#else

static const pre_lnb_t		pre_me_lnb_table[NUM_ME_LNB] =
{
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 1 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 2 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 3 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 4 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 5 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 6 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 7 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 8 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 9 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 10 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 11 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 12 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 13 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 14 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 15 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 16 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 17 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 18 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 19 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 20 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 21 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 22 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 23 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 24 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 25 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 26 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 27 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 28 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 29 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 30 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 31 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 32 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 33 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 34 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 35 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 36 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 37 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 38 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 39 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 40 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 41 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 42 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 43 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 44 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 45 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 46 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 47 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 48 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 49 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 50 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 51 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 52 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 53 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 54 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 55 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 56 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 57 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 58 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 59 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 60 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 61 : Standard Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 62 : Universal Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0}, //LNB 63 : Standard Type
	{ 5150, 9750, 0, 0, 0, 0, 0, 0, 0} //LNB 64 : Standard Type
};
#endif

static const pre_sat_t		pre_me_sat_table[NUM_ME_SAT] = 
{
#if 0
	{
		0,					//lnb_num;
		SKEW_DEFAULT,		//skew digital horizontal
		SKEW_DEFAULT,		//skew digital vertical
		SKEW_DEFAULT,		//skew analog horizontal
		SKEW_DEFAULT,		//skew analog vertical
		POSITION_INVALID,	//position;
		"Hotbird 1-5 "		//name[14];
	},
#endif
	{63, 0, 0, 0, 0, 1000, "Telecom2A"},		//1
	{10, 0, 0, 0, 0, 1000, "Telecom2A"},		//2
	{63, 0, 0, 0, 0, 1000, "Sirius23"},		//3
	{10, 0, 0, 0, 0, 1000, "Sirius23"},		//4
	{10, 0, 0, 0, 0, 1000, "Astra1A"},		//5
	{63, 0, 0, 0, 0, 1000, "EutelsatW3"},		//6
	{10, 0, 0, 0, 0, 1000, "EutelsatW3"},		//7
	{63, 0, 0, 0, 0, 1000, "EutelsatW1"},		//8
	{10, 0, 0, 0, 0, 1000, "EutelsatW1"},		//9
	{10, 0, 0, 0, 0, 1000, "Hotbird15"},		//10
	{63, 0, 0, 0, 0, 1000, "EutelsatW2"},		//11
	{10, 0, 0, 0, 0, 1000, "EutelsatW2"},		//12
	{63, 0, 0, 0, 0, 1000, "Astra1BH"},		//13
	{10, 0, 0, 0, 0, 1000, "Astra1BH"},		//14
	{10, 0, 0, 0, 0, 1000, "AfriStar"},		//15
	{63, 0, 0, 0, 0, 1000, "Eutelsat2F3"},		//16
	{10, 0, 0, 0, 0, 1000, "Eutelsat2F3"},		//17
	{63, 0, 0, 0, 0, 1000, "Kopernikus3"},		//18
	{10, 0, 0, 0, 0, 1000, "Kopernikus3"},		//19
	{10, 0, 0, 0, 0, 1000, "Astra1D"},		//20
	{63, 0, 0, 0, 0, 1000, "Arabsat23A"},		//21
	{10, 0, 0, 0, 0, 1000, "Arabsat23A"},		//22
	{63, 0, 0, 0, 0, 1000, "Astra2AD"},		//23
	{10, 0, 0, 0, 0, 1000, "Astra2AD"},		//24
	{10, 0, 0, 0, 0, 1000, "Eurobird"},		//25
	{63, 0, 0, 0, 0, 1000, "Arabsat2B"},		//26
	{10, 0, 0, 0, 0, 1000, "Arabsat2B"},		//27
	{63, 0, 0, 0, 0, 1000, "Turksat1B"},		//28
	{10, 0, 0, 0, 0, 1000, "Turksat1B"},		//29
	{10, 0, 0, 0, 0, 1000, "EutelsatW4"},		//30
	{63, 0, 0, 0, 0, 1000, "HellasSat1"},		//31
	{10, 0, 0, 0, 0, 1000, "HellasSat1"},		//32
	{63, 0, 0, 0, 0, 1000, "ExpressA1R"},		//33
	{10, 0, 0, 0, 0, 1000, "ExpressA1R"},		//34
	{10, 0, 0, 0, 0, 1000, "Turksat1C"},		//35
	{63, 0, 0, 0, 0, 1000, "Eurasisasat"},		//36
	{10, 0, 0, 0, 0, 1000, "Eurasisasat"},		//37
	{63, 0, 0, 0, 0, 1000, "NewSat1"},		//38
	{10, 0, 0, 0, 0, 1000, "NewSat1"},		//39
	{10, 0, 0, 0, 0, 1000, "EuropeStar1"},		//40
	{63, 0, 0, 0, 0, 1000, "Eutelsat2F1"},		//41
	{10, 0, 0, 0, 0, 1000, "Eutelsat2F1"},		//42
	{63, 0, 0, 0, 0, 1000, "Anatolia1"},		//43
	{10, 0, 0, 0, 0, 1000, "Anatolia1"},		//44
	{10, 0, 0, 0, 0, 1000, "Gorizont32"},		//45
	{63, 0, 0, 0, 0, 1000, "Insat3C"},		//46
	{10, 0, 0, 0, 0, 1000, "Insat3C"},		//47
	{63, 0, 0, 0, 0, 1000, "Most1"},		//48
	{10, 0, 0, 0, 0, 1000, "Most1"},		//49
	{10, 0, 0, 0, 0, 1000, "NSS703"},		//50
	{63, 0, 0, 0, 0, 1000, "Intelsat904"},		//51
	{10, 0, 0, 0, 0, 1000, "Intelsat904"},		//52
	{63, 0, 0, 0, 0, 1000, "Intelsat902"},		//53
	{10, 0, 0, 0, 0, 1000, "Intelsat902"},		//54
	{10, 0, 0, 0, 0, 1000, "Intelsat804"},		//55
	{63, 0, 0, 0, 0, 1000, "Intelsat704"},		//56
	{10, 0, 0, 0, 0, 1000, "Intelsat704"},		//57
	{63, 0, 0, 0, 0, 1000, "Panamsat710"},		//58
	{10, 0, 0, 0, 0, 1000, "Panamsat710"},		//59
	{10, 0, 0, 0, 0, 1000, "Panamsat4"},		//60
	{63, 0, 0, 0, 0, 1000, "Insat3C"},		//61
	{10, 0, 0, 0, 0, 1000, "Insat3C"},		//62
	{63, 0, 0, 0, 0, 1000, "LMT1"},		//63
	{10, 0, 0, 0, 0, 1000, "LMT1"},		//64
	{10, 0, 0, 0, 0, 1000, "Apstar2R"},		//65
	{63, 0, 0, 0, 0, 1000, "Thaicom23"},		//66
	{10, 0, 0, 0, 0, 1000, "Thaicom23"},		//67
	{63, 0, 0, 0, 0, 1000, "Express2A"},		//68
	{10, 0, 0, 0, 0, 1000, "Express2A"},		//69
	{10, 0, 0, 0, 0, 1000, "Insat2E3B"},		//70
	{63, 0, 0, 0, 0, 1000, "Chinastar1"},		//71
	{10, 0, 0, 0, 0, 1000, "Chinastar1"},		//72
	{63, 0, 0, 0, 0, 1000, "ST1"},		//73
	{10, 0, 0, 0, 0, 1000, "ST1"},		//74
	{10, 0, 0, 0, 0, 1000, "Yamal102"},		//75
	{63, 0, 0, 0, 0, 1000, "Measat1"},		//76
	{10, 0, 0, 0, 0, 1000, "Measat1"},		//77
	{63, 0, 0, 0, 0, 1000, "Gorizont28"},		//78
	{10, 0, 0, 0, 0, 1000, "Gorizont28"},		//79
};

static const pre_tp_t   pre_me_tp_table[79] = 
{
//Freq  //symbol   //sat_num  //fec=0:1/2, 1:2/3, 2:3/4, 3:5/6, 4:7/8 5:auto, //polar=0:Auto, 1:Horizontal, 2:Vertical
	#include "0030_C"
	#include "0030_K"
	#include "0050_C"
	#include "0050_K"
	#include "0051_K"
	#include "0070_C"
	#include "0070_K"
	#include "0100_C"
	#include "0100_K"
	#include "0130_K"
	#include "0160_C"
	#include "0160_K"
	#include "0192_C"
	#include "0192_K"
	#include "0210_K"
	#include "0215_C"
	#include "0215_K"
	#include "0235_C"
	#include "0235_K"
	#include "0242_K"
	#include "0260_C"
	#include "0260_K"
	#include "0282_C"
	#include "0282_K"
	#include "0285_K"
	#include "0305_C"
	#include "0305_K"
	#include "0313_C"
	#include "0313_K"
	#include "0360_K"
	#include "0390_C"
	#include "0390_K"
	#include "0400_C"
	#include "0400_K"
	#include "0420_K"
	#include "0421_C"
	#include "0421_K"
	#include "0425_C"
	#include "0425_K"
	#include "0450_K"
	#include "0480_C"
	#include "0480_K"
	#include "0500_C"
	#include "0500_K"
	#include "0530_K"
	#include "0550_C"
	#include "0550_K"
	#include "0560_C"
	#include "0560_K"
	#include "0570_K"
	#include "0600_C"
	#include "0600_K"
	#include "0620_C"
	#include "0620_K"
	#include "0640_K"
	#include "0660_C"
	#include "0660_K"
	#include "0685_C"
	#include "0685_K"
	#include "0720_K"
	#include "0740_C"
	#include "0740_K"
	#include "0750_C"
	#include "0750_K"
	#include "0765_K"
	#include "0785_C"
	#include "0785_K"
	#include "0800_C"
	#include "0800_K"
	#include "0830_K"
	#include "0875_C"
	#include "0875_K"
	#include "0880_C"
	#include "0880_K"
	#include "0900_K"
	#include "0915_C"
	#include "0915_K"
	#include "0965_C"
	#include "0965_K"
};
