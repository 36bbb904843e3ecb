/*----------------------------------------------------------------------------
   Selvarona(Indonesia) PreSet Channel Data 
----------------------------------------------------------------------------*/

#define NUM_ME_LNB		(64)
#define NUM_ME_SAT		(2)
#define NUM_ME_TP		(43)
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
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 3 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 4 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 5 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 6 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 7 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 8 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 9 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 10 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 11 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 12 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 13 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 14 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 15 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 16 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 17 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 18 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 19 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 20 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 21 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 22 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 23 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 24 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 25 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 26 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 27 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 28 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 29 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 30 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 31 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 32 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 33 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 34 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 35 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 36 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 37 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 38 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 39 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 40 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 41 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 42 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 43 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 44 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 45 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 46 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 47 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 48 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 49 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 50 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 51 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 52 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 53 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 54 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 55 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 56 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 57 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 58 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 59 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 60 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 61 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 62 : Universal Type
	{10600, 9750, 1, 0, 0, 0, 0, 0, 0}, //LNB 63 : Universal Type
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
	{63, 0, 0, 0, 0, 1000, "Hotbird15"},		//1
	{10, 0, 0, 0, 0, 1000, "Hotbird15"},		//2
};

static const pre_tp_t   pre_me_tp_table[43] = 
{
//Freq  //symbol   //sat_num  //fec=0:1/2, 1:2/3, 2:3/4, 3:5/6, 4:7/8 5:auto, //polar=0:Auto, 1:Horizontal, 2:Vertical
	#include "0130_C"
	#include "0130_K"
};
