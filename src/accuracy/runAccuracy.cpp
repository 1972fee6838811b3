// The accuracy tool as a whole, apart from main: read both tables of DIR,
// measure, and give the figures or the one message that says what is wrong.
#include "accuracy/accuracy.h"

#include <cstdio>

namespace {

// A message quotes the offending field; control bytes in it (a NUL would cut
// the line short) are shown as \xNN.
std::string printable(const std::string &text) {
    std::string shown;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", c);
            shown += code;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

}  // namespace

int runAccuracy(const std::string &dir, std::string *out, std::string *err) {
    std::string base = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    std::string positionsPath = base + "positions.csv";
    std::string risesetPath = base + "riseset.csv";
    AccuracySamples samples;
    AccuracyFigures figures{};
    std::string error;
    if (!readPositions(positionsPath, &samples, &error) || !readRiseSet(risesetPath, &samples, &error) ||
        !measureAccuracy(samples, positionsPath, risesetPath, &figures, &error)) {
        *err = "veranta_accuracy: " + printable(error) + "\n";
        return 1;
    }
    *out = formatFigures(figures);
    return 0;
}
