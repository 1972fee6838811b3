// Reads one of the ephemeris tables: a header naming the columns, then one
// row per line. Tables written on another system may carry CRLF line ends,
// a byte-order mark or blank lines at the end; none of these is an error.
#include "accuracy/accuracy.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

std::string trimmed(const std::string &text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    std::size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

std::vector<std::string> split(const std::string &line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = line.find(',', start);
        fields.push_back(trimmed(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return fields;
}

std::string joined(const std::vector<std::string> &fields) {
    std::string text;
    for (std::size_t i = 0; i < fields.size(); i++) text += (i > 0 ? "," : "") + fields[i];
    return text;
}

}  // namespace

bool readCsv(const std::string &path, const std::vector<std::string> &columns, std::vector<CsvLine> *lines,
             std::string *error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot be opened: " + std::strerror(errno);
        return false;
    }
    lines->clear();
    std::string text;
    int number = 0;
    bool header = false;
    while (std::getline(in, text)) {
        number++;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (number == 1 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
        if (trimmed(text).empty()) {
            if (!header) {
                *error = path + ":" + std::to_string(number) + ": blank line where the header " + joined(columns) +
                         " should be";
                return false;
            }
            continue;
        }
        std::vector<std::string> fields = split(text);
        if (!header) {
            if (fields != columns) {
                *error = path + ":" + std::to_string(number) + ": the header is \"" + joined(fields) +
                         "\", expected \"" + joined(columns) + "\"";
                return false;
            }
            header = true;
            continue;
        }
        if (fields.size() != columns.size()) {
            *error = path + ":" + std::to_string(number) + ": " + std::to_string(fields.size()) +
                     " fields, expected " + std::to_string(columns.size());
            return false;
        }
        lines->push_back({number, fields});
    }
    if (in.bad()) {
        *error = path + ":" + std::to_string(number + 1) + ": read error";
        return false;
    }
    if (!header) {
        *error = path + ":1: the file is empty, expected the header \"" + joined(columns) + "\"";
        return false;
    }
    return true;
}
