// Reads one of the ephemeris tables: a header naming the columns, then one
// row per line. Tables written on another system may carry CRLF line ends,
// a byte-order mark or blank lines at the end; none of these is an error.
// The file is read through the bounded reader, so a FIFO, a device or a huge
// file is a message and never a wait or a memory blow-up; each line is split
// in place and handed on, so only what the caller keeps stays in memory.
#include "accuracy/accuracy.h"

#include "model/readRegularFile.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <memory>

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
