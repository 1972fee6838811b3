// Cool blue for the fewest degree days through pale yellow to deep red for
// the most: warmth reads as warm colour.
#include "model/colourScale.h"

#include <algorithm>

void scaleColour(double t, double *r, double *g, double *b) {
    static const double stops[6][3] = {{0.192, 0.212, 0.584}, {0.271, 0.459, 0.706}, {0.671, 0.851, 0.914},
                                       {0.996, 0.878, 0.565}, {0.957, 0.427, 0.263}, {0.647, 0.000, 0.149}};
    t = std::clamp(t, 0.0, 1.0);
    double at = t * 5.0;
    int i = std::min(static_cast<int>(at), 4);
    double f = at - i;
    *r = stops[i][0] + (stops[i + 1][0] - stops[i][0]) * f;
    *g = stops[i][1] + (stops[i + 1][1] - stops[i][1]) * f;
    *b = stops[i][2] + (stops[i + 1][2] - stops[i][2]) * f;
}
