// What anchors a map to a weather station: for each month of the map's
// season, the station's measured mean over its complete years minus the
// estimate at its site for the same years (the comparison beside the
// estimate), by the rule the estimate's formulas were fitted with. The map
// takes them through terrain/mapAnchor.h. No GTK, no global state.
#ifndef VERANTA_STATION_STATIONANCHOR_H
#define VERANTA_STATION_STATIONANCHOR_H

#include "station/stationEstimate.h"

#include <atomic>
#include <string>

struct station_anchor {
    std::string station;       // the file's name without its folder
    site_location site;        // where the estimate was taken: the file's site or the one given
    double offsets[12] = {};   // degC degree days, measured mean - estimate; index 0 = January; 0 outside the season
    int years[12] = {};        // the complete years each month's offset is the mean over
    std::string region_note;   // how far the site lies outside the calibrated region; empty inside
};

enum station_anchor_outcome {
    ANCHOR_OK = 0,
    ANCHOR_UNREADABLE = 1,       // the file cannot be read as a station's (*why from the reader)
    ANCHOR_NEEDS_UNIT = 2,       // a plain CSV that does not say °C or °F
    ANCHOR_NO_SITE = 3,          // the file does not say where the station is and no site was given
    ANCHOR_SITE_REFUSED = 4,     // the model cannot compute the site
    ANCHOR_INCOMPLETE_MONTH = 5, // a month of the season has no complete year in the file
    ANCHOR_CANCELLED = 6,
    ANCHOR_BAD_SEASON = 7,       // a season the station's figures do not take (checkStationSeason)
};

// "LAT,LON,ELEV": latitude -90 to 90, longitude -180 to 180 (east positive),
// elevation in metres, three finite numbers and nothing else.
bool parseSiteText(const std::string &text, site_location *site);

// The offsets for a season from a record read already: site (may be null)
// is used instead of the file's own; station names it. *why, one sentence
// without the file's name, for any outcome but ANCHOR_OK. cancel may be null.
int anchorFromRecord(const station_record &record, const std::string &station, const station_season &season,
                     const site_location *site, station_anchor *out, std::string *why, std::atomic<bool> *cancel);

// The same from the file at path, read through the bounded reader; a plain
// CSV that does not say its unit is read in unsaid (UNIT_UNSAID: refused).
int anchorFromFile(const std::string &path, temperature_unit unsaid, const station_season &season,
                   const site_location *site, station_anchor *out, std::string *why, std::atomic<bool> *cancel);

#endif
