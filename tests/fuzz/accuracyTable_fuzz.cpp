// libFuzzer target: any content of positions.csv or riseset.csv (the first
// byte chooses which) is read without a crash, a leak, undefined behaviour or
// unbounded memory, repeatably; a refusal is one message of bounded length
// naming the file, and an accepted table keeps exactly as many differences
// as it has data lines, counted here a second way on the raw bytes.
#include "accuracy/accuracy.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Data lines after the header: lines that hold more than blanks, less one;
// -1 when some line is longer than a table line may be.
long dataLines(const std::string &text) {
    long lines = 0;
    std::size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > kTableLineBytes) return -1;
        if (line.find_first_not_of(" \t") != std::string::npos) lines++;
    }
    return lines - 1;
}

bool same(const AccuracySamples &a, const AccuracySamples &b) {
    return a.zenith == b.zenith && a.azimuth == b.azimuth && a.riseset == b.riseset &&
           a.almanac_rise == b.almanac_rise && a.almanac_set == b.almanac_set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    const bool positions = (data[0] & 1) == 0;
    const std::string path = positions ? "positions.csv" : "riseset.csv";
    const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
    FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file) != text.size()) std::abort();
    if (std::fclose(file) != 0) std::abort();

    AccuracySamples first, second;
    std::string error1, error2;
    bool ok1 = positions ? readPositions(path, &first, &error1) : readRiseSet(path, &first, &error1);
    bool ok2 = positions ? readPositions(path, &second, &error2) : readRiseSet(path, &second, &error2);
    if (ok1 != ok2 || error1 != error2 || !same(first, second)) std::abort();

    if (!ok1) {
        // The file and line, the quoted field cut short, the expected header.
        if (error1.compare(0, path.size() + 1, path + ":") != 0 || error1.size() > path.size() + 300) std::abort();
        return 0;
    }
    if (!error1.empty()) std::abort();
    long rows = dataLines(text);
    if (rows < 0) std::abort();
    if (positions) {
        if (first.zenith.size() > static_cast<std::size_t>(rows) || first.azimuth.size() > first.zenith.size() ||
            !first.riseset.empty())
            std::abort();
    } else {
        if (first.riseset.size() != 2 * static_cast<std::size_t>(rows) ||
            first.almanac_rise.size() != static_cast<std::size_t>(rows) ||
            first.almanac_set.size() != static_cast<std::size_t>(rows) || !first.zenith.empty())
            std::abort();
    }
    return 0;
}
