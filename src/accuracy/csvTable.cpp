// Reads one of the ephemeris tables: a header naming the columns, then one
// row per line, and the fields of a row as numbers and dates. Tables written
// on another system may carry CRLF line ends, a byte-order mark or blank
// lines at the end; none of these is an error. The file is read through the
// bounded reader, so a FIFO, a device or a huge file is a message and never
// a wait or a memory blow-up; each line is split in place and handed on, so
// only what the caller keeps stays in memory.
#include "accuracy/accuracy.h"

#include "model/model.h"
#include "model/readRegularFile.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {

// The fields of one line: at most keep of them stored, trimmed of blanks,
// all of them counted.
std::size_t split(const char *line, std::size_t length, std::size_t keep, std::vector<std::string> *fields) {
    fields->clear();
    std::size_t count = 0;
    std::size_t start = 0;
    for (;;) {
        const void *found = std::memchr(line + start, ',', length - start);
        std::size_t end = found == nullptr ? length : static_cast<std::size_t>(static_cast<const char *>(found) - line);
        if (count < keep) {
            std::size_t b = start, e = end;
            while (b < e && (line[b] == ' ' || line[b] == '\t')) b++;
            while (e > b && (line[e - 1] == ' ' || line[e - 1] == '\t')) e--;
            fields->emplace_back(line + b, e - b);
        }
        count++;
        if (found == nullptr) return count;
        start = end + 1;
    }
}

std::string joined(const std::vector<std::string> &fields) {
    std::string text;
    for (std::size_t i = 0; i < fields.size(); i++) text += (i > 0 ? "," : "") + fields[i];
    return text;
}

}  // namespace

bool readCsv(const std::string &path, const std::vector<std::string> &columns, const CsvRow &row,
             std::string *error) {
    // A file that says it is too large is refused before a byte is read.
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > static_cast<off_t>(kTableBytes)) {
        *error = path + ": larger than " + std::to_string(kTableBytes >> 20) + " MiB, far more than an ephemeris table";
        return false;
    }
    char *data = nullptr;
    std::size_t length = 0;
    bool more = false;
    int code = readRegularFile(path.c_str(), kTableBytes, &data, &length, &more);
    if (code == kNotRegularFile) {
        *error = path + ": cannot be read: it is not a regular file";
        return false;
    }
    if (code != 0) {
        *error = path + ": cannot be opened: " + std::strerror(code);
        return false;
    }
    std::unique_ptr<char, void (*)(void *)> hold(data, std::free);
    if (more) {
        *error = path + ": larger than " + std::to_string(kTableBytes >> 20) + " MiB, far more than an ephemeris table";
        return false;
    }

    std::size_t pos = length >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    std::vector<std::string> fields;
    fields.reserve(columns.size());
    int number = 0;
    bool header = false;
    while (pos < length) {
        number++;
        const void *newline = std::memchr(data + pos, '\n', length - pos);
        std::size_t end = newline == nullptr ? length : static_cast<std::size_t>(static_cast<const char *>(newline) - data);
        std::size_t stop = end > pos && data[end - 1] == '\r' ? end - 1 : end;
        const char *line = data + pos;
        std::size_t size = stop - pos;
        pos = end < length ? end + 1 : length;
        std::string where = path + ":" + std::to_string(number) + ": ";
        if (size > kTableLineBytes) {
            *error = where + "the line is longer than " + std::to_string(kTableLineBytes) + " bytes";
            return false;
        }
        std::size_t count = split(line, size, columns.size(), &fields);
        if (count == 1 && fields[0].empty()) {
            if (!header) {
                *error = where + "blank line where the header " + joined(columns) + " should be";
                return false;
            }
            continue;
        }
        if (!header) {
            if (count != columns.size() || fields != columns) {
                *error = where + "the header is " + quoteField(std::string(line, size)) + ", expected \"" +
                         joined(columns) + "\"";
                return false;
            }
            header = true;
            continue;
        }
        if (count != columns.size()) {
            *error = where + std::to_string(count) + " fields, expected " + std::to_string(columns.size());
            return false;
        }
        std::string problem;
        if (!row(number, fields, &problem)) {
            *error = where + problem;
            return false;
        }
    }
    if (!header) {
        *error = path + ":1: the file is empty, expected the header \"" + joined(columns) + "\"";
        return false;
    }
    return true;
}

// A table field as a message quotes it. A field may be as long as a line
// (a header of 50 MB once came back whole in a message); a few dozen
// characters say which field is meant.
std::string quoteField(const std::string &field) {
    const std::size_t shown = 60;
    if (field.size() <= shown) return "\"" + field + "\"";
    std::size_t n = shown;
    while (n > 0 && (static_cast<unsigned char>(field[n]) & 0xC0) == 0x80) n--;
    return "\"" + field.substr(0, n) + "…\"";
}

// A table field read as a real number only when the whole field is that one
// finite number: "12.5x", "" or "nan" would otherwise slip into the figures.
bool csvReal(const std::string &field, double *value) {
    if (field.empty()) return false;
    const char *text = field.c_str();
    char *end = nullptr;
    double read = std::strtod(text, &end);
    if (end != text + field.size() || !std::isfinite(read)) return false;
    *value = read;
    return true;
}

// A table field read as an integer only when the whole field is an optional
// sign and decimal digits within the int range.
bool csvInt(const std::string &field, int *value) {
    std::size_t digits = (!field.empty() && (field[0] == '-' || field[0] == '+')) ? 1 : 0;
    if (digits == field.size()) return false;
    for (std::size_t i = digits; i < field.size(); i++) {
        if (field[i] < '0' || field[i] > '9') return false;
    }
    errno = 0;
    long long read = std::strtoll(field.c_str(), nullptr, 10);
    if (errno == ERANGE || read < INT_MIN || read > INT_MAX) return false;
    *value = static_cast<int>(read);
    return true;
}

// The date of a table row, checked as a calendar date inside the engine's
// years: the engine itself would take 31 February or day 0 without a word.
bool csvDate(const std::vector<std::string> &fields, std::size_t first, int *year, int *month, int *day,
             std::string *problem) {
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (!csvInt(fields[first], year) || *year < 1950 || *year > 2050) {
        *problem = "year " + quoteField(fields[first]) + " is not a whole year 1950 to 2050";
        return false;
    }
    if (!csvInt(fields[first + 1], month) || *month < 1 || *month > 12) {
        *problem = "month " + quoteField(fields[first + 1]) + " is not a whole number 1 to 12";
        return false;
    }
    int length = lengths[*month - 1] + (*month == 2 && isLeapYear(*year) ? 1 : 0);
    if (!csvInt(fields[first + 2], day) || *day < 1 || *day > length) {
        *problem = "day " + quoteField(fields[first + 2]) + " is not a day of that month";
        return false;
    }
    return true;
}
