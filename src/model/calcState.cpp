// Definitions of the shared calculation state; all zero at process start.
#include "model/model.h"

float active_latitude;
float active_longitude;
float active_elev;
float active_aspect;
float active_tilt;

float active_timezone;
float active_temp;
float active_press;
int active_hour;
int active_minute;
int active_second;
int active_dt;

int active_year;
int active_month;
int active_day;
int active_daynum;

float active_sunrise;
float active_sunset;
float active_daysIrr;
float accumulatedIrr;
float accumulatedGDD;

int startmonth;
int stopmonth;
int startday;
int stopday;
int pass;

int northsouth;
int oneormany;
int haveprefs;
int error_watch;
int in_use;

int dayspermonth[12];

solar_record pd;
solar_record *pdat;
