// The calculation state shared by the windows, the self-tests and the model,
// and the model's procedures: calendar helpers, the daily and monthly
// irradiation on the sloping site, and the degree-day regression.
#ifndef VERANTA_MODEL_MODEL_H
#define VERANTA_MODEL_MODEL_H

#include "model/integration.h"
#include "solar/solpos.h"

#include <cstddef>

// The state's integers and the engine's record share one 32-bit width.
static_assert(sizeof(int) == 4, "int must be 32 bits wide");

// Location of the site (degrees; west longitudes negative; elevation in the
// unit of locale.txt).
extern float active_latitude;
extern float active_longitude;
extern float active_elev;
extern float active_aspect;
extern float active_tilt;

// Atmosphere, clock time at which the sun is placed, integration step.
extern float active_timezone;
extern float active_temp;
extern float active_press;
extern int active_hour;
extern int active_minute;
extern int active_second;
extern int active_dt;

// Date of the current calculation.
extern int active_year;
extern int active_month;
extern int active_day;
extern int active_daynum;

// Results kept between steps.
extern float active_sunrise;
extern float active_sunset;
extern float active_daysIrr;
extern float accumulatedIrr;
extern float accumulatedGDD;

// Season run.
extern int startmonth;
extern int stopmonth;
extern int startday;
extern int stopday;
extern int pass;

// Flags.
extern int northsouth;
extern int oneormany;
extern int haveprefs;
extern int error_watch;
extern int in_use;

// Lengths of the months of the year last given to setMonthLengths (0 = January).
extern int dayspermonth[12];

// The one solar record of the process and the pointer every caller uses.
extern solar_record pd;
extern solar_record *pdat;

// The month names of the month choosers, January first.
extern const char *const month_names[12];

// A double in single precision, without the undefined conversion of a value
// beyond the float range (that becomes FLT_MAX or infinity, as rounding would).
float narrowFloat(double value);

int isLeapYear(int year);
void setMonthLengths(int year);
int getMonthNumber(const char *name);
float getDescriptor(char *line);
// The leading integer of a text by the atoi rule, clamped to the int range.
int leadingInt(const char *text);
// True, with *value set, when the text apart from surrounding white space is
// wholly one number: a real finite in single precision (read as atof reads it),
// or an integer (read as leadingInt reads it). Otherwise false, *value untouched.
bool wholeFloat(const char *text, float *value);
bool wholeInt(const char *text, int *value);

// The clock text of a time in minutes after midnight with a zone label,
// "hh:mm:ss zone", each part cut off by truncation.
void clockText(float minutes, const char *zone, char *text, std::size_t size);

// Sets the calculators' fixed time zone, clock time, step and atmosphere.
void setCalculatorParameters(void);

// Points pdat at pd, resets it and fills it for the date with the location,
// clock time and atmosphere of the shared state (S_solpos not yet run).
void prepareRecord(int day, int month, int year);
void getDayBounds(int day, int month, int year, float *sunrise, float *sunset);
float getDaysIrr(int day, int month, int year);
float getMonthsIrr(int month);

float getMonthsGDD(int month, float x);
float northGDD(int month, float x);
float southGDD(int month, float x);

#endif
