// Reading the five daily-temperature formats. Each is recognised by what its
// first lines hold, never by the file's name: a station's file is often
// renamed on download.
#include "station/stationRecord.h"

#include "model/readRegularFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

namespace {

const double kMissing = std::nan("");

// ---- calendar ----------------------------------------------------------------

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

bool validDate(int y, int m, int d) { return y >= 1700 && y <= 2200 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m); }

// ---- text --------------------------------------------------------------------

std::string trim(const std::string &s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) a++;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) b--;
    return s.substr(a, b - a);
}

std::string lower(std::string s) {
    for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// One record of a delimited text (RFC 4180 quotes, a quoted field may hold
// the separator, a doubled quote or a line break); false at the end.
bool nextRecord(const char *&p, const char *end, char sep, std::vector<std::string> *fields) {
    fields->clear();
    if (p >= end) return false;
    std::string field;
    bool quoted = false;
    while (p < end) {
        char c = *p++;
        if (quoted) {
            if (c == '"') {
                if (p < end && *p == '"') {
                    field += '"';
                    p++;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == '"' && trim(field).empty()) {
            field.clear();
            quoted = true;
        } else if (c == sep) {
            fields->push_back(field);
            field.clear();
        } else if (c == '\n') {
            break;
        } else if (c != '\r') {
            field += c;
        }
    }
    fields->push_back(field);
    return true;
}

bool blank(const std::vector<std::string> &fields) {
    for (const std::string &f : fields)
        if (!trim(f).empty()) return false;
    return true;
}

// A number wholly in the text (white space around it allowed), finite; with
// comma_decimal a decimal comma is taken for a point.
bool number(const std::string &text, double *value, bool comma_decimal = false) {
    std::string t = trim(text);
    if (comma_decimal) std::replace(t.begin(), t.end(), ',', '.');
    if (!t.empty() && t[0] == '+') t.erase(0, 1);
    if (t.empty()) return false;
    double v = 0.0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

// What data files write for "no value".
bool missingMark(const std::string &text) {
    std::string t = lower(trim(text));
    return t.empty() || t == "na" || t == "n/a" || t == "nan" || t == "---" || t == "--" || t == "-" || t == "m" ||
           t == "null";
}

bool digits(const std::string &s, size_t n) {
    if (s.size() != n) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// YYYY-MM-DD (a time may follow after a space or T), YYYY/MM/DD or YYYYMMDD.
bool isoDate(const std::string &text, int *y, int *m, int *d) {
    std::string t = trim(text);
    size_t cut = t.find_first_of(" T");
    if (cut != std::string::npos) t = t.substr(0, cut);
    if (digits(t, 8)) {
        *y = std::atoi(t.substr(0, 4).c_str());
        *m = std::atoi(t.substr(4, 2).c_str());
        *d = std::atoi(t.substr(6, 2).c_str());
    } else if (t.size() == 10 && (t[4] == '-' || t[4] == '/') && t[7] == t[4] && digits(t.substr(0, 4), 4) &&
               digits(t.substr(5, 2), 2) && digits(t.substr(8, 2), 2)) {
        *y = std::atoi(t.substr(0, 4).c_str());
        *m = std::atoi(t.substr(5, 2).c_str());
        *d = std::atoi(t.substr(8, 2).c_str());
    } else {
        return false;
    }
    return validDate(*y, *m, *d);
}

// A/B/Y with one or two digits each side and a year of two or four digits
// (a time may follow after a space): the parts as written.
bool slashDate(const std::string &text, int *a, int *b, int *y) {
    std::string t = trim(text);
    size_t cut = t.find(' ');
    if (cut != std::string::npos) t = t.substr(0, cut);
    size_t s1 = t.find('/'), s2 = s1 == std::string::npos ? s1 : t.find('/', s1 + 1);
    if (s2 == std::string::npos) return false;
    std::string pa = t.substr(0, s1), pb = t.substr(s1 + 1, s2 - s1 - 1), py = t.substr(s2 + 1);
    if (!(digits(pa, 1) || digits(pa, 2)) || !(digits(pb, 1) || digits(pb, 2)) || !(digits(py, 2) || digits(py, 4)))
        return false;
    *a = std::atoi(pa.c_str());
    *b = std::atoi(pb.c_str());
    *y = std::atoi(py.c_str());
    // Two-digit years of loggers: from 1970 on.
    if (py.size() == 2) *y += *y < 70 ? 2000 : 1900;
    return true;
}

// Splits a column's name into lower-case words.
std::vector<std::string> words(const std::string &name) {
    std::vector<std::string> out;
    std::string w;
    std::string n = lower(name);
    for (size_t i = 0; i < n.size(); i++) {
        unsigned char c = static_cast<unsigned char>(n[i]);
        // The degree sign (UTF-8 C2 B0) belongs to its word: "°c".
        if (std::isalnum(c) || c == 0xC2 || c == 0xB0) {
            w += n[i];
        } else {
            if (!w.empty()) out.push_back(w);
            w.clear();
        }
    }
    if (!w.empty()) out.push_back(w);
    return out;
}

// The unit a column's name says, or UNIT_UNSAID.
temperature_unit unitOfName(const std::string &name) {
    for (const std::string &w : words(name)) {
        if (w == "°c" || w == "c" || w == "degc" || w == "celsius" || w == "\xc2\xb0" "c") return UNIT_CELSIUS;
        if (w == "°f" || w == "f" || w == "degf" || w == "fahrenheit" || w == "\xc2\xb0" "f") return UNIT_FAHRENHEIT;
    }
    return UNIT_UNSAID;
}

bool isUnitWord(const std::string &w) {
    return w == "°c" || w == "°f" || w == "c" || w == "f" || w == "degc" || w == "degf" || w == "celsius" ||
           w == "fahrenheit" || w == "deg" || w == "°" || w == "\xc2\xb0";
}

// A column of the daily maximum (want_max) or minimum: a word saying so and
// otherwise only words of a temperature and its unit.
bool extremeColumn(const std::string &name, bool want_max) {
    static const std::set<std::string> maxWords = {"max", "maximum", "tmax", "high", "hi", "maxtemp", "tempmax"};
    static const std::set<std::string> minWords = {"min", "minimum", "tmin", "low", "lo", "mintemp", "tempmin"};
    static const std::set<std::string> others = {"temp", "temperature", "air", "daily", "t", "2m", "day", "out",
                                                 "outside", "outdoor"};
    const std::set<std::string> &mine = want_max ? maxWords : minWords;
    bool said = false;
    for (const std::string &w : words(name)) {
        if (mine.count(w) != 0) {
            said = true;
        } else if (others.count(w) == 0 && !isUnitWord(w)) {
            return false;
        }
    }
    return said;
}

bool dateColumn(const std::string &name) {
    std::vector<std::string> w = words(name);
    return w.size() == 1 && (w[0] == "date" || w[0] == "day" || w[0] == "time" || w[0] == "datetime" || w[0] == "datum");
}

// ---- building the days ---------------------------------------------------------

// The days as read: a daily file gives each value once (a second, different
// one for the same day makes it missing); sub-daily rows give the day's
// highest maximum and lowest minimum.
class day_table {
public:
    explicit day_table(bool sub_daily) : sub_daily_(sub_daily) {}

    void put(int y, int m, int d, bool is_max, double celsius, station_record *record) {
        if (!std::isfinite(celsius)) return;
        if (celsius < -90.0 || celsius > 60.0) {
            record->impossible++;
            return;
        }
        entry &e = days_[dayNumber(y, m, d)];
        double &slot = is_max ? e.tmax : e.tmin;
        int &count = is_max ? e.max_count : e.min_count;
        if (count == 0) {
            slot = celsius;
        } else if (sub_daily_) {
            slot = is_max ? std::max(slot, celsius) : std::min(slot, celsius);
        } else if (slot != celsius) {
            slot = kMissing;   // two different values for one day: neither can be trusted
        }
        count++;
    }

    // A date read with no usable value still belongs to the record's span.
    void touch(int y, int m, int d) { days_.emplace(dayNumber(y, m, d), entry{}); }

    bool fill(station_record *record) const {
        record->days.clear();
        bool any = false;
        for (const auto &kv : days_) any = any || (std::isfinite(kv.second.tmax) && std::isfinite(kv.second.tmin));
        if (!any) return false;
        long first = days_.begin()->first, last = days_.rbegin()->first;
        record->days.reserve(static_cast<size_t>(last - first + 1));
        int y = 0, m = 0, d = 0;
        civil(first, &y, &m, &d);
        auto it = days_.begin();
        for (long n = first; n <= last; n++) {
            station_day day{y, m, d, kMissing, kMissing};
            if (it != days_.end() && it->first == n) {
                day.tmax = it->second.tmax;
                day.tmin = it->second.tmin;
                ++it;
            }
            record->days.push_back(day);
            if (++d > daysInMonth(y, m)) {
                d = 1;
                if (++m > 12) {
                    m = 1;
                    y++;
                }
            }
        }
        return true;
    }

private:
    struct entry {
        double tmax = kMissing, tmin = kMissing;
        int max_count = 0, min_count = 0;
    };
    static void civil(long n, int *y, int *m, int *d) {
        // Counting forward from 1 January 1700 keeps this simple and exact.
        int yy = 1700;
        long base = dayNumber(1700, 1, 1);
        while (base + (leapYear(yy) ? 366 : 365) <= n) base += leapYear(yy++) ? 366 : 365;
        int mm = 1;
        while (base + daysInMonth(yy, mm) <= n) base += daysInMonth(yy, mm++);
        *y = yy;
        *m = mm;
        *d = static_cast<int>(n - base) + 1;
    }

    bool sub_daily_;
    std::map<long, entry> days_;
};

double toCelsius(double value, temperature_unit unit) {
    return unit == UNIT_FAHRENHEIT ? (value - 32.0) * 5.0 / 9.0 : value;
}

std::string lineText(long line) { return "line " + std::to_string(line); }

const char kExpected[] =
    "it is not a daily temperature file this program reads: expected NOAA GHCN-Daily (a by-station or an access "
    "CSV), a Meteostat daily CSV, a Davis WeatherLink export, or a CSV whose header names a date column and the "
    "daily maximum and minimum temperature columns";

// ---- the formats ------------------------------------------------------------------

// GHCN-Daily by_station: ID,YYYYMMDD,ELEMENT,DATA VALUE,M-FLAG,Q-FLAG,S-FLAG,OBS-TIME;
// temperatures in tenths of °C, -9999 for none.
bool readGhcnByStation(const char *p, const char *end, station_record *r, std::string *refusal) {
    day_table table(false);
    std::vector<std::string> f;
    long line = 0;
    while (nextRecord(p, end, ',', &f)) {
        line++;
        if (blank(f)) continue;
        int y = 0, m = 0, d = 0;
        if (f.size() < 4 || !digits(f[1], 8) || !isoDate(f[1], &y, &m, &d)) {
            *refusal = lineText(line) + " is not a GHCN-Daily record (ID,YYYYMMDD,ELEMENT,VALUE,M-FLAG,Q-FLAG,S-FLAG,OBS-TIME)";
            return false;
        }
        const std::string id = trim(f[0]);
        if (r->station.empty()) {
            r->station = id;
        } else if (id != r->station) {
            *refusal = "it holds more than one station (" + r->station + " and " + id + "); use one station's file";
            return false;
        }
        const std::string element = trim(f[2]);
        if (element != "TMAX" && element != "TMIN") continue;
        table.touch(y, m, d);
        double v = 0.0;
        if (!number(f[3], &v)) {
            *refusal = lineText(line) + ": the value " + trim(f[3]) + " is not a number";
            return false;
        }
        if (v == -9999.0) continue;
        if (f.size() > 5 && !trim(f[5]).empty()) {
            r->flagged++;
            continue;
        }
        table.put(y, m, d, element == "TMAX", v / 10.0, r);
    }
    r->unit = UNIT_CELSIUS;
    if (!table.fill(r)) {
        *refusal = "it holds no day with both a TMAX and a TMIN value that passed NOAA's quality checks";
        return false;
    }
    return true;
}

int column(const std::vector<std::string> &header, const char *name) {
    for (size_t i = 0; i < header.size(); i++)
        if (trim(header[i]) == name) return static_cast<int>(i);
    return -1;
}

std::string field(const std::vector<std::string> &f, int i) { return i >= 0 && static_cast<size_t>(i) < f.size() ? f[i] : ""; }

// GHCN-Daily access: "STATION","DATE","LATITUDE","LONGITUDE","ELEVATION","NAME",
// then each element and its "M,Q,S,TIME" attributes; tenths of °C.
bool readGhcnAccess(const char *p, const char *end, station_record *r, std::string *refusal) {
    std::vector<std::string> header, f;
    nextRecord(p, end, ',', &header);
    const int date = column(header, "DATE"), lat = column(header, "LATITUDE"), lon = column(header, "LONGITUDE"),
              elev = column(header, "ELEVATION"), name = column(header, "NAME"), tmax = column(header, "TMAX"),
              tmin = column(header, "TMIN"), tmaxa = column(header, "TMAX_ATTRIBUTES"),
              tmina = column(header, "TMIN_ATTRIBUTES");
    if (tmax < 0 || tmin < 0) {
        *refusal = "this GHCN-Daily file has no TMAX and TMIN columns: the station records no daily temperatures";
        return false;
    }
    day_table table(false);
    long line = 1;
    while (nextRecord(p, end, ',', &f)) {
        line++;
        if (blank(f)) continue;
        int y = 0, m = 0, d = 0;
        if (!isoDate(field(f, date), &y, &m, &d)) {
            *refusal = lineText(line) + ": the DATE " + trim(field(f, date)) + " is not a date as YYYY-MM-DD";
            return false;
        }
        if (r->station.empty()) r->station = trim(field(f, 0));
        if (!r->site_known) {
            double a = 0.0, b = 0.0, c = 0.0;
            // GHCN writes -999.9 for an unknown elevation.
            if (number(field(f, lat), &a) && number(field(f, lon), &b) && number(field(f, elev), &c) && c > -999.0) {
                r->site_known = true;
                r->latitude = a;
                r->longitude = b;
                r->elevation = c;
                std::string n = trim(field(f, name));
                if (!n.empty()) r->station = r->station + " " + n;
            }
        }
        table.touch(y, m, d);
        for (int k = 0; k < 2; k++) {
            const std::string value = trim(field(f, k == 0 ? tmax : tmin));
            if (value.empty()) continue;
            double v = 0.0;
            if (!number(value, &v)) {
                *refusal = lineText(line) + ": the value " + value + " is not a number";
                return false;
            }
            if (v == -9999.0) continue;
            // The attributes are M,Q,S,TIME: a quality flag drops the value.
            const std::string attributes = field(f, k == 0 ? tmaxa : tmina);
            size_t comma = attributes.find(',');
            std::string q = comma == std::string::npos ? "" : attributes.substr(comma + 1, attributes.find(',', comma + 1) - comma - 1);
            if (!trim(q).empty()) {
                r->flagged++;
                continue;
            }
            table.put(y, m, d, k == 0, v / 10.0, r);
        }
    }
    r->unit = UNIT_CELSIUS;
    if (!table.fill(r)) {
        *refusal = "it holds no day with both a TMAX and a TMIN value that passed NOAA's quality checks";
        return false;
    }
    return true;
}

// Meteostat daily: date,tavg,tmin,tmax,prcp,… in °C, with or without its header.
bool readMeteostat(const char *p, const char *end, bool header, station_record *r, std::string *refusal) {
    std::vector<std::string> f;
    if (header) nextRecord(p, end, ',', &f);
    day_table table(false);
    long line = header ? 1 : 0;
    while (nextRecord(p, end, ',', &f)) {
        line++;
        if (blank(f)) continue;
        int y = 0, m = 0, d = 0;
        if (f.size() < 4 || !isoDate(f[0], &y, &m, &d)) {
            *refusal = lineText(line) + " is not a Meteostat daily record (date,tavg,tmin,tmax,…)";
            return false;
        }
        table.touch(y, m, d);
        for (int k = 0; k < 2; k++) {
            const std::string &value = f[k == 0 ? 3 : 2];
            double v = 0.0;
            if (missingMark(value)) continue;
            if (!number(value, &v)) {
                *refusal = lineText(line) + ": the temperature " + trim(value) + " is not a number";
                return false;
            }
            table.put(y, m, d, k == 0, v, r);
        }
    }
    r->unit = UNIT_CELSIUS;
    if (!table.fill(r)) {
        *refusal = "it holds no day with both a tmin and a tmax value";
        return false;
    }
    return true;
}

// Davis WeatherLink: sub-daily rows with Date, Time, Hi Temp and Low Temp
// (the desktop export names them over two header lines: "Hi" above "Temp").
struct davis_layout {
    int header_lines = 0;
    int date = -1, hi = -1, low = -1;
    char sep = '\t';
    temperature_unit unit = UNIT_FAHRENHEIT;
};

bool davisHi(const std::string &name) {
    std::string n = lower(trim(name));
    return n.rfind("hi temp", 0) == 0 || n.rfind("high temp", 0) == 0;
}
bool davisLow(const std::string &name) { return lower(trim(name)).rfind("low temp", 0) == 0; }

bool findDavis(const std::vector<std::vector<std::string>> &lines, char sep, davis_layout *out) {
    for (size_t i = 0; i < lines.size(); i++) {
        // One header line, or the first of two whose names stand above each other.
        for (int two = 0; two < 2; two++) {
            if (two == 1 && i + 1 >= lines.size()) continue;
            const std::vector<std::string> &a = lines[i];
            std::vector<std::string> names(a.size());
            for (size_t c = 0; c < a.size(); c++) {
                names[c] = trim(a[c]);
                if (two == 1 && c < lines[i + 1].size()) names[c] = trim(names[c] + " " + trim(lines[i + 1][c]));
            }
            davis_layout l;
            l.sep = sep;
            l.header_lines = static_cast<int>(i) + 1 + two;
            for (size_t c = 0; c < names.size(); c++) {
                std::string n = lower(names[c]);
                if (l.date < 0 && n.rfind("date", 0) == 0) l.date = static_cast<int>(c);
                if (l.hi < 0 && davisHi(names[c])) l.hi = static_cast<int>(c);
                if (l.low < 0 && davisLow(names[c])) l.low = static_cast<int>(c);
            }
            if (l.date >= 0 && l.hi >= 0 && l.low >= 0) {
                // °F unless the header says °C.
                for (int h = 0; h < l.header_lines; h++)
                    for (const std::string &n : lines[h])
                        if (unitOfName(n) == UNIT_CELSIUS) l.unit = UNIT_CELSIUS;
                *out = l;
                return true;
            }
        }
    }
    return false;
}

bool readDavis(const char *p, const char *end, const davis_layout &l, station_record *r, std::string *refusal) {
    std::vector<std::string> f;
    // Whether dates are day or month first is known only once every row is
    // read, so the rows are kept, compactly, until then.
    struct row {
        int a, b, y;
        bool iso;
        double hi, low;   // NaN for none
        long line;
    };
    std::vector<row> rows;
    for (int h = 0; h < l.header_lines; h++) nextRecord(p, end, l.sep, &f);
    long line = l.header_lines;
    bool day_first = false, month_first = false;
    while (nextRecord(p, end, l.sep, &f)) {
        line++;
        if (blank(f)) continue;
        row w{0, 0, 0, false, kMissing, kMissing, line};
        if (isoDate(field(f, l.date), &w.y, &w.a, &w.b)) {
            w.iso = true;
        } else if (slashDate(field(f, l.date), &w.a, &w.b, &w.y)) {
            day_first = day_first || w.a > 12;
            month_first = month_first || w.b > 12;
        } else {
            *refusal = lineText(line) + ": the date " + trim(field(f, l.date)) + " is not a date as M/D/YY or YYYY-MM-DD";
            return false;
        }
        for (int k = 0; k < 2; k++) {
            const std::string value = field(f, k == 0 ? l.hi : l.low);
            if (missingMark(value)) continue;
            if (!number(value, k == 0 ? &w.hi : &w.low)) {
                *refusal = lineText(line) + ": the temperature " + trim(value) + " is not a number";
                return false;
            }
        }
        rows.push_back(w);
    }
    if (day_first && month_first) {
        *refusal = "its dates are written both day first and month first";
        return false;
    }
    day_table table(true);
    for (const row &w : rows) {
        int y = w.y, m = w.iso ? w.a : (day_first ? w.b : w.a), d = w.iso ? w.b : (day_first ? w.a : w.b);
        if (!validDate(y, m, d)) {
            *refusal = lineText(w.line) + ": there is no such date";
            return false;
        }
        table.touch(y, m, d);
        table.put(y, m, d, true, toCelsius(w.hi, l.unit), r);
        table.put(y, m, d, false, toCelsius(w.low, l.unit), r);
    }
    r->unit = l.unit;
    if (!table.fill(r)) {
        *refusal = "it holds no day with both a Hi Temp and a Low Temp value";
        return false;
    }
    return true;
}

// A plain CSV: a header naming one date column and one column each of the
// daily maximum and minimum, °C or °F said in their names (or given).
int readPlain(const char *p, const char *end, char sep, temperature_unit unsaid, station_record *r,
              std::string *refusal) {
    std::vector<std::string> header, f;
    nextRecord(p, end, sep, &header);
    int date = -1, hi = -1, low = -1, lat = -1, lon = -1, elev = -1;
    int dates = 0, his = 0, lows = 0;
    for (size_t c = 0; c < header.size(); c++) {
        const std::string &n = header[c];
        std::vector<std::string> w = words(n);
        int i = static_cast<int>(c);
        if (dateColumn(n)) {
            dates++;
            if (date < 0) date = i;
        }
        if (extremeColumn(n, true)) {
            his++;
            if (hi < 0) hi = i;
        }
        if (extremeColumn(n, false)) {
            lows++;
            if (low < 0) low = i;
        }
        if (w.size() == 1 && (w[0] == "latitude" || w[0] == "lat")) lat = i;
        if (w.size() == 1 && (w[0] == "longitude" || w[0] == "lon" || w[0] == "lng")) lon = i;
        if (!w.empty() && (w[0] == "elevation" || w[0] == "elev" || w[0] == "altitude") &&
            (w.size() == 1 || (w.size() == 2 && w[1] == "m")))
            elev = i;
    }
    if (dates != 1 || his != 1 || lows != 1) {
        if (dates + his + lows == 0) {
            *refusal = kExpected;
        } else {
            *refusal = "its header should name exactly one date column, one daily maximum and one daily minimum "
                       "temperature column (such as date, tmax_c, tmin_c), but names " +
                       std::to_string(dates) + ", " + std::to_string(his) + " and " + std::to_string(lows);
        }
        return STATION_READ_REFUSED;
    }
    temperature_unit a = unitOfName(header[hi]), b = unitOfName(header[low]);
    if (a != UNIT_UNSAID && b != UNIT_UNSAID && a != b) {
        *refusal = "its header gives the maximum and the minimum in different units";
        return STATION_READ_REFUSED;
    }
    temperature_unit unit = a != UNIT_UNSAID ? a : b != UNIT_UNSAID ? b : unsaid;
    if (unit == UNIT_UNSAID) {
        *refusal = "its header does not say whether the temperatures are in °C or °F";
        return STATION_READ_NEEDS_UNIT;
    }
    day_table table(false);
    long line = 1;
    const bool comma = sep == ';';
    while (nextRecord(p, end, sep, &f)) {
        line++;
        if (blank(f)) continue;
        int y = 0, m = 0, d = 0;
        if (!isoDate(field(f, date), &y, &m, &d)) {
            *refusal = lineText(line) + ": the date " + trim(field(f, date)) + " is not a date as YYYY-MM-DD";
            return STATION_READ_REFUSED;
        }
        table.touch(y, m, d);
        if (!r->site_known) {
            double la = 0.0, lo = 0.0, el = 0.0;
            if (number(field(f, lat), &la, comma) && number(field(f, lon), &lo, comma) && number(field(f, elev), &el, comma)) {
                r->site_known = true;
                r->latitude = la;
                r->longitude = lo;
                r->elevation = el;
            }
        }
        for (int k = 0; k < 2; k++) {
            const std::string value = field(f, k == 0 ? hi : low);
            double v = 0.0;
            if (missingMark(value)) continue;
            if (!number(value, &v, comma)) {
                *refusal = lineText(line) + ": the temperature " + trim(value) + " is not a number";
                return STATION_READ_REFUSED;
            }
            table.put(y, m, d, k == 0, toCelsius(v, unit), r);
        }
    }
    r->unit = unit;
    if (!table.fill(r)) {
        *refusal = "it holds no day with both a maximum and a minimum temperature";
        return STATION_READ_REFUSED;
    }
    return STATION_READ_OK;
}

bool ghcnId(const std::string &s) {
    if (s.size() != 11) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

int daysInMonth(int year, int month) {
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && leapYear(year) ? 29 : lengths[month - 1];
}

long dayNumber(int year, int month, int day) {
    // Days from civil, after Howard Hinnant's well-known construction.
    const long y = static_cast<long>(year) - (month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long mp = (month + 9) % 12;
    const long doy = (153 * mp + 2) / 5 + day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const char *stationFormatName(station_format format) {
    switch (format) {
    case STATION_GHCN_BY_STATION: return "NOAA GHCN-Daily by-station CSV";
    case STATION_GHCN_ACCESS: return "NOAA GHCN-Daily access CSV";
    case STATION_METEOSTAT: return "Meteostat daily CSV";
    case STATION_PLAIN_CSV: return "CSV of daily maximum and minimum";
    case STATION_WEATHERLINK: return "Davis WeatherLink export";
    }
    return "";
}

int readStationText(const char *text, std::size_t length, temperature_unit unsaid, station_record *record,
                    std::string *refusal) {
    *record = station_record();
    const char *p = text, *end = text + length;
    if (length >= 2 && static_cast<unsigned char>(p[0]) == 0x1f && static_cast<unsigned char>(p[1]) == 0x8b) {
        *refusal = "it is compressed with gzip; decompress it first (gunzip)";
        return STATION_READ_REFUSED;
    }
    if (length >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0) p += 3;
    if (std::memchr(p, '\0', static_cast<size_t>(end - p)) != nullptr) {
        *refusal = "it is not a text file";
        return STATION_READ_REFUSED;
    }
    // The first lines, split by comma and by tab, decide the format.
    std::vector<std::vector<std::string>> comma, tab;
    std::vector<std::string> f;
    const char *q = p;
    while (comma.size() < 12 && nextRecord(q, end, ',', &f))
        if (!blank(f)) comma.push_back(f);
    q = p;
    while (tab.size() < 12 && nextRecord(q, end, '\t', &f))
        if (!blank(f)) tab.push_back(f);
    if (comma.empty()) {
        *refusal = "it is empty";
        return STATION_READ_REFUSED;
    }
    const std::vector<std::string> &first = comma[0];
    bool ok = false;
    davis_layout davis;
    int y = 0, m = 0, d = 0;
    if (first.size() >= 4 && ghcnId(trim(first[0])) && digits(trim(first[1]), 8) && trim(first[2]).size() == 4) {
        record->format = STATION_GHCN_BY_STATION;
        ok = readGhcnByStation(p, end, record, refusal);
    } else if (first.size() >= 5 && trim(first[0]) == "STATION" && trim(first[1]) == "DATE" && column(first, "LATITUDE") >= 0) {
        record->format = STATION_GHCN_ACCESS;
        ok = readGhcnAccess(p, end, record, refusal);
    } else if (first.size() >= 4 && (lower(trim(first[0])) == "date" || lower(trim(first[0])) == "time") &&
               lower(trim(first[1])) == "tavg" && lower(trim(first[2])) == "tmin" && lower(trim(first[3])) == "tmax") {
        record->format = STATION_METEOSTAT;
        ok = readMeteostat(p, end, true, record, refusal);
    } else if (first.size() == 11 && trim(first[0]).size() == 10 && isoDate(first[0], &y, &m, &d)) {
        record->format = STATION_METEOSTAT;
        ok = readMeteostat(p, end, false, record, refusal);
    } else if (findDavis(tab, '\t', &davis) || findDavis(comma, ',', &davis)) {
        record->format = STATION_WEATHERLINK;
        ok = readDavis(p, end, davis, record, refusal);
    } else {
        record->format = STATION_PLAIN_CSV;
        // The separator that splits the header into the most columns.
        std::vector<std::string> h;
        char sep = ',';
        size_t most = first.size();
        for (char s : {'\t', ';'}) {
            const char *r = p;
            nextRecord(r, end, s, &h);
            if (h.size() > most) {
                most = h.size();
                sep = s;
            }
        }
        const char *start = p;
        // The header is the first line that is not blank.
        for (;;) {
            const char *r = start;
            if (!nextRecord(r, end, sep, &h) || !blank(h)) break;
            start = r;
        }
        int status = readPlain(start, end, sep, unsaid, record, refusal);
        return status;
    }
    return ok ? STATION_READ_OK : STATION_READ_REFUSED;
}

int readStationFile(const std::string &path, temperature_unit unsaid, station_record *record, std::string *refusal) {
    char *data = nullptr;
    std::size_t length = 0;
    bool more = false;
    int status = readRegularFile(path.c_str(), kStationFileLimit, &data, &length, &more);
    if (status != 0) {
        *refusal = status == kNotRegularFile ? "it is not a regular file"
                                             : std::string("it cannot be read (") + std::strerror(status) + ")";
        return STATION_READ_REFUSED;
    }
    if (more) {
        std::free(data);
        *refusal = "it is larger than 256 MiB; cut it to the years wanted";
        return STATION_READ_REFUSED;
    }
    int result = readStationText(data, length, unsaid, record, refusal);
    std::free(data);
    return result;
}
