// Fills dayspermonth with the month lengths of the given year.
#include "model/integration.h"
#include "model/model.h"

void setMonthLengths(int year) { monthLengths(year, dayspermonth); }
