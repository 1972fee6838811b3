// veranta-station: a weather station's measured degree days, year by year
// and month by month, beside the model's estimate for the station's site,
// as CSV on the standard output. Any refusal is one line on the standard
// error and exit status 1.
#include "station/stationAnchor.h"
#include "station/stationEstimate.h"
#include "station/stationRecord.h"
#include "station/stationSeasons.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int fail(const std::string &text) {
    std::fprintf(stderr, "veranta-station: %s\n", text.c_str());
    return 1;
}

// "D/M" as two whole numbers.
bool dayMonth(const std::string &text, int *day, int *month) {
    char *end = nullptr;
    const long d = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '/') return false;
    const char *rest = end + 1;
    const long m = std::strtol(rest, &end, 10);
    if (end == rest || *end != '\0' || d < 0 || d > 1000 || m < 0 || m > 1000) return false;
    *day = static_cast<int>(d);
    *month = static_cast<int>(m);
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    CLI::App app{"A weather station's measured growing degree days, year by year and month by month, beside the "
                 "estimate for the station's site (flat ground), as CSV on the standard output.",
                 "veranta-station"};
    std::string file, from = "1/4", to = "31/10", siteText, units;
    double target = 0.0;
    bool noCap = false;
    app.add_option("FILE", file, "daily temperatures: NOAA GHCN-Daily (by-station or access CSV), Meteostat daily "
                                 "CSV, a Davis WeatherLink export, or a CSV with date, maximum and minimum columns")
        ->required();
    app.add_option("--from", from, "first day of the season, D/M (default 1/4)");
    app.add_option("--to", to, "last day of the season, D/M (default 31/10)");
    app.add_option("--target", target, "degree days (degC above 10 degC) whose date each year is given");
    app.add_flag("--no-cap", noCap, "do not cap the daily maximum at 30 degC (the Winkler convention)");
    app.add_option("--site", siteText, "the station's latitude, longitude (west negative) and elevation in metres, "
                                       "LAT,LON,ELEV; by default where the file says");
    app.add_option("--units", units, "C or F: the unit of a plain CSV whose header does not say");
    app.set_version_flag("--version", std::string("veranta-station ") + VERANTA_VERSION);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        std::string what = e.what();
        return fail(what.empty() ? "the options cannot be read; see --help" : what);
    }

    station_season season;
    if (!dayMonth(from, &season.start_day, &season.start_month))
        return fail("--from takes a day and month as D/M, not " + from);
    if (!dayMonth(to, &season.stop_day, &season.stop_month)) return fail("--to takes a day and month as D/M, not " + to);
    std::string why;
    if (!checkStationSeason(season, &why)) return fail(why);
    if (!(target >= 0.0) || !std::isfinite(target)) return fail("--target takes degree days of 0 or more");
    temperature_unit unsaid = UNIT_UNSAID;
    if (units == "C" || units == "c") unsaid = UNIT_CELSIUS;
    else if (units == "F" || units == "f") unsaid = UNIT_FAHRENHEIT;
    else if (!units.empty()) return fail("--units takes C or F, not " + units);
    site_location site{};
    const bool siteGiven = !siteText.empty();
    if (siteGiven && !parseSiteText(siteText, &site))
        return fail("--site takes latitude (-90 to 90), longitude (-180 to 180) and elevation in metres as LAT,LON,ELEV, not " + siteText);

    station_record record;
    const int read = readStationFile(file, unsaid, &record, &why);
    if (read == STATION_READ_NEEDS_UNIT) return fail(file + ": " + why + "; give --units C or --units F");
    if (read != STATION_READ_OK) return fail(file + ": " + why);
    if (!siteGiven && record.site_known)
        site = {static_cast<float>(record.latitude), static_cast<float>(record.longitude),
                static_cast<float>(record.elevation)};
    const bool haveSite = siteGiven || record.site_known;

    const station_figures figures = measureSeasons(record, season, noCap ? GDD_NO_CAP : GDD_CAPPED, target);
    station_comparison comparison;
    if (haveSite) {
        const int status = compareWithEstimate(figures, site, &comparison, nullptr);
        if (status != 0) {
            char text[160];
            std::snprintf(text, sizeof text, "the model cannot compute the site %.4f, %.4f, %.1f m; check --site",
                          static_cast<double>(site.latitude), static_cast<double>(site.longitude),
                          static_cast<double>(site.elevation));
            return fail(text);
        }
    }
    const std::string csv = stationCsv(record, figures, haveSite ? &comparison : nullptr);
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0)
        return fail("the CSV could not be written to the standard output");

    // Notes for the person at the terminal, never in the CSV.
    if (figures.years.empty())
        std::fprintf(stderr, "veranta-station: note: %s holds no day of the season %s to %s\n", file.c_str(),
                     from.c_str(), to.c_str());
    if (!haveSite)
        std::fprintf(stderr, "veranta-station: note: %s does not say where the station is; give --site LAT,LON,ELEV "
                             "for the estimate beside the measurement\n", file.c_str());
    if (haveSite && !comparison.region_note.empty())
        std::fprintf(stderr, "veranta-station: note: %s\n", comparison.region_note.c_str());
    if (haveSite && comparison.clamped)
        std::fprintf(stderr, "veranta-station: note: years before 2000 are estimated with 2000's calendar and years "
                             "after 2050 with 2050's (estimate_year says which)\n");
    return 0;
}
